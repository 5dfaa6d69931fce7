#include <algorithm>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/FaultInjection.h"
#include "platform/Paths.h"
#include "platform/SafeWrite.h"
#include "tests/support/Portable.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using platform::AtomicFile;
using platform::WriteFileAtomically;
namespace fault = platform::fault;

std::vector<std::string> Listing(const TempDir& dir) { return ListNames(dir.path().string()); }

// Writes the new content in three pieces, so that the second and third writes can fail too.
platform::ErrorCode SaveInPieces(const std::string& path, const std::string& content) {
    AtomicFile file(path);
    std::size_t third = content.size() / 3;
    if (!file.isOpen()) return file.error();
    if (!file.write(content.substr(0, third)) || !file.write(content.substr(third, third)) ||
        !file.write(content.substr(2 * third)))
        return file.error();
    return file.commit();
}

std::string StepName(const ::testing::TestParamInfo<fault::Step>& info) {
    static const char* const names[] = {"Create", "Write", "Flush", "Close", "Rename", "SyncDir"};
    return names[static_cast<int>(info.param)];
}

class SafeWriteFaults : public ::testing::TestWithParam<fault::Step> {
protected:
    void TearDown() override { fault::Reset(); }
};

// Each step fails at its first, second, ... occurrence until the save gets through; after every
// failure the old file is whole and no temporary file is left.
TEST_P(SafeWriteFaults, EveryFailureKeepsTheOldFileWhole) {
    const fault::Step step = GetParam();
    TempDir dir;
    const std::string target = dir.file("bannerfile.txt");
    const std::string oldContent = "old,row\r\n";
    const std::string newContent = "new,row,one\r\nnew,row,two\r\nnew,row,three\r\n";
    WriteBytes(target, oldContent);
    int failures = 0;
    for (int n = 1; n < 20; ++n) {
        fault::FailAt(step, n);
        platform::ErrorCode e = SaveInPieces(target, newContent);
        if (!fault::Fired()) {
            EXPECT_EQ(e, 0);
            EXPECT_EQ(ReadBytes(target), newContent);
            break;
        }
        ++failures;
        EXPECT_EQ(e, fault::InjectedError(step)) << "failure " << n;
        EXPECT_EQ(ReadBytes(target), oldContent) << "failure " << n;
        EXPECT_EQ(Listing(dir), std::vector<std::string>{"bannerfile.txt"}) << "failure " << n;
    }
    EXPECT_EQ(failures, step == fault::Step::Write ? 3 : 1);
    EXPECT_EQ(ReadBytes(target), newContent);
}

INSTANTIATE_TEST_SUITE_P(Steps, SafeWriteFaults,
                         ::testing::Values(fault::Step::Create, fault::Step::Write, fault::Step::Flush,
                                           fault::Step::Close, fault::Step::Rename),
                         StepName);

TEST(SafeWrite, AFailedFolderSyncStillReportsTheReplacedFile) {
    TempDir dir;
    const std::string target = dir.file("VELTA.INI");
    WriteBytes(target, "old");
    fault::FailAt(fault::Step::SyncDir, 1);
    EXPECT_EQ(WriteFileAtomically(target, "new"), 0);
    EXPECT_TRUE(fault::Fired());
    fault::Reset();
    EXPECT_EQ(ReadBytes(target), "new");
    EXPECT_EQ(Listing(dir), std::vector<std::string>{"VELTA.INI"});
}

TEST(SafeWrite, KeepsPermissionsOfTheReplacedFileAndGivesNewFilesTheUsualOnes) {
    SKIP_ON_WINDOWS("POSIX permission bits; Windows has a read-only attribute instead");
    TempDir dir;
    const std::string kept = dir.file("kept.txt");
    WriteBytes(kept, "old");
    ::chmod(kept.c_str(), 0640);
    ASSERT_EQ(WriteFileAtomically(kept, "new"), 0);
    EXPECT_EQ(ModeOf(kept), 0640u);

#ifndef _WIN32
    // A new file: the usual bits, no wider than its folder's, and the folder's owner and group.
    struct Case {
        mode_t folder, umask, file;
    };
    for (const Case& c : {Case{0755, 027, 0640}, Case{0750, 022, 0640}, Case{0700, 0, 0600}}) {
        const std::string folder = dir.file("folder" + std::to_string(c.folder));
        std::filesystem::create_directory(folder);
        ::chmod(folder.c_str(), c.folder);
        const bool root = ::geteuid() == 0;
        if (root) {
            ASSERT_EQ(::chown(folder.c_str(), 4321, 4322), 0);
        }
        const mode_t mask = ::umask(c.umask);
        ASSERT_EQ(WriteFileAtomically(folder + "/fresh.txt", "x"), 0);
        ::umask(mask);
        EXPECT_EQ(ModeOf(folder + "/fresh.txt"), c.file) << c.folder;
        EXPECT_EQ(ReadBytes(folder + "/fresh.txt"), "x");
        struct stat st {};
        ASSERT_EQ(::stat((folder + "/fresh.txt").c_str(), &st), 0);
        if (root) {
            EXPECT_EQ(std::make_pair(st.st_uid, st.st_gid), std::make_pair(4321u, 4322u)) << c.folder;
        }
    }
#endif
}

