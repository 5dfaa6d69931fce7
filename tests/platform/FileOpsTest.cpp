#include <cerrno>
#include <filesystem>

#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "platform/FaultInjection.h"
#include "platform/FileOps.h"
#include "tests/support/Portable.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using namespace platform;

TEST(FileOps, CopyNeverReplacesKeepsBytesAndGivesTheModeOfANewFile) {
    SKIP_ON_WINDOWS("POSIX permission bits; Windows has a read-only attribute instead");
    TempDir dir;
    std::string bytes(200000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
    WriteBytes(dir.file("Source.GIF"), bytes);
    WriteBytes(dir.file("taken.gif"), "old");

    // A copy gets the mode of an ordinary new file, whatever the source carries: another user's
    // set-user-ID "picture" must not become a program in the web folder.
    const mode_t mask = ::umask(022);
    for (const mode_t sourceMode : {0640u, 04755u, 02755u, 01777u, 06777u, 0400u}) {
        ::chmod(dir.file("Source.GIF").c_str(), sourceMode);
        EXPECT_EQ(CopyFileNoReplace(dir.file("source.gif"), dir.file("copy.gif")), 0);
        EXPECT_EQ(ReadBytes(dir.file("copy.gif")), bytes);
        EXPECT_EQ(ModeOf(dir.file("copy.gif")), 0644u) << std::oct << sourceMode;
        fs::remove(dir.file("copy.gif"));
    }
    ::umask(027);
    EXPECT_EQ(CopyFileNoReplace(dir.file("source.gif"), dir.file("copy.gif")), 0);
    ::umask(mask);
    EXPECT_EQ(ModeOf(dir.file("copy.gif")), 0640u);

    EXPECT_EQ(CopyFileNoReplace(dir.file("Source.GIF"), dir.file("TAKEN.GIF")), EEXIST);
    EXPECT_EQ(ReadBytes(dir.file("taken.gif")), "old");
    EXPECT_EQ(CopyFileNoReplace(dir.file("missing.gif"), dir.file("new.gif")), ENOENT);
    EXPECT_FALSE(Exists(dir.file("new.gif")));
    fs::create_directory(dir.path() / "folder");
    EXPECT_EQ(CopyFileNoReplace(dir.file("folder"), dir.file("new.gif")), EISDIR);
    EXPECT_EQ(CopyFileNoReplace(dir.file("Source.GIF"), dir.file("nofolder/new.gif")), ENOENT);
}

TEST(FileOps, AFailedCopyLeavesNoHalfFile) {
    TempDir dir;
    WriteBytes(dir.file("src"), std::string(100000, 'x'));
    for (fault::Step step : {fault::Step::Write, fault::Step::Close}) {
        fault::FailAt(step, 1);
        EXPECT_NE(CopyFileNoReplace(dir.file("src"), dir.file("dst")), 0);
        EXPECT_TRUE(fault::Fired());
        EXPECT_FALSE(Exists(dir.file("dst")));
    }
    fault::Reset();
}

TEST(FileOps, MoveRefusesAnExistingTarget) {
    SKIP_ON_WINDOWS("POSIX error numbers; the Windows codes are checked by the Windows tests");
    TempDir dir;
    WriteBytes(dir.file("a"), "A");
    WriteBytes(dir.file("b"), "B");
    EXPECT_EQ(MoveFile(dir.file("A"), dir.file("b")), EEXIST);
    EXPECT_EQ(ReadBytes(dir.file("b")), "B");
    EXPECT_EQ(MoveFile(dir.file("A"), dir.file("c")), 0);
    EXPECT_FALSE(Exists(dir.file("a")));
    EXPECT_EQ(ReadBytes(dir.file("c")), "A");
    EXPECT_EQ(MoveFile(dir.file("a"), dir.file("d")), ENOENT);
}

// The as-written forms take a file's own name as it is written: a file of another case is another file.
TEST(FileOps, AsWrittenPathsAreNeverResolvedByCase) {
    SKIP_ON_WINDOWS("the Windows file system itself ignores case");
    TempDir dir;
    WriteBytes(dir.file("a"), "A");
    WriteBytes(dir.file("B"), "B");
    EXPECT_TRUE(PathExists(dir.file("b")));
    EXPECT_FALSE(PathExistsAsWritten(dir.file("b")));
    EXPECT_EQ(MoveFileAsWritten(dir.file("A"), dir.file("c")), ENOENT);
    EXPECT_EQ(MoveFileAsWritten(dir.file("a"), dir.file("b")), 0);
    EXPECT_EQ(ReadBytes(dir.file("B")), "B");
    EXPECT_EQ(MoveFileAsWritten(dir.file("b"), dir.file("B")), EEXIST);
    EXPECT_EQ(ReadBytes(dir.file("b")), "A");
    fs::create_directory(dir.path() / "Day");  // the folder itself is found as every path is
    EXPECT_EQ(MoveFileAsWritten(dir.file("b"), dir.file("day/b")), 0);
    EXPECT_TRUE(PathExistsAsWritten(dir.file("DAY/b")) && !PathExistsAsWritten(dir.file("DAY/B")));
}

TEST(FileOps, DeleteRemovesFilesAndLinksButNeverFolders) {
    SKIP_ON_WINDOWS("symbolic links: Wine cannot make them, and Windows makes them only with a privilege");
    TempDir dir;
    fs::create_directory(dir.path() / "Folder");
    WriteBytes(dir.file("Folder/inside"), "keep");
    WriteBytes(dir.file("File.txt"), "x");
    fs::create_symlink(dir.path() / "Folder" / "inside", dir.path() / "fileLink");
    fs::create_directory_symlink(dir.path() / "Folder", dir.path() / "folderLink");

    EXPECT_EQ(DeleteFile(dir.file("folder")), EISDIR);
    EXPECT_TRUE(Exists(dir.file("Folder/inside")));
    EXPECT_EQ(DeleteFile(dir.file("fileLink")), 0);
    EXPECT_EQ(DeleteFile(dir.file("folderLink")), 0);
    EXPECT_EQ(ReadBytes(dir.file("Folder/inside")), "keep");
    EXPECT_EQ(DeleteFile(dir.file("FILE.TXT")), 0);
    EXPECT_FALSE(Exists(dir.file("File.txt")));
    EXPECT_EQ(DeleteFile(dir.file("File.txt")), ENOENT);
}

TEST(FileOps, FoldersAreCreatedOneLevelAndRemovedOnlyWhenEmpty) {
    SKIP_ON_WINDOWS("symbolic links: Wine cannot make them, and Windows makes them only with a privilege");
    TempDir dir;
    EXPECT_EQ(CreateDirectory(dir.file("Log")), 0);
    EXPECT_TRUE(IsDirectory(dir.file("LOG")));
    EXPECT_EQ(CreateDirectory(dir.file("log")), EEXIST);
    EXPECT_EQ(CreateDirectory(dir.file("a/b")), ENOENT);
    WriteBytes(dir.file("Log/dormant.log"), "x");
    EXPECT_EQ(RemoveDirectory(dir.file("log")), ENOTEMPTY);
    EXPECT_EQ(RemoveDirectory(dir.file("Log/dormant.log")), ENOTDIR);
    fs::create_directory_symlink(dir.path() / "Log", dir.path() / "link");
    EXPECT_EQ(RemoveDirectory(dir.file("link")), ENOTDIR);
    EXPECT_FALSE(IsDirectory(dir.file("link")));
    EXPECT_TRUE(PathExists(dir.file("link")));
    EXPECT_EQ(DeleteFile(dir.file("log/DORMANT.LOG")), 0);
    EXPECT_EQ(RemoveDirectory(dir.file("LOG")), 0);
    EXPECT_FALSE(PathExists(dir.file("Log")));
}

// The quarantine's folders take the protection of the account folders (no set-id bit): never wider, whatever the
// process's umask, and never made when the model cannot be read.
TEST(FileOps, FoldersMadeLikeAModelTakeItsModeAndOwner) {
    SKIP_ON_WINDOWS("POSIX permission bits; the Windows access lists are checked in WindowsApiTest");
#ifndef _WIN32
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    // 0770 made by another user than the model's (when the tests run as root): the model's group
    // cannot be given, so neither are its bits.
    constexpr mode_t kByAnother = 010770;
    for (const mode_t row : {0750u, 0700u, 0755u, 02770u, kByAnother}) {
        const mode_t mode = row & 07777;
        const bool another = row == kByAnother;
        if (another && ::geteuid() != 0) continue;
        const std::string model = dir.file("user" + std::to_string(row)), made = dir.file("Quarantine" + std::to_string(row));
        ASSERT_EQ(CreateDirectory(model), 0);
        ASSERT_EQ(::chmod(model.c_str(), mode), 0);
        const mode_t old = ::umask(0);
        if (another) {
            ASSERT_TRUE(::setegid(65534) == 0 && ::seteuid(65534) == 0);
        }
        EXPECT_EQ(CreateDirectoryLike(made, model), 0);
        if (another) {
            ASSERT_TRUE(::seteuid(0) == 0 && ::setegid(0) == 0);
        }
        ::umask(old);
        EXPECT_EQ(ModeOf(made), another ? 0700u : mode & 0777u) << row;  // never a set-id bit
        struct stat made_st, model_st;
        ASSERT_EQ(::stat(made.c_str(), &made_st), 0);
        ASSERT_EQ(::stat(model.c_str(), &model_st), 0);
        EXPECT_EQ(made_st.st_uid == model_st.st_uid && made_st.st_gid == model_st.st_gid, !another) << row;
    }
    EXPECT_EQ(CreateDirectoryLike(dir.file("other"), dir.file("missing")), ENOENT);
    EXPECT_FALSE(PathExists(dir.file("other")));
#endif
}

TEST(FileOps, ReadFileBytesReadsEverythingOrFails) {
    TempDir dir;
    std::string bytes("a\0b\r\nc", 6);
    WriteBytes(dir.file("Data.bin"), bytes);
    std::string out = "stale";
    EXPECT_TRUE(ReadFileBytes(dir.file("data.BIN"), out));
    EXPECT_EQ(out, bytes);
    EXPECT_FALSE(ReadFileBytes(dir.file("none"), out));
    EXPECT_EQ(out, "");
    EXPECT_FALSE(ReadFileBytes(dir.path().string(), out));  // a folder is no file
}

TEST(FileOps, SystemErrorTextIsTheSystemsMessage) {
    SKIP_ON_WINDOWS("the messages of the C library; the system's own texts are checked by the Windows tests");
    EXPECT_EQ(SystemErrorText(ENOENT), "No such file or directory");
    EXPECT_EQ(SystemErrorText(EEXIST), "File exists");
    EXPECT_EQ(SystemErrorText(ENOSPC), "No space left on device");
    EXPECT_EQ(SystemErrorText(987654), "error 987654");
    EXPECT_EQ(SystemErrorText(-3), "error -3");
    errno = EACCES;
    EXPECT_EQ(LastError(), EACCES);
}

}  // namespace
