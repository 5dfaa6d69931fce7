#include <functional>

#include <gtest/gtest.h>

#include "dormix/app/CDormixApp.h"
#include "platform/ProfileFile.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace {

TEST(CDormixApp, WithoutAnInstallationPathTheProgramEnds) {
    const std::pair<const char*, std::function<void(const std::string&)>> setups[] = {
        {"no VELTA.INI", [](const std::string&) {}},
        {"no section PROGRAM",
         [](const std::string& ini) { WriteBytes(ini, "[BANNER]\r\nPATH=/srv/velta\r\n"); }},
        {"no key PATH", [](const std::string& ini) { WriteBytes(ini, "[PROGRAM]\r\nHTMLPATH=/srv/web\r\n"); }},
        {"empty PATH", [](const std::string& ini) { WriteBytes(ini, "[PROGRAM]\r\nPATH=\r\n"); }},
    };
    for (const auto& [name, setup] : setups) {
        SCOPED_TRACE(name);
        TempDir windows;
        ScopedEnv env("WINDIR", windows.path().string());
        setup(windows.file("VELTA.INI"));
        ScriptedMessageBoxes boxes;
        CDormixApp app;
        EXPECT_FALSE(app.LoadSettings(boxes));
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, "Velta must be installed.");
        EXPECT_EQ(boxes.shown[0].caption, "");
        EXPECT_EQ(boxes.shown[0].buttons, platform::Buttons::Ok);
        EXPECT_EQ(app.userFolderPattern, "");
        EXPECT_EQ(app.logPath, "");
    }
}

TEST(CDormixApp, DerivesItsPathsFromTheInstallationPath) {
    const std::pair<const char*, std::pair<const char*, const char*>> cases[] = {
#ifdef _WIN32
        {"C:\\V", {"C:\\V\\user\\*.*", "C:\\V\\Log\\dormant.log"}},
        {"C:\\V\\", {"C:\\V\\\\user\\*.*", "C:\\V\\\\Log\\dormant.log"}},  // used unchanged
#else
        {"/srv/V", {"/srv/V/user/*.*", "/srv/V/Log/dormant.log"}},
        {"/srv/V/", {"/srv/V//user/*.*", "/srv/V//Log/dormant.log"}},  // used unchanged
#endif
    };
    for (const auto& [path, expected] : cases) {
        TempDir windows;
        ScopedEnv env("WINDIR", windows.path().string());
        ASSERT_TRUE(platform::WriteProfileString(windows.file("VELTA.INI"), "PROGRAM", "PATH", path));
        ScriptedMessageBoxes boxes;
        CDormixApp app;
        EXPECT_TRUE(app.LoadSettings(boxes));
        EXPECT_TRUE(boxes.shown.empty());
        EXPECT_EQ(app.installPath, path);
        EXPECT_EQ(app.userFolderPattern, expected.first);
        EXPECT_EQ(app.logPath, expected.second);
        EXPECT_EQ(app.paths().logPath, expected.second);
    }
}

}  // namespace
