#include <gtest/gtest.h>

#include "common/VeltaSettings.h"
#include "tests/support/TempDir.h"

namespace {

TEST(VeltaSettings, ReadsAndWritesTheSettingsFileInWindir) {
    TempDir dir;
    ScopedEnv windir("WINDIR", dir.path().string());
    EXPECT_EQ(ReadVeltaSetting("PROGRAM", "HTMLPATH"), "");
    EXPECT_FALSE(Exists(dir.file("VELTA.INI")));  // reading creates nothing

    WriteBytes(dir.file("velta.ini"), "[PROGRAM]\r\nHTMLPATH=C:\\web\r\nPATH=C:\\velta\r\n");
    EXPECT_EQ(ReadVeltaSetting("program", "HtmlPath"), "C:\\web");
    EXPECT_EQ(ReadVeltaSetting("PROGRAM", "PATH"), "C:\\velta");

    ASSERT_TRUE(WriteVeltaSetting("BANNER", "DATAFILE", "C:\\web\\banners\\bannerfile.txt"));
    EXPECT_EQ(ReadBytes(dir.file("velta.ini")),
              "[PROGRAM]\r\nHTMLPATH=C:\\web\r\nPATH=C:\\velta\r\n[BANNER]\r\nDATAFILE=C:\\web\\banners\\bannerfile.txt\r\n");
    EXPECT_EQ(ReadVeltaSetting("BANNER", "DATAFILE"), "C:\\web\\banners\\bannerfile.txt");
}

TEST(VeltaSettings, AMissingSettingsFolderReadsEmptyAndRefusesWrites) {
    TempDir dir;
    ScopedEnv windir("WINDIR", dir.file("nowhere"));
    EXPECT_EQ(ReadVeltaSetting("PROGRAM", "PATH"), "");
    EXPECT_FALSE(WriteVeltaSetting("BANNER", "LASTBROWSEDIR", "/x/"));
    EXPECT_FALSE(Exists(dir.file("nowhere")));
}

}  // namespace
