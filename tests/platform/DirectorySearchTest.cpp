#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/DirectorySearch.h"
#include "tests/support/Portable.h"
#include "tests/support/TempDir.h"

namespace {

using platform::FindEntries;
using platform::FoundEntry;
using platform::WildcardMatch;

TEST(DirectorySearch, WildcardMatchesAsWindowsDoes) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"*.*", "file.txt", true},
        {"*.*", "noext", true},
        {"*.*", ".", true},
        {"*.*", "..", true},
        {"*.*", ".hidden", true},
        {"*", "anything.at.all", true},
        {"*.htm*", "00001234.html", true},
        {"*.htm*", "x.HTM", true},
        {"*.htm*", "x.htm.bak", true},
        {"*.htm*", "xhtml", false},
        {"*.htm*", "x.txt", false},
        {"00004A2F.*", "00004A2F.gif", true},
        {"00004A2F.*", "00004a2f.JPG", true},
        {"00004A2F.*", "00004A2F", true},
        {"00004A2F.*", "00004A2F0.gif", false},
        {"00004A2F.*", "x00004A2F.gif", false},
        {"?.txt", "a.txt", true},
        {"?.txt", "ab.txt", false},
        {"?.txt", ".txt", false},
        {"USER.INI", "user.ini", true},
        {"user.ini", "user.ini.bak", false},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYY", false},
        {"a*b", "abab", true},
        {"*a", "", false},
        {"", "", true},
        {"", "x", false},
        {"*.gif", "\xC3\xA9t\xC3\xA9.GIF", true},
        {"\xC3\xA9*", "\xC3\x89t\xC3\xA9", false},  // only ASCII letters fold
    };
    for (const auto& c : cases) EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " ~ " << c.name;
}

std::vector<std::string> Names(const std::vector<FoundEntry>& entries) {
    std::vector<std::string> names;
    for (const auto& e : entries) names.push_back(e.name);
    return names;
}

const FoundEntry* Find(const std::vector<FoundEntry>& entries, const std::string& name) {
    for (const auto& e : entries)
        if (e.name == name) return &e;
    return nullptr;
}

TEST(DirectorySearch, ListsMatchesWithDotsFirstAndTellsFoldersFromLinks) {
    SKIP_ON_WINDOWS("symbolic links: Wine cannot make them, and Windows makes them only with a privilege");
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "User" / "0061");
    WriteBytes(dir.file("User/readme.txt"), "x");
    WriteBytes(dir.file("User/00004A2F.gif"), "x");
    std::filesystem::create_directory_symlink(dir.path() / "User" / "0061", dir.path() / "User" / "link");

    auto all = FindEntries(dir.file("USER/*.*"));  // the folder is found in another spelling
    ASSERT_GE(all.size(), 6u);
    EXPECT_EQ(all[0].name, ".");
    EXPECT_EQ(all[1].name, "..");
    EXPECT_TRUE(all[0].isDirectory);
    auto names = Names(all);
    std::sort(names.begin() + 2, names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "00004A2F.gif", "0061", "link", "readme.txt"}));
    EXPECT_TRUE(Find(all, "0061")->isDirectory);
    EXPECT_FALSE(Find(all, "0061")->isSymlink);
    EXPECT_FALSE(Find(all, "link")->isDirectory);
    EXPECT_TRUE(Find(all, "link")->isSymlink);
    EXPECT_FALSE(Find(all, "readme.txt")->isDirectory);

    EXPECT_EQ(Names(FindEntries(dir.file("User/00004a2f.*"))), std::vector<std::string>{"00004A2F.gif"});
    EXPECT_EQ(Names(FindEntries(dir.file("User/*.htm*"))), std::vector<std::string>{});
    EXPECT_EQ(Names(FindEntries(dir.file("User/README.TXT"))), std::vector<std::string>{"readme.txt"});
    EXPECT_TRUE(FindEntries(dir.file("Nowhere/*.*")).empty());
}

TEST(DirectorySearch, FoundPathJoinsThePatternsFolder) {
    FoundEntry e;
    e.name = "0061";
    EXPECT_EQ(platform::FoundPath("/velta/user/*.*", e), "/velta/user/0061");
#ifdef _WIN32
    EXPECT_EQ(platform::FoundPath("C:\\velta\\user\\*.*", e), "C:\\velta\\user\\0061");
#else
    // Here a backslash is an ordinary character of a folder's name.
    EXPECT_EQ(platform::FoundPath("/velta/7a7a\\626f62/*.*", e), "/velta/7a7a\\626f62/0061");
#endif
    EXPECT_EQ(platform::FoundPath("*.*", e), "0061");
}

TEST(DirectorySearch, APatternWithoutFolderSearchesTheCurrentOne) {
    TempDir dir;
    WriteBytes(dir.file("a.gif"), "x");
    auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    auto found = Names(FindEntries("*.GIF"));
    std::filesystem::current_path(old);
    EXPECT_EQ(found, std::vector<std::string>{"a.gif"});
}

}  // namespace
