// Behaviour that deliberate faults put into the code showed no other test holds.
#include <filesystem>

#include <gtest/gtest.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "dormix/scan/LastLogon.h"
#include "platform/FaultInjection.h"
#include "platform/FileOps.h"
#include "platform/ProfileFile.h"
#include "platform/SafeWrite.h"
#include "tests/support/Portable.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;
namespace fault = platform::fault;

namespace {

TEST(BehaviourPins, SafeWritesSyncTheFileAndTheFolderThroughTheSeam) {
    TempDir dir;
    const std::pair<fault::Step, bool> cases[] = {{fault::Step::Flush, false}, {fault::Step::SyncDir, true}};
    for (const auto& [step, saved] : cases) {
        fault::FailAt(step, 1);
        EXPECT_EQ(platform::WriteFileAtomically(dir.file("f.txt"), "new") == 0, saved);
        EXPECT_TRUE(fault::Fired()) << "the sync was not made";
        fault::Reset();
    }
}

TEST(BehaviourPins, ASettingIsNeverWrittenIntoAFileThatCannotBeRead) {
    SKIP_ON_WINDOWS("named pipes and permission bits are POSIX; Windows has neither in its file system");
#ifndef _WIN32
    TempDir dir;
    const std::string fifo = dir.file("fifo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(platform::WriteProfileString(fifo, "PROGRAM", "PATH", "/x"));
    EXPECT_TRUE(fs::is_fifo(fifo));
    const std::string writeOnly = dir.file("write-only.ini");
    WriteBytes(writeOnly, "[PROGRAM]\r\nPATH=/old\r\n");
    fs::permissions(writeOnly, fs::perms::owner_write);
    EXPECT_EQ(platform::WriteProfileString(writeOnly, "PROGRAM", "PATH", "/x"), ::geteuid() == 0);  // root reads all
#endif
}

TEST(BehaviourPins, ALinkToAReadOnlyFileIsDeletedAsALink) {
    SKIP_ON_WINDOWS("symbolic links: Wine cannot make them, and Windows makes them only with a privilege");
    TempDir dir;
    WriteBytes(dir.file("target"), "kept");
    fs::permissions(dir.file("target"), fs::perms::owner_read);
    fs::create_symlink(dir.file("target"), dir.file("link"));
    EXPECT_EQ(platform::DeleteFile(dir.file("link")), 0);
    EXPECT_FALSE(fs::is_symlink(dir.file("link")));
    EXPECT_EQ(ReadBytes(dir.file("target")), "kept");
}

TEST(BehaviourPins, ASectionLineWithoutItsBracketEndsAtTheNextSection) {
    TempDir dir;
    const std::string ini = dir.file("VELTA.INI");
    WriteBytes(ini, "[PROGRAM\r\nPATH=/srv/velta\r\n[BANNER]\r\nHTMLPATH=/srv/web\r\n");
    EXPECT_EQ(platform::ReadProfileString(ini, "PROGRAM", "PATH"), "/srv/velta");
    EXPECT_EQ(platform::ReadProfileString(ini, "PROGRAM", "HTMLPATH"), "");
    EXPECT_EQ(platform::ReadProfileString(ini, "BANNER", "HTMLPATH"), "/srv/web");
}

TEST(BehaviourPins, ALastLogonIn1970IsARealDate) {
    const LastLogon logon = ReadLastLogon("1970/1/5");
    EXPECT_EQ(logon.reading, LogonReading::Date);
    EXPECT_GT(logon.then, 0);
}

}  // namespace
