#include <filesystem>
#include <future>

#include <gtest/gtest.h>

#include "dormix/scan/DeleteFolderTree.h"
#include "platform/FolderRemoval.h"
#include "platform/FaultInjection.h"
#include "tests/support/Portable.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

void MakeTree(const std::string& root) {
    fs::create_directories(root + "/a/b/c");
    fs::create_directories(root + "/empty");
    WriteBytes(root + "/top.txt", "top");
    WriteBytes(root + "/a/one.txt", "1");
    WriteBytes(root + "/a/b/two", "2");
    WriteBytes(root + "/a/b/c/three.dat", "3");
    WriteBytes(root + "/.hidden", "h");
}

TEST(DeleteFolderTree, RemovesEverythingDepthFirst) {
    TempDir dir;
    const std::string account = dir.file("account");
    MakeTree(account);
    WriteBytes(dir.file("beside.txt"), "stays");

    EXPECT_TRUE(DeleteFolderTree(account));
    EXPECT_FALSE(Exists(account));
    EXPECT_EQ(ReadBytes(dir.file("beside.txt")), "stays");
}

TEST(DeleteFolderTree, LinksGoAsLinksAndTheirTargetsStay) {
    SKIP_ON_WINDOWS("symbolic links: Wine cannot make them, and Windows makes them only with a privilege");
    TempDir dir;
    const std::string outside = dir.file("outside");
    MakeTree(outside);
    const std::string account = dir.file("account");
    fs::create_directories(account + "/sub");
    WriteBytes(account + "/sub/mine.txt", "mine");
    fs::create_directory_symlink(outside, account + "/folder-link");
    fs::create_directory_symlink(outside + "/a", account + "/sub/nested-link");
    fs::create_symlink(outside + "/top.txt", account + "/file-link");
    fs::create_symlink(dir.file("nowhere"), account + "/dangling-link");

    EXPECT_TRUE(DeleteFolderTree(account));
    EXPECT_FALSE(Exists(account));
    EXPECT_EQ(ReadBytes(outside + "/top.txt"), "top");
    EXPECT_EQ(ReadBytes(outside + "/a/b/c/three.dat"), "3");
    EXPECT_EQ(ReadBytes(outside + "/a/one.txt"), "1");
    EXPECT_TRUE(fs::is_directory(outside + "/empty"));
}

TEST(DeleteAccountFolder, OnlyRealFoldersAreDeleted) {
    SKIP_ON_WINDOWS("symbolic links: Wine cannot make them, and Windows makes them only with a privilege");
    TempDir dir;
    const std::string target = dir.file("target");
    MakeTree(target);
    fs::create_directory_symlink(target, dir.file("link-to-folder"));
    WriteBytes(dir.file("plain-file"), "f");
    const std::string folder = dir.file("folder");
    MakeTree(folder);

    EXPECT_FALSE(DeleteAccountFolder(dir.file("link-to-folder")));
    EXPECT_FALSE(DeleteAccountFolder(dir.file("plain-file")));
    EXPECT_FALSE(DeleteAccountFolder(dir.file("missing")));
    EXPECT_TRUE(Exists(dir.file("link-to-folder")));
    EXPECT_EQ(ReadBytes(target + "/a/one.txt"), "1");
    EXPECT_EQ(ReadBytes(dir.file("plain-file")), "f");

    EXPECT_TRUE(DeleteAccountFolder(folder));
    EXPECT_FALSE(Exists(folder));
}

TEST(DeleteAccountFolder, FindsTheFolderWhateverTheLetterCase) {
    TempDir dir;
    const std::string folder = dir.file("416E6E");
    MakeTree(folder);
    EXPECT_TRUE(DeleteAccountFolder(dir.file("416e6e")));
    EXPECT_FALSE(Exists(folder));
}

}  // namespace

namespace {

std::size_t CountEntries(const std::string& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::recursive_directory_iterator(folder)) ++n;
    return n;
}

TEST(DeleteFolderTree, AFolderSwappedForALinkWhileTheDeletionRunsIsNotFollowed) {
    SKIP_ON_WINDOWS("symbolic links: Wine cannot make them, and Windows makes them only with a privilege");
    TempDir dir;
    const std::string victim = dir.file("victim");
    MakeTree(victim);
    const std::size_t victimEntries = CountEntries(victim);
    const std::string account = dir.file("account");
    fs::create_directories(account + "/sub/inner");
    WriteBytes(account + "/sub/inner/mine.txt", "mine");

    // Once the removal has found "sub" as a folder, a second program puts a link in its place.
    platform::fault::BeforeDescend([&] {
        if (fs::is_symlink(account + "/sub")) return;
        std::async(std::launch::async, [&] {
            fs::rename(account + "/sub", dir.file("moved-away"));
            fs::create_directory_symlink(victim, account + "/sub");
        }).wait();
    });

    EXPECT_TRUE(DeleteFolderTree(account));
    platform::fault::Reset();

    EXPECT_FALSE(Exists(account));
    EXPECT_EQ(CountEntries(victim), victimEntries);
    EXPECT_EQ(ReadBytes(victim + "/a/b/c/three.dat"), "3");
    EXPECT_EQ(ReadBytes(dir.file("moved-away/inner/mine.txt")), "mine");  // moved out of reach first
}

// The file spared to the last is found whatever its letter case; the same removal then takes the rest.
TEST(FolderRemoval, EmptiesAllButTheSparedFileAndThenRemovesTheRest) {
    TempDir dir;
    const std::string account = dir.file("account");
    MakeTree(account);
    WriteBytes(account + "/USER.INI", "[PROGRAM]\r\n");
    platform::FolderRemoval folder(account);
    EXPECT_TRUE(folder.removeAllBut("user.ini"));
    // The removal holds the folder open, so Windows lets no one list it meanwhile: look by name.
    for (const char* gone : {"/a", "/empty", "/top.txt", "/.hidden"}) EXPECT_FALSE(Exists(account + gone)) << gone;
    EXPECT_TRUE(Exists(account + "/USER.INI"));
    EXPECT_TRUE(folder.removeRest());
    EXPECT_FALSE(Exists(account));
}

}  // namespace
