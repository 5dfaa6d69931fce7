#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dormix/keyindex/RemoveKeyRecord.h"
#include "tests/keyindex/KeyFileWriter.h"
#include "tests/support/Portable.h"
#include "tests/support/TempDir.h"

using namespace keyindex;

TEST(RemoveKeyRecord, KeepsTheOtherRecordsInOrder) {
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    const auto records = NumberedRecords(5);
    for (std::size_t index : {0u, 2u, 4u}) {
        WriteKeyFile(path, records);
        EXPECT_EQ(RemoveKeyRecord(path, index * 256), RemovalResult::Removed) << index;
        EXPECT_EQ(ReadBytes(path), KeyFileBytes(Without(records, index))) << index;
        EXPECT_EQ(ListNames(dir.path().string()), std::vector<std::string>{"USER.KEY"});
    }
}

TEST(RemoveKeyRecord, CopiesFilesLargerThanOneChunk) {
    TempDir dir;
    const std::string path = dir.file("USERTIME.KEY");
    const auto records = NumberedRecords(9000);  // 2.3 MB: the copy takes several chunks
    for (std::size_t index : {0u, 4095u, 4096u, 8999u}) {
        WriteKeyFile(path, records);
        EXPECT_EQ(RemoveKeyRecord(path, index * 256), RemovalResult::Removed);
        EXPECT_EQ(ReadBytes(path), KeyFileBytes(Without(records, index))) << index;
    }
}

TEST(RemoveKeyRecord, TheOnlyRecordOfAFileDeletesTheFile) {
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    WriteKeyFile(path, NumberedRecords(1));
    EXPECT_EQ(RemoveKeyRecord(path, 0), RemovalResult::Removed);
    EXPECT_FALSE(Exists(path));
    EXPECT_TRUE(ListNames(dir.path().string()).empty());
}

TEST(RemoveKeyRecord, DropsAShortTailAndLeavesAFileThatWouldBecomeEmpty) {
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    const std::string tail(100, 't');

    // One record and a short tail: the copy would be empty, so nothing changes.
    WriteKeyFile(path, NumberedRecords(1), tail);
    const std::string before = ReadBytes(path);
    EXPECT_EQ(RemoveKeyRecord(path, 0), RemovalResult::Unchanged);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(ListNames(dir.path().string()), std::vector<std::string>{"USER.KEY"});

    // A longer file keeps whole records only.
    const auto records = NumberedRecords(3);
    WriteKeyFile(path, records, tail);
    EXPECT_EQ(RemoveKeyRecord(path, 256), RemovalResult::Removed);
    EXPECT_EQ(ReadBytes(path), KeyFileBytes(Without(records, 1)));
}

TEST(RemoveKeyRecord, APositionThatIsNoWholeRecordChangesNothing) {
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    WriteKeyFile(path, NumberedRecords(3), "tail");
    const std::string before = ReadBytes(path);
    for (FilePosition position : {FilePosition{100}, FilePosition{768}, FilePosition{1024}, FilePosition{9999999}}) {
        EXPECT_EQ(RemoveKeyRecord(path, position), RemovalResult::Unchanged) << position;
        EXPECT_EQ(ReadBytes(path), before) << position;
    }
    EXPECT_EQ(RemoveKeyRecord(dir.file("missing.key"), 0), RemovalResult::Unchanged);
    EXPECT_FALSE(Exists(dir.file("missing.key")));
    EXPECT_EQ(ListNames(dir.path().string()), std::vector<std::string>{"USER.KEY"});
}

TEST(RemoveKeyRecord, NeverReplacesAFileThatChangedAfterItWasRead) {
    SKIP_ON_WINDOWS("the open key file's share mode refuses these writers on Windows; the Windows tests check that");
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    const std::string other = dir.file("other");
    const auto records = NumberedRecords(4);
    const auto later = std::filesystem::file_time_type::clock::now() + std::chrono::hours(1);

    struct Case {
        const char* what;
        std::vector<TestRecord> initial;
        void (*change)(const std::string& path, const std::string& other, std::filesystem::file_time_type later);
    } cases[] = {
        {"grown in place", records,
         [](const std::string& p, const std::string&, std::filesystem::file_time_type) {
             WriteKeyFile(p, NumberedRecords(5));
         }},
        {"same size, new time", records,
         [](const std::string& p, const std::string&, std::filesystem::file_time_type t) {
             WriteKeyFile(p, {{"a", ""}, {"b", ""}, {"c", ""}, {"d", ""}});
             std::filesystem::last_write_time(p, t);
         }},
        {"replaced by another file", records,
         [](const std::string& p, const std::string& o, std::filesystem::file_time_type) {
             WriteKeyFile(o, NumberedRecords(5));
             std::filesystem::rename(o, p);
         }},
        {"sole record, then grown", NumberedRecords(1),
         [](const std::string& p, const std::string&, std::filesystem::file_time_type) {
             WriteKeyFile(p, NumberedRecords(2));
         }},
        {"removed", records,
         [](const std::string& p, const std::string&, std::filesystem::file_time_type) {
             std::filesystem::remove(p);
         }},
    };
    for (const auto& c : cases) {
        WriteKeyFile(path, c.initial);
        KeyFile file;
        ASSERT_TRUE(file.open(path)) << c.what;
        c.change(path, other, later);
        const bool existed = Exists(path);
        const std::string changed = ReadBytes(path);
        EXPECT_EQ(RemoveRecordFromOpenFile(file, path, 0), RemovalResult::FileChanged) << c.what;
        EXPECT_EQ(Exists(path), existed) << c.what;
        EXPECT_EQ(ReadBytes(path), changed) << c.what;
        EXPECT_FALSE(file.isOpen());
        for (const auto& name : ListNames(dir.path().string())) EXPECT_NE(name.rfind("VT", 0), 0u) << name;
    }
}
