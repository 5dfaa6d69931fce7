#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/NextToken.h"

namespace {

// Every token NextToken takes from text with separators, in order.
std::vector<std::string> Tokens(const std::string& text, const std::string& separators) {
    std::vector<std::string> tokens;
    std::string rest = text, token;
    while (NextToken(token, rest, separators)) tokens.push_back(token);
    return tokens;
}

using V = std::vector<std::string>;

TEST(NextToken, SplitsAsTheCatalogueAndTheScanNeed) {
    const std::string x(300, 'x'), y(300, 'y');
    struct Case {
        std::string text;
        const char* separators;
        V expected;
    } cases[] = {
        {"a, b ,c,", ",", V{"a", "b ", "c"}},
        {"  \t lead,x", ",", V{"lead", "x"}},
        {"a,,b", ",", V{"a", "", "b"}},
        {",a", ",", V{"", "a"}},
        {"one", ",", V{"one"}},
        {"", ",", V{}},
        {" \t\r\n\v\f", ",", V{}},
        {"l1\nl2\r\nl3\rl4", "\n\r", V{"l1", "l2", "l3", "l4"}},
        {"l1\n\n\r\n  \nl2\n", "\n\r", V{"l1", "l2"}},
        {"2024/3-15", "/-", V{"2024", "3", "15"}},
        {"x ,  y", ",", V{"x ", "y"}},
        {"\xC3\xA9t\xC3\xA9,caf\xC3\xA9", ",", V{"\xC3\xA9t\xC3\xA9", "caf\xC3\xA9"}},
        {"a,b", "", V{"a,b"}},
        {x + "\r" + y + "\n", "\n\r", V{x, y}},  // separators past a first stretch of text
        {x + y + "/q-r", "-/", V{x + y, "q", "r"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Tokens(c.text, c.separators), c.expected) << c.text;
}

TEST(NextToken, LeavesTokenAloneWhenNothingIsLeftAndKeepsTheRest) {
    std::string token = "previous";
    std::string rest = " \r\n ";
    EXPECT_FALSE(NextToken(token, rest, ","));
    EXPECT_EQ(token, "previous");
    EXPECT_EQ(rest, "");

    rest = "  first , second  ";
    EXPECT_TRUE(NextToken(token, rest, ","));
    EXPECT_EQ(token, "first ");
    EXPECT_EQ(rest, " second");  // trimmed at both ends before the cut
    EXPECT_TRUE(NextToken(token, rest, ","));
    EXPECT_EQ(token, "second");
    EXPECT_EQ(rest, "");
}

TEST(NextToken, WhiteSpaceHelpers) {
    for (char c : std::string(" \t\n\r\v\f")) EXPECT_TRUE(IsTokenSpace(c)) << int(c);
    for (char c : std::string("a,0\x01\xA0\x85")) EXPECT_FALSE(IsTokenSpace(c)) << int(c);
    EXPECT_EQ(TrimSpace("\r\n  mid dle \t"), "mid dle");
    EXPECT_EQ(TrimSpace("   "), "");
    EXPECT_EQ(TrimSpace(""), "");
}

}  // namespace