TEST(SafeWrite, ReplacesTheFileInTheSpellingOnDiskAndWritesThroughALink) {
    SKIP_ON_WINDOWS("symbolic links: Wine cannot make them, and Windows makes them only with a privilege");
    TempDir dir;
    fs::create_directory(dir.path() / "real");
    WriteBytes(dir.file("real/Velta.ini"), "old");
    fs::create_symlink(dir.path() / "real" / "Velta.ini", dir.path() / "VELTA.INI");
    ASSERT_EQ(WriteFileAtomically(dir.file("velta.ini"), "new"), 0);
    EXPECT_TRUE(fs::is_symlink(dir.path() / "VELTA.INI"));
    EXPECT_EQ(ReadBytes(dir.file("real/Velta.ini")), "new");
    EXPECT_EQ(Listing(dir), (std::vector<std::string>{"VELTA.INI", "real"}));
}

TEST(SafeWrite, ATargetNamedAsWrittenIsThatNameAlone) {
    SKIP_ON_WINDOWS("the Windows file system itself ignores case");
    TempDir dir;
    WriteBytes(dir.file("ENTRY"), "someone else's");
    using platform::TargetLink, platform::TargetName;
    ASSERT_EQ(WriteFileAtomically(dir.file("entry"), "new", TargetLink::Refuse, false, TargetName::AsWritten), 0);
    EXPECT_EQ(ReadBytes(dir.file("ENTRY")), "someone else's");
    EXPECT_EQ(ReadBytes(dir.file("entry")), "new");
}

TEST(SafeWrite, AMissingFolderFailsWithoutCreatingAnything) {
    TempDir dir;
#ifdef _WIN32
    EXPECT_NE(WriteFileAtomically(dir.file("missing/file.txt"), "x"), 0);  // the system's code for it
#else
    EXPECT_EQ(WriteFileAtomically(dir.file("missing/file.txt"), "x"), ENOENT);
#endif
    EXPECT_TRUE(Listing(dir).empty());
}

TEST(SafeWrite, DiscardedOrUncommittedFilesLeaveNoTrace) {
    TempDir dir;
    const std::string target = dir.file("page.html");
    WriteBytes(target, "old");
    {
        AtomicFile file(target, "VT");
        ASSERT_TRUE(file.isOpen());
        EXPECT_EQ(platform::DirectoryOf(file.temporaryPath()), dir.path().string() + platform::kSepText);
        EXPECT_EQ(platform::FileNameOf(file.temporaryPath()).rfind("VT", 0), 0u);
        EXPECT_TRUE(file.write("new"));
        EXPECT_TRUE(Exists(file.temporaryPath()));
    }
    EXPECT_EQ(Listing(dir), std::vector<std::string>{"page.html"});
    AtomicFile file(target);
    file.write("new");
    file.discard();
    EXPECT_FALSE(file.write("more"));
    EXPECT_NE(file.commit(), 0);
    EXPECT_EQ(ReadBytes(target), "old");
    EXPECT_EQ(Listing(dir), std::vector<std::string>{"page.html"});
}

}  // namespace

namespace {

TEST(SafeWrite, NeverReplacesAFileThatChangedSinceItWasRead) {
    TempDir dir;
    const std::string target = dir.file("USER.KEY");
    WriteBytes(target, "as read");
    platform::FileStamp stamp = platform::StampOf(target);
    EXPECT_TRUE(stamp.exists);
    EXPECT_EQ(stamp, platform::StampOf(dir.file("user.key")));
    fault::BeforeReplace([&] { WriteBytes(target, "as read, then changed"); });
    AtomicFile file(target);
    file.expectTarget(stamp);
    ASSERT_TRUE(file.write("our copy"));
    EXPECT_EQ(file.commit(), platform::kTargetChanged);
    fault::Reset();
    EXPECT_EQ(ReadBytes(target), "as read, then changed");
    EXPECT_EQ(Listing(dir), std::vector<std::string>{"USER.KEY"});

    // A file that appeared after the caller found none is not replaced either.
    const std::string fresh = dir.file("new.txt");
    platform::FileStamp none = platform::StampOf(fresh);
    EXPECT_FALSE(none.exists);
    WriteBytes(fresh, "theirs");
    AtomicFile second(fresh);
    second.expectTarget(none);
    second.write("ours");
    EXPECT_EQ(second.commit(), platform::kTargetChanged);
    EXPECT_EQ(ReadBytes(fresh), "theirs");

    // Unchanged, the same check lets the copy through.
    AtomicFile third(target);
    third.expectTarget(platform::StampOf(target));
    third.write("ours");
    EXPECT_EQ(third.commit(), 0);
    EXPECT_EQ(ReadBytes(target), "ours");
}

}  // namespace

TEST(SafeWrite, CopiesRangesOfAnotherFileWithinOrAcrossFileSystems) {
    // From the same folder the system copies; from memory (another file system) the buffer does.
    TempDir dir;
    std::string content(3 << 20, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 / 5);
    for (const std::string& folder : {dir.path().string(), std::string("/dev/shm")}) {
        const std::string source = folder + "/copy-source-" + std::to_string(::getpid());
        if (!fs::is_directory(folder)) continue;
        WriteBytes(source, content);
        const int fd = ::open(source.c_str(), O_RDONLY);
        AtomicFile file(dir.file("target"));
        EXPECT_TRUE(file.copyFrom(fd, 5, (2 << 20) + 3) && file.copyFrom(fd, 0, 4) && file.commit() == 0) << folder;
        EXPECT_EQ(ReadBytes(dir.file("target")), content.substr(5, (2 << 20) + 3) + content.substr(0, 4)) << folder;
        AtomicFile beyondTheEnd(dir.file("target"));
        EXPECT_FALSE(beyondTheEnd.copyFrom(fd, content.size() - 10, 11));
        EXPECT_EQ(beyondTheEnd.error(), platform::kSourceEnded) << folder;
        ::close(fd);
        fs::remove(source);
    }
}
