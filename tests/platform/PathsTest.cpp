#include <gtest/gtest.h>

#include "platform/Paths.h"
#include "tests/support/TempDir.h"

namespace {

TEST(Paths, DirectoryOfKeepsDriveAndFolderWithTheirLastSeparator) {
    struct Case {
        const char* path;
        const char* expected;
    } cases[] = {
        {"bannerfile.txt", ""},
        {"", ""},
        {"C:x", "C:"},
        {"c:x.txt", "c:"},
        {"C:", "C:"},
        {"1:x", ""},
        {"C:\\x\\y.txt", "C:\\x\\"},
        {"C:\\a\\b\\file.txt", "C:\\a\\b\\"},
        {"/a/b/c.txt", "/a/b/"},
        {"C:\\web/banners\\x.gif", "C:\\web/banners\\"},
        {"/a/b/", "/a/b/"},
        {"C:\\web\\\\banners\\f", "C:\\web\\\\banners\\"},
        {"/", "/"},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::DirectoryOf(c.path), c.expected) << c.path;
}

TEST(Paths, FileNameAndExtension) {
    struct Case {
        const char* path;
        const char* name;
        const char* ext;
    } cases[] = {
        {"/a/b/c.txt", "c.txt", ".txt"},
        {"C:\\x\\IMAGE.GIF", "IMAGE.GIF", ".GIF"},
        {"plain", "plain", ""},
        {"/a.dir/plain", "plain", ""},
        {"/a/archive.tar.gz", "archive.tar.gz", ".gz"},
        {"/a/b/", "", ""},
        {"/a/.hidden", ".hidden", ".hidden"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::FileNameOf(c.path), c.name) << c.path;
        EXPECT_EQ(platform::ExtensionOf(c.path), c.ext) << c.path;
    }
}

TEST(Paths, SettingsLiveInWindirWhenSetElseEtc) {
    SKIP_ON_WINDOWS("/etc and other spellings; the Windows tests check the Windows directory");
    TempDir dir;
    {
        ScopedEnv windir("WINDIR", dir.path().string());
        EXPECT_EQ(platform::SettingsDirectory(), dir.path().string());
        EXPECT_EQ(platform::SettingsFilePath(), dir.file("VELTA.INI"));
        // An existing file in another spelling is the one meant.
        WriteBytes(dir.file("velta.ini"), "[PROGRAM]\r\n");
        EXPECT_EQ(platform::SettingsFilePath(), dir.file("velta.ini"));
    }
    {
        ScopedEnv windir("WINDIR", dir.path().string() + "/");
        EXPECT_EQ(platform::SettingsFilePath(), dir.file("velta.ini"));
    }
    {
        ScopedEnv windir("WINDIR", "");
        EXPECT_EQ(platform::SettingsDirectory(), "/etc");
    }
    {
        ScopedEnv windir("WINDIR", "x");
        unsetenv("WINDIR");
        EXPECT_EQ(platform::SettingsDirectory(), "/etc");
        EXPECT_EQ(platform::SettingsFilePath().rfind("/etc/", 0), 0u);
    }
}

}  // namespace
