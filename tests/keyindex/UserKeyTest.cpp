#include <string>

#include <gtest/gtest.h>

#include "dormix/keyindex/UserKey.h"

using keyindex::LowerKeyBytes;
using keyindex::MakeUserKey;

TEST(MakeUserKey, GivesUpperCaseHexOfTheLoweredName) {
    struct Case {
        std::string name;
        std::string key;
    } cases[] = {
        {"Ann", "616E6E"},
        {"ANN", "616E6E"},
        {"ann", "616E6E"},
        {"", ""},
        {"Zz09@[`{", "7A7A3039405B607B"},  // only A to Z are lowered
        {"A\x81ZB", "61815A62"},           // a lead byte keeps itself and the byte after it
        {"\xC4X", "C458"},
        {"AB\xFF", "6162FF"},              // a lead byte at the end
        {"\x81\x81Q", "818171"},           // the trail byte is not a lead byte itself
        {std::string("Ab\0CD", 5), "6162"},  // the name ends at a zero byte
    };
    for (const auto& c : cases) EXPECT_EQ(MakeUserKey(c.name), c.key) << c.name;
}

TEST(MakeUserKey, UsesOnlyTheFirst128BytesOfTheName) {
    const std::string name = std::string(128, 'B') + "CCC";
    EXPECT_EQ(MakeUserKey(name), [] {
        std::string key;
        for (int i = 0; i < 128; ++i) key += "62";
        return key;
    }());
    EXPECT_EQ(MakeUserKey(std::string(70, 'x')).size(), 140u);
}

TEST(LowerKeyBytes, StopsAfterNBytesOrAtAZeroByte) {
    struct Case {
        std::string bytes;
        std::size_t n;
        std::string expected;
    } cases[] = {
        {"ABCD", 2, "abCD"},
        {"ABCD", 4, "abcd"},
        {std::string("AB\0CD", 5), 5, std::string("ab\0CD", 5)},
        {"A\xE0" "BC", 4, "a\xE0" "Bc"},
        {"A\xE0", 1, "a\xE0"},
    };
    for (auto c : cases) {
        LowerKeyBytes(c.bytes.data(), c.n);
        EXPECT_EQ(c.bytes, c.expected);
    }
}
