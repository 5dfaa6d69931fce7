// A scan of three batches is killed at every pass of the fault seam, or meets a full disk or a
// failed sync at each of its writes in turn; the same scan run again must end exactly where one
// uninterrupted scan ends. And a file system mounted in an account is never entered.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#endif

#include "dormix/scan/AuditLog.h"
#include "dormix/scan/ScanDormantAccounts.h"
#include "dormix/scan/ScanReport.h"
#include "platform/FileOps.h"
#include "tests/reliability/FaultLoop.h"
#include "tests/reliability/FileTree.h"
#include "tests/scan/fixture/DormixInstallation.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/Portable.h"
#include "tests/support/TempDir.h"

namespace reliability {
namespace {

const std::time_t kNow = LocalTime(2024, 3, 15, 23);
const std::vector<std::string> kUsers = {"ann", "bob", "cleo", "dan", "eve", "fay", "gus", "hal", "ivy"};

bool IsDormant(const std::string& user) { return user != "bob" && user != "fay" && user != "ivy"; }

// Six dormant accounts (three batches of two), two active ones and one without "user.ini".
struct Site {
    Site() {
        for (const std::string& user : kUsers) {
            if (user == "ivy") install.addAccount(user, std::nullopt);
            else install.addAccount(user, LogonDaysBefore(kNow, IsDormant(user) ? 100 : 3));
        }
        install.writeKeyFiles(kUsers);
        install.writeTervoxUsers(kUsers);
    }
    bool scan() {
        boxes = ScriptedMessageBoxes();
        boxes.answers = {platform::Answer::Yes};
        const ScanReport report = ScanDormantAccounts(30, install.paths(), boxes, kNow, nullptr, 2);
        ShowScanReport(report, boxes);  // as the dialog does
        return report.ranThrough();
    }
    // Every file but the record of deletions (it holds the time of each) and the user database
    // (it holds this site's paths), which are compared by the users they name.
    FileTree files() const {
        FileTree tree = TreeOf(dir.path().string());
        std::erase_if(tree, [](const auto& entry) {
            return entry.first.ends_with("deleted.log") || entry.first.ends_with("users.db") || IsTemporaryName(entry.first);
        });
        return tree;
    }
    std::set<std::string> recorded() const {
        std::set<std::string> users;
        for (const std::string& user : kUsers)
            if (ReadBytes(AuditLogPath(install.paths().installPath)).find("\t" + user + "\t") != std::string::npos) users.insert(user);
        return users;
    }
    std::vector<std::string> tervoxUsers() const {
        std::vector<std::string> names;
        for (const TervoxUser& user : ReadUserDb(install.tervoxDb())) names.push_back(user.name);
        return names;
    }
    TempDir dir;
    DormixInstallation install{dir.path().string()};
    ScopedEnv db{"ACCTKIT_DB", install.tervoxDb()};
    ScriptedMessageBoxes boxes;
};

struct Ending {
    FileTree files;
    std::vector<std::string> users;
};

// Where one uninterrupted scan of the site ends.
const Ending& Uninterrupted() {
    static const Ending ending = [] {
        Site reference;
        EXPECT_TRUE(reference.scan());
        EXPECT_EQ(reference.recorded(), (std::set<std::string>{"ann", "cleo", "dan", "eve", "gus", "hal"}));
        return Ending{reference.files(), reference.tervoxUsers()};
    }();
    return ending;
}

TEST(ScanKill, ARerunAfterAKillAtAnyStepEndsAsOneUninterruptedScan) {
    SKIP_ON_WINDOWS("a kill at every step runs the operation in a forked child, and Windows has no fork");
    const FileTree& expected = Uninterrupted().files;
    const std::vector<std::string>& expectedUsers = Uninterrupted().users;
    int kills = 0, leftovers = 0;
    for (int n = 1; n < 1000; ++n) {
        Site site;
        const ChildEnd end = RunChildKilledAt(n, [&] { site.scan(); });
        ASSERT_NE(end, ChildEnd::Other) << "#" << n;
        platform::DeleteFile(site.install.paths().logPath);  // as the dialog does when it opens
        EXPECT_TRUE(site.scan()) << "#" << n;

        EXPECT_EQ(TreeDifference(expected, site.files()), "") << "#" << n;
        EXPECT_EQ(site.tervoxUsers(), expectedUsers) << "#" << n;
        EXPECT_EQ(site.recorded(), (std::set<std::string>{"ann", "cleo", "dan", "eve", "gus", "hal"})) << "#" << n;
        if (end == ChildEnd::Completed) break;
        ++kills;
        for (const auto& entry : TreeOf(site.dir.path().string())) leftovers += IsTemporaryName(entry.first);
    }
    EXPECT_GT(kills, 30);
    std::printf("[ kills    ] scan of three batches: %d kill points, %d temporary files left\n", kills, leftovers);
}

// What went is recorded; what stayed keeps "user.ini" (a key file that could not be rewritten
// keeps its accounts, with a log line); a failed sync of a record line stops the scan before its
// account goes.
TEST(ScanKill, ARerunAfterAFaultAtAnyWriteOrSyncEndsAsOneUninterruptedScan) {
    int keysKept = 0, auditStops = 0;
    for (const fault::Step step : {fault::Step::Write, fault::Step::Flush}) {
        std::unique_ptr<Site> site;
        const auto check = [&](const FaultRun& run) {
            SCOPED_TRACE(StepName(step) + " #" + std::to_string(run.n));
            const std::set<std::string> recorded = site->recorded();
            int gone = 0;
            for (const std::string& user : kUsers) {
                if (!IsDormant(user)) continue;
                const std::string folder = site->install.folderOf(user);
                gone += !Exists(folder);
                EXPECT_TRUE(Exists(folder) ? Exists(folder + "/user.ini") : recorded.count(user) == 1) << user;
            }
            keysKept += site->install.log().find("key records could not be removed: ") != std::string::npos;
            const std::vector<std::string> texts = site->boxes.texts();
            if (std::count(texts.begin(), texts.end(),
                           "Unable to create file " + AuditLogPath(site->install.paths().installPath)) > 0) {
                ++auditStops;
                if (step == fault::Step::Flush) {
                    EXPECT_EQ(static_cast<int>(recorded.size()), gone + 1);
                }
            }
            platform::DeleteFile(site->install.paths().logPath);
            EXPECT_TRUE(site->scan());
            EXPECT_EQ(TreeDifference(Uninterrupted().files, site->files()), "");
            EXPECT_EQ(site->tervoxUsers(), Uninterrupted().users);
        };
        const auto prepare = [&] {
            site.reset();  // its database setting goes before the next site sets its own
            site = std::make_unique<Site>();
        };
        const int points = ForEachInjectedFailure(step, prepare, [&] { site->scan(); }, check);
        ReportPoints("scan of three batches", step, points);
    }
    EXPECT_GT(keysKept, 0);
    EXPECT_GT(auditStops, 0);
}

// Whatever is mounted in an account, or in its place, is left as it is by a deletion and by a
// purge of the quarantine (GRACEDAYS=30, purged by a run 40 days later): the account is kept with
// the log reason of another file system. A bind mount of the same file system shows no other device.
TEST(ScanKill, NothingMountedInAnAccountIsEverEntered) {
    SKIP_ON_WINDOWS("mount namespaces are Linux's; a volume mounted in a Windows folder is a reparse point");
#ifndef _WIN32
    struct Case {
        const char* what;
        bool grace;
        // Mounts into ann's folder what holds "shared.txt"; where that file is seen from outside
        // the account (empty when nothing could be mounted).
        std::function<std::string(Site&, const std::string& outside)> mount;
    };
    const auto bindFolder = [](Site& site, const std::string& outside) {
        const std::string share = site.install.folderOf("ann") + "/share";
        std::filesystem::create_directory(share);
        return ::mount(outside.c_str(), share.c_str(), nullptr, MS_BIND, nullptr) == 0 ? outside + "/shared.txt" : "";
    };
    const std::vector<Case> cases = {
        {"another file system", false, [](Site& site, const std::string&) {
             const std::string share = site.install.folderOf("ann") + "/share";
             std::filesystem::create_directory(share);
             if (::mount("none", share.c_str(), "tmpfs", 0, nullptr) != 0) return std::string();
             WriteBytes(share + "/shared.txt", "kept");
             return share + "/shared.txt";
         }},
        {"a bound folder of the same file system", false, bindFolder},
        {"a bound folder, purged from the quarantine", true, bindFolder},
        {"a bound file", false, [](Site& site, const std::string& outside) {
             const std::string bound = site.install.folderOf("ann") + "/bound.txt";
             WriteBytes(bound, "");
             return ::mount((outside + "/shared.txt").c_str(), bound.c_str(), nullptr, MS_BIND, nullptr) == 0
                        ? outside + "/shared.txt"
                        : "";
         }},
        {"the account folder bound in its place", false, [](Site& site, const std::string& outside) {
             std::filesystem::copy_file(site.install.folderOf("ann") + "/user.ini", outside + "/user.ini");
             const std::string folder = site.install.folderOf("ann");
             return ::mount(outside.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 ? outside + "/shared.txt" : "";
         }},
    };
    for (const Case& c : cases) {
        Site site;
        const std::string outside = site.dir.file("outside");
        std::filesystem::create_directory(outside);
        WriteBytes(outside + "/shared.txt", "kept");
        const std::string windir = site.dir.file("windows");
        std::filesystem::create_directory(windir);
        WriteBytes(windir + "/VELTA.INI", c.grace ? "[DORMIX]\r\nGRACEDAYS=30\r\n" : "");
        const ScopedEnv settings("WINDIR", windir);
        const int code = RunChildWithFileSizeLimit(RLIM_INFINITY, [&] {
            if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return 77;
            const std::string shared = c.mount(site, outside);
            if (shared.empty()) return 77;
            site.scan();
            if (c.grace) {
                ScriptedMessageBoxes boxes;  // the purge follows the answer: ann's stays, told as not purged
                boxes.answers = {platform::Answer::No};
                if (ScanDormantAccounts(30, site.install.paths(), boxes, kNow + 40 * 86400).quarantine.notPurged.size() != 1) return 2;
            }
            return ReadBytes(shared) == "kept" ? 0 : 1;
        });
        if (code == 77) GTEST_SKIP() << "no mount namespace or bind mount here";
        EXPECT_EQ(code, 0) << c.what;
        EXPECT_EQ(ReadBytes(outside + "/shared.txt"), "kept") << c.what;
        if (!c.grace) {
            EXPECT_NE(site.install.log().find("ann, could not be deleted: another file system is mounted in its folder \r\n"),
                      std::string::npos) << c.what << "\n" << site.install.log();
        }
    }
#endif
}

}  // namespace
}  // namespace reliability
