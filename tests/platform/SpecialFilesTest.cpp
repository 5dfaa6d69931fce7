#include <gtest/gtest.h>

#ifdef _WIN32
TEST(SpecialFiles, NeedPosixFiles) { GTEST_SKIP() << "named pipes and permission bits are POSIX; Windows has neither in its file system"; }
#else
// Files that are not what they seem: marked read-only, or not ordinary files at all.
#include <filesystem>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/FileOps.h"
#include "platform/ProfileFile.h"
#include "platform/SafeWrite.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

TEST(ReadOnlyFile, IsNeitherReplacedNorDeleted) {
    TempDir dir;
    const std::string path = dir.file("bannerfile.txt");
    WriteBytes(path, "old,\r\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    EXPECT_EQ(platform::WriteFileAtomically(path, "new,\r\n"), EACCES);
    EXPECT_FALSE(platform::WriteProfileString(path, "BANNER", "DATAFILE", "x"));
    EXPECT_EQ(platform::DeleteFile(path), EACCES);

    EXPECT_EQ(ReadBytes(path), "old,\r\n");
    EXPECT_EQ(ListNames(dir.path().string()), std::vector<std::string>{"bannerfile.txt"});  // no temporary file left

    // With a write permission back, the same calls go through.
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(platform::WriteFileAtomically(path, "new,\r\n"), 0);
    EXPECT_EQ(ReadBytes(path), "new,\r\n");
    EXPECT_EQ(platform::DeleteFile(path), 0);
    EXPECT_FALSE(Exists(path));
}

TEST(SpecialFile, APipeInPlaceOfASettingsFileReadsAsMissing) {
    TempDir dir;
    const std::string path = dir.file("user.ini");
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    std::string bytes = "left over";
    EXPECT_FALSE(platform::ReadFileBytes(path, bytes));
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(platform::ReadProfileString(path, "PROGRAM", "LASTLOGON"), "");
}
#endif
