#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dormix/keyindex/KeyLookup.h"
#include "dormix/keyindex/UserKey.h"
#include "tests/keyindex/KeyFileWriter.h"
#include "tests/support/TempDir.h"

using namespace keyindex;

namespace {

std::string BlockOf(const std::vector<std::string>& keys) {
    std::vector<TestRecord> records;
    for (const auto& k : keys) records.push_back({k, ""});
    return KeyFileBytes(records);
}

struct Lookup {
    bool found = false;
    FilePosition position = 0;
    std::string value;
};

Lookup LookUp(const std::string& path, const std::string& key) {
    KeyFile file;
    if (!file.open(path)) return {};
    const auto hit = LookupKey(file, key.c_str());
    if (!hit) return {};
    return {true, hit->position, std::string(hit->value.data())};
}

}  // namespace

TEST(FindKeySlot, GivesTheFirstRecordNotLessThanTheKey) {
    const std::string block = BlockOf({"b", "d", "d", "d", "f"});
    struct Case {
        std::size_t n;
        std::string key;
        std::size_t slot;
    } cases[] = {
        {0, "a", 0}, {1, "a", 0}, {1, "b", 0}, {1, "c", 1},
        {5, "a", 0}, {5, "b", 0}, {5, "c", 1}, {5, "d", 1}, {5, "dd", 4},
        {5, "e", 4}, {5, "f", 4}, {5, "g", 5}, {2, "c", 1}, {2, "d", 1}, {2, "e", 2},
    };
    for (const auto& c : cases) EXPECT_EQ(FindKeySlot(c.n, block.data(), c.key.c_str()), c.slot) << c.n << " " << c.key;
}

TEST(FindKeySlot, AgreesWithLowerBoundOnBlocksWithRunsOfEqualKeys) {
    // Keys of every block size up to 100, with runs of equal keys and gaps, probed with every
    // stored key and every key between them.
    for (std::size_t n = 1; n <= 100; n += 3) {
        std::vector<std::string> keys;
        for (std::size_t i = 0; i < n; ++i) keys.push_back(NumberedKey(2 * (i / (1 + i % 4))));
        std::sort(keys.begin(), keys.end());
        const std::string block = BlockOf(keys);
        for (std::size_t probe = 0; probe <= 2 * n + 1; ++probe) {
            const std::string key = NumberedKey(probe);
            const auto expected = static_cast<std::size_t>(std::lower_bound(keys.begin(), keys.end(), key) - keys.begin());
            EXPECT_EQ(FindKeySlot(n, block.data(), key.c_str()), expected) << "n=" << n << " key=" << key;
        }
    }
}

TEST(LookupKey, FindsRecordsAcrossBlocks) {
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    WriteKeyFile(path, NumberedRecords(250));
    struct Case {
        std::string key;
        std::optional<std::size_t> index;
    } cases[] = {
        {"A", std::nullopt},                // below every record
        {"Z", std::nullopt},                // above every record
        {NumberedKey(0), 0},                // the first record
        {NumberedKey(2 * 249), 249},        // the last record
        {NumberedKey(2 * 99), 99},          // the last record of the first block
        {NumberedKey(2 * 100), 100},        // the first record of the second block
        {NumberedKey(2 * 150), 150},
        {NumberedKey(2 * 200), 200},        // the first record of the third, short block
        {NumberedKey(301), std::nullopt},   // between two records
        {NumberedKey(199), std::nullopt},   // between the blocks
        {"K0000", std::nullopt},            // a prefix of the first keys
    };
    for (const auto& c : cases) {
        const Lookup got = LookUp(path, c.key);
        EXPECT_EQ(got.found, c.index.has_value()) << c.key;
        if (got.found && c.index) {
            EXPECT_EQ(got.position, *c.index * 256) << c.key;
            EXPECT_EQ(got.value, NumberedValue(2 * *c.index)) << c.key;
        }
    }
}

TEST(LookupKey, FindsEveryRecordOfALargerFile) {
    TempDir dir;
    const std::string path = dir.file("USERTIME.KEY");
    WriteKeyFile(path, NumberedRecords(1234));
    KeyFile file;
    ASSERT_TRUE(file.open(path));
    for (std::size_t i = 0; i < 1234; ++i) {
        const auto hit = LookupKey(file, NumberedKey(2 * i).c_str());
        ASSERT_TRUE(hit) << i;
        EXPECT_EQ(hit->position, i * 256);
        EXPECT_FALSE(LookupKey(file, NumberedKey(2 * i + 1).c_str())) << i;
    }
}

