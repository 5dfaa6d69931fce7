#include <string>

#include <gtest/gtest.h>

#include "dormix/keyindex/KeyCompare.h"

using keyindex::KeyGreater;
using keyindex::KeyMatch;
using keyindex::MatchKey;

namespace {
// A 128-byte key field without terminator, followed by bytes that must never be read as key.
std::string FullField(char fill, char last) {
    std::string field(128, fill);
    field[127] = last;
    return field + std::string("\xFF\xFF\xFF\0", 4);
}
}  // namespace

TEST(KeyGreater, OrdersUnsignedBytesWithPrefixesFirst) {
    struct Case {
        std::string a, b;
        bool greater;
    } cases[] = {
        {"b", "a", true},
        {"a", "b", false},
        {"abc", "abc", false},
        {"ab", "a", true},
        {"a", "ab", false},
        {"", "", false},
        {"", "a", false},
        {"a", "", true},
        {"\x80", "z", true},  // unsigned comparison
        {"z", "\x80", false},
        {"616E6E61", "616E6E", true},
        {"616E6E", "616E6E61", false},
    };
    for (const auto& c : cases) EXPECT_EQ(KeyGreater(c.a.c_str(), c.b.c_str()), c.greater) << c.a << " > " << c.b;
}

TEST(KeyGreater, ComparesOnlyTheFirst128Bytes) {
    const std::string field = FullField('k', 'm');
    const std::string longer = std::string(127, 'k') + "m" + "zzzz";
    const std::string shorter = std::string(127, 'k') + "m";
    EXPECT_FALSE(KeyGreater(longer.c_str(), field.c_str()));
    EXPECT_FALSE(KeyGreater(field.c_str(), longer.c_str()));
    EXPECT_FALSE(KeyGreater(shorter.c_str(), field.c_str()));
    EXPECT_TRUE(KeyGreater(field.c_str(), (std::string(127, 'k') + "l").c_str()));
    EXPECT_FALSE(KeyGreater(field.c_str(), (std::string(127, 'k') + "n").c_str()));
}

TEST(MatchKey, TellsExactPrefixAndNone) {
    struct Case {
        std::string record, key;
        KeyMatch match;
    } cases[] = {
        {"616E6E", "616E6E", KeyMatch::Exact},
        {"616E6E61", "616E6E", KeyMatch::Prefix},
        {"616E", "616E6E", KeyMatch::None},
        {"626E6E", "616E6E", KeyMatch::None},
        {"616E6D", "616E6E", KeyMatch::None},
        {"abc", "", KeyMatch::Prefix},
        {"", "", KeyMatch::Exact},
    };
    for (const auto& c : cases) EXPECT_EQ(MatchKey(c.record.c_str(), c.key.c_str()), c.match) << c.record;
}

TEST(MatchKey, A128ByteFieldMatchesALongerKeyByItsFirst128Bytes) {
    const std::string field = FullField('6', '1');
    const std::string key = std::string(127, '6') + "1" + "6E6E";
    EXPECT_EQ(MatchKey(field.c_str(), key.c_str()), KeyMatch::Exact);
    const std::string other = std::string(127, '6') + "2" + "6E6E";
    EXPECT_EQ(MatchKey(field.c_str(), other.c_str()), KeyMatch::None);
}
