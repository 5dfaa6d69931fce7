// A "VELTA.INI" edit under every injected failure and on a full disk: the old file stays whole,
// no temporary file stays beside it, and the edit says that it failed.
#include <gtest/gtest.h>

#include "common/VeltaSettings.h"
#include "tests/support/Portable.h"
#include "tests/reliability/FaultLoop.h"
#include "tests/reliability/FileTree.h"
#include "tests/support/TempDir.h"

namespace reliability {

namespace {

struct EditCase {
    const char* what;
    const char* before;  // nullptr: no settings file yet
    const char* after;
};

// Each shape of edit the writer makes: a value replaced, a key added to its section, a section
// added after a last line without line break, and the file created.
const EditCase kEdits[] = {
    {"value replaced", "[PROGRAM]\r\nHTMLPATH=C:\\web\r\n[BANNER]\r\nLASTBROWSEDIR = /old/ \r\n; kept\r\n",
     "[PROGRAM]\r\nHTMLPATH=C:\\web\r\n[BANNER]\r\nLASTBROWSEDIR = /new/ \r\n; kept\r\n"},
    {"key added", "[banner]\r\nDATAFILE=x.txt\r\n\r\n[PROGRAM]\r\nPATH=C:\\velta\r\n",
     "[banner]\r\nDATAFILE=x.txt\r\nLASTBROWSEDIR=/new/\r\n\r\n[PROGRAM]\r\nPATH=C:\\velta\r\n"},
    {"section added", "[PROGRAM]\r\nPATH=C:\\velta", "[PROGRAM]\r\nPATH=C:\\velta\r\n[BANNER]\r\nLASTBROWSEDIR=/new/\r\n"},
    {"file created", nullptr, "[BANNER]\r\nLASTBROWSEDIR=/new/\r\n"},
};

TEST(SettingsEditFaults, EveryFailureKeepsTheOldFileWhole) {
    for (const EditCase& c : kEdits) {
        TempDir dir;
        const ScopedEnv windir("WINDIR", dir.path().string());
        FileTree before, after;
        if (c.before) before["VELTA.INI"] = c.before;
        after["VELTA.INI"] = c.after;
        bool written = false;
        const auto prepare = [&] {
            std::filesystem::remove(dir.file("VELTA.INI"));
            if (c.before) WriteBytes(dir.file("VELTA.INI"), c.before);
        };
        const auto operate = [&] { written = WriteVeltaSetting("BANNER", "LASTBROWSEDIR", "/new/"); };
        const auto check = [&](const FaultRun& run) {
            const FileTree now = TreeOf(dir.path().string());
            const bool takesEffect = !run.fired || run.step == fault::Step::SyncDir;
            EXPECT_EQ(written, takesEffect) << c.what << ", " << StepName(run.step) << " #" << run.n;
            const FileTree& expected = takesEffect ? after : before;
            EXPECT_EQ(now, expected) << c.what << ", " << StepName(run.step) << " #" << run.n << "\n"
                                     << TreeDifference(expected, now);
        };
        for (fault::Step step : AllSteps()) {
            const int points = ForEachInjectedFailure(step, prepare, operate, check);
            ReportPoints(std::string("settings edit, ") + c.what, step, points);
            EXPECT_GE(points, 1) << c.what << ", " << StepName(step) << " never reached";
        }
    }
}

// A real full disk: a settings file far larger than the child may write.
TEST(SettingsEditFaults, AFullDiskKeepsTheOldFile) {
    SKIP_ON_WINDOWS("a full disk is made with fork and RLIMIT_FSIZE, which Windows does not have");
    TempDir dir;
    const ScopedEnv windir("WINDIR", dir.path().string());
    std::string big = "[PROGRAM]\r\nHTMLPATH=C:\\web\r\n[MAILBOXES]\r\n";
    for (int i = 0; i < 4000; ++i) big += "BOX" + std::to_string(i) + "=C:\\velta\\mail\\box" + std::to_string(i) + "\r\n";
    big += "[BANNER]\r\nLASTBROWSEDIR=/old/\r\n";
    WriteBytes(dir.file("VELTA.INI"), big);
    const auto edit = [] { return WriteVeltaSetting("BANNER", "LASTBROWSEDIR", "/new/") ? 0 : 1; };

    EXPECT_EQ(RunChildWithFileSizeLimit(16 * 1024, edit), 1) << "the edit did not fail on the full disk";
    EXPECT_EQ(ReadBytes(dir.file("VELTA.INI")), big);
    EXPECT_EQ(ListNames(dir.path().string()), std::vector<std::string>{"VELTA.INI"});

    // With room enough the same child succeeds: the failure above was the limit's doing.
    EXPECT_EQ(RunChildWithFileSizeLimit(4 << 20, edit), 0);
    EXPECT_EQ(ReadBytes(dir.file("VELTA.INI")), big.substr(0, big.size() - 7) + "/new/\r\n");
}

}  // namespace

}  // namespace reliability