TEST(LookupKey, OneFullBlockAndAKeyAboveAll) {
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    WriteKeyFile(path, NumberedRecords(100));
    EXPECT_FALSE(LookUp(path, "Z").found);
    EXPECT_FALSE(LookUp(path, NumberedKey(199)).found);
    const Lookup last = LookUp(path, NumberedKey(198));
    EXPECT_TRUE(last.found);
    EXPECT_EQ(last.position, 99u * 256);
}

TEST(LookupKey, FindsTheFirstOfEqualKeysAcrossABlockEnd) {
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    std::vector<TestRecord> records = NumberedRecords(95);
    for (int i = 0; i < 10; ++i) records.push_back({"L", "dup" + std::to_string(i)});
    WriteKeyFile(path, records);
    const Lookup got = LookUp(path, "L");
    EXPECT_TRUE(got.found);
    EXPECT_EQ(got.position, 95u * 256);
    EXPECT_EQ(got.value, "dup0");
}

TEST(LookupKey, AStoredKeyThatOnlyStartsWithTheSearchKeyIsNoMatch) {
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    WriteKeyFile(path, {{MakeUserKey("al"), "1"}, {MakeUserKey("anna"), "2"}, {MakeUserKey("bo"), "3"}});
    EXPECT_FALSE(LookUp(path, MakeUserKey("ann")).found);
    EXPECT_TRUE(LookUp(path, MakeUserKey("Anna")).found);

    WriteKeyFile(path, {{MakeUserKey("ann"), "1"}, {MakeUserKey("anna"), "2"}, {MakeUserKey("annb"), "3"}});
    const Lookup got = LookUp(path, MakeUserKey("ANN"));
    EXPECT_TRUE(got.found);
    EXPECT_EQ(got.value, "1");
}

TEST(LookupKey, ALongNameIsFoundByItsFirst128KeyCharacters) {
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    const std::string name = std::string(69, 'm') + "N";  // 70 bytes: a key of 140 characters
    const std::string key = MakeUserKey(name);
    ASSERT_EQ(key.size(), 140u);
    WriteKeyFile(path, {{MakeUserKey("a"), "1"}, {key.substr(0, 128), "long"}, {MakeUserKey("z"), "3"}});
    const Lookup got = LookUp(path, key);
    EXPECT_TRUE(got.found);
    EXPECT_EQ(got.position, 256u);
    EXPECT_EQ(got.value, "long");
}

TEST(LookupKey, ReadsA128ByteValueWholeAndZeroEnded) {
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    const std::string value(128, 'v');
    WriteKeyFile(path, {{"a", value}, {"b", "x"}});
    const Lookup got = LookUp(path, "a");
    EXPECT_TRUE(got.found);
    EXPECT_EQ(got.value, value);
}

TEST(LookupKey, IgnoresAShortTailThatIsNoWholeRecord) {
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    // The tail starts like a record with key "Z", but is too short to be one.
    const std::string tail = RecordBytes({"Z", "tail"}).substr(0, 200);
    WriteKeyFile(path, NumberedRecords(3), tail);
    EXPECT_FALSE(LookUp(path, "Z").found);
    EXPECT_TRUE(LookUp(path, NumberedKey(4)).found);
}

TEST(LookupKey, EmptyOrUnreadableFilesHoldNothing) {
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    WriteBytes(path, "");
    EXPECT_FALSE(LookUp(path, "a").found);
    KeyFile closed;
    EXPECT_FALSE(LookupKey(closed, "a"));
    EXPECT_FALSE(closed.open(dir.file("missing.key")));
    EXPECT_FALSE(closed.open(dir.path().string()));  // a folder is no key file
}

TEST(LookupKey, PassesOverLongerKeysFromTheSlotOn) {
    // Out of order as written: a longer key stands before the equal one. The scan from the slot
    // passes over keys that start with the search key until one differs.
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    WriteBytes(path, RecordBytes({"a", "1"}) + RecordBytes({"abc", "2"}) + RecordBytes({"ab", "3"}) +
                         RecordBytes({"z", "4"}));
    const Lookup got = LookUp(path, "ab");
    EXPECT_TRUE(got.found);
    EXPECT_EQ(got.position, 512u);
    EXPECT_EQ(got.value, "3");

    WriteBytes(path, RecordBytes({"a", "1"}) + RecordBytes({"abc", "2"}) + RecordBytes({"b", "3"}) +
                         RecordBytes({"ab", "4"}));
    EXPECT_FALSE(LookUp(path, "ab").found);  // "b" differs before "ab" is reached
}
