// A scan meets a full disk or a failed sync at each of its writes in turn, or finds a file system
// mounted in a dormant account's folder: what it deleted is whole and recorded, what it kept is
// whole enough to be found again, and the next scan ends as one that met no fault.
#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#endif

#include "dormix/scan/AuditLog.h"
#include "dormix/scan/ScanDormantAccounts.h"
#include "tests/reliability/FaultLoop.h"
#include "tests/scan/fixture/DormixInstallation.h"
#include "tests/scan/fixture/KeyFiles.h"
#include "tests/support/Portable.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace reliability {
namespace {

const std::time_t kNow = LocalTime(2024, 3, 15, 23);

struct Site {
    Site() {
        for (const char* user : {"ann", "bob"}) install.addAccount(user, LogonDaysBefore(kNow, 100));
        install.addAccount("carl", LogonDaysBefore(kNow, 3));
        install.writeKeyFiles({"ann", "bob", "carl"});
        install.writeTervoxUsers({"ann", "bob", "carl"});
    }
    bool scan() {
        boxes = ScriptedMessageBoxes();
        boxes.answers = {platform::Answer::Yes};
        return ScanDormantAccounts(30, install.paths(), boxes, kNow);
    }
    std::string audit() const { return ReadBytes(AuditLogPath(install.paths().installPath)); }
    TempDir dir;
    DormixInstallation install{dir.path().string()};
    ScopedEnv db{"ACCTKIT_DB", install.tervoxDb()};
    ScriptedMessageBoxes boxes;
};

TEST(BatchFault, AFaultAtAnyWriteOrSyncLeavesEveryAccountWholeOrRecordedAndTheNextScanFinishes) {
    int keysKept = 0, auditStops = 0;
    for (const fault::Step step : {fault::Step::Write, fault::Step::Flush}) {
        std::unique_ptr<Site> site;
        const int points = ForEachInjectedFailure(step, [&] { site = std::make_unique<Site>(); }, [&] { site->scan(); },
                                                  [&](const FaultRun& run) {
            SCOPED_TRACE(StepName(step) + " #" + std::to_string(run.n));
            const std::string audit = site->audit();
            int gone = 0;
            for (const char* user : {"ann", "bob"}) {  // what went is recorded; what stayed can be found again
                const std::string folder = site->install.folderOf(user);
                gone += !Exists(folder);
                const bool recorded = audit.find(std::string("\t") + user + "\t") != std::string::npos;
                EXPECT_TRUE(Exists(folder) ? Exists(folder + "/user.ini") : recorded) << user;
            }
            keysKept += site->install.log().find("key records could not be removed: ") != std::string::npos;
            if (site->boxes.texts().back() == "Unable to create file " + AuditLogPath(site->install.paths().installPath)) {
                ++auditStops;  // a line written but not synced: its account is still there
                if (step == fault::Step::Flush) {
                    EXPECT_EQ(std::count(audit.begin(), audit.end(), '\n'), 1 + gone);
                }
            }
            EXPECT_TRUE(site->scan());
            EXPECT_FALSE(Exists(site->install.folderOf("ann")) || Exists(site->install.folderOf("bob")));
            EXPECT_EQ(ReadKeyFile(site->install.userKeyPath()).size(), 1u);
            EXPECT_EQ(ReadKeyFile(site->install.userTimeKeyPath()), (std::vector<KeyEntry>{{UserTimeKeyOf("carl"), "carl"}}));
        });
        ReportPoints("scan of one batch", step, points);
    }
    EXPECT_GT(keysKept, 0);
    EXPECT_GT(auditStops, 0);
}

TEST(BatchFault, AFileSystemMountedInAnAccountIsNeverEntered) {
    SKIP_ON_WINDOWS("mount namespaces are Linux's; a volume mounted in a Windows folder is a reparse point");
#ifndef _WIN32
    Site site;
    const std::string share = site.install.folderOf("ann") + "/share";
    std::filesystem::create_directory(share);
    const int code = RunChildWithFileSizeLimit(RLIM_INFINITY, [&] {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("none", share.c_str(), "tmpfs", 0, nullptr) != 0)
            return 77;
        WriteBytes(share + "/shared.txt", "kept");
        const bool ran = site.scan();
        const std::vector<std::string> texts = site.boxes.texts();
        return ran && ReadBytes(share + "/shared.txt") == "kept" && texts.size() == 3 &&
                       texts[1] == "Successfully deleted 1 account(s)!" &&
                       texts[2] == "1 account(s) could not be deleted. The reasons are in " + site.install.paths().logPath &&
                       site.install.log() == "ann, could not be deleted: another file system is mounted in its folder \r\n"
                   ? 0 : 1;
    });
    if (code == 77) GTEST_SKIP() << "no mount namespace here";
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(Exists(site.install.folderOf("ann") + "/user.ini"));
    EXPECT_FALSE(Exists(site.install.folderOf("bob")));
    EXPECT_EQ(ReadKeyFile(site.install.userKeyPath()).size(), 2u);
#endif
}

}  // namespace
}  // namespace reliability
