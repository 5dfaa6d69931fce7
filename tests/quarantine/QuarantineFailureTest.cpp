// A quarantine or a restore that meets a failure at any of its steps keeps its word: an account
// told quarantined has no key record left, one told restored has them all back and the day of its
// restore as its last logon; any other account is whole where it was, or finished by the next
// run. What the quarantine makes is no more open than the account folders; the dry run refuses the
// quarantine that the deleting run refuses.
#include <algorithm>
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "dormix/scan/Preflight.h"
#include "dormix/scan/ScanDormantAccounts.h"
#include "platform/FileOps.h"
#include "tests/quarantine/QuarantineSite.h"
#include "tests/reliability/FaultLoop.h"
#include "tests/scan/fixture/KeyFiles.h"
#include "tests/support/ScriptedMessageBoxes.h"

namespace fs = std::filesystem;

namespace reliability {
namespace {

const std::time_t kNow = LocalTime(2024, 3, 15, 12);
const std::time_t kLater = LocalTime(2024, 3, 20, 12);

bool Holds(const std::string& keyFile, const std::string& key) {
    const std::vector<KeyEntry> entries = ReadKeyFile(keyFile);
    return std::any_of(entries.begin(), entries.end(), [&](const KeyEntry& e) { return e.first == key; });
}

// How many of the user's two key records the files hold.
int RecordsOf(const QuarantineSite& s, const std::string& user) {
    return Holds(s.site.userKeyPath(), UserKeyOf(user)) + Holds(s.site.userTimeKeyPath(), UserTimeKeyOf(user));
}

void UseGraceDays(const TempDir& dir, const char* days) {
    const std::string windir = dir.file("windows");
    fs::create_directories(windir);
    WriteBytes(windir + "/VELTA.INI", std::string("[DORMIX]\r\nGRACEDAYS=") + days + "\r\n");
}

}  // namespace

TEST(QuarantineFailure, AFailureAtAnyStepLeavesNoAccountHalfQuarantined) {
    int failures = 0;
    for (const fault::Step step : {fault::Step::Write, fault::Step::Rename, fault::Step::OpenRead, fault::Step::Read}) {
        std::unique_ptr<QuarantineSite> s;
        QuarantineRun run;
        const auto prepare = [&] {
            s.reset();
            s = std::make_unique<QuarantineSite>();
            PrepareQuarantine(s->install());
        };
        failures += ForEachInjectedFailure(step, prepare, [&] { run = s->quarantine({"ann", "bob"}, kNow); },
                                           [&](const FaultRun& f) {
            const std::string at = StepName(step) + " #" + std::to_string(f.n) + " ";
            for (std::size_t i = 0; i < run.accounts.size(); ++i) {
                const std::string user = i == 0 ? "ann" : "bob";
                const QuarantineOutcome& outcome = run.accounts[i];
                if (outcome.quarantined) EXPECT_EQ(RecordsOf(*s, user), 0) << at << user;
                else EXPECT_TRUE(run.stopped || !outcome.reason.empty() || outcome.keysLeft != KeysLeft::None) << at << user;
            }
            // The next run finishes or leaves each account: whole in its place, or whole in quarantine.
            ASSERT_TRUE(SettleQuarantine(s->install(), s->events, kNow)) << at;
            const std::vector<QuarantineEntry> kept = ListQuarantine(s->install());
            for (const char* user : {"ann", "bob"}) {
                const auto entry = std::find_if(kept.begin(), kept.end(), [&](const QuarantineEntry& e) { return e.userName == user; });
                if (platform::IsDirectory(s->site.folderOf(user))) {
                    EXPECT_EQ(RecordsOf(*s, user), 2) << at << user;
                    EXPECT_EQ(entry, kept.end()) << at << user;
                } else {
                    EXPECT_EQ(RecordsOf(*s, user), 0) << at << user;
                    ASSERT_NE(entry, kept.end()) << at << user;
                    EXPECT_TRUE(entry->userRecord && entry->timeRecord) << at << user;  // so that it can come back
                }
            }
        });
    }
    EXPECT_GT(failures, 10);

    // The folders are made durable in their new place before the first key record goes.
    QuarantineSite s;
    PrepareQuarantine(s.install());
    fault::FailAt(fault::Step::SyncDir, 1);  // the first sync is seen through Fired()
    int replacedUnsynced = 0;
    fault::BeforeReplace([&] { replacedUnsynced += !platform::PathExists(s.site.folderOf("ann")) && !fault::Fired(); }, 100);
    EXPECT_TRUE(s.quarantine({"ann"}, kNow).accounts.at(0).quarantined);
    fault::Reset();
    EXPECT_EQ(replacedUnsynced, 0);

    // "USERTIME.KEY" cannot be read once the folder moved: the entry keeps the record to remove.
    QuarantineSite u;
    PrepareQuarantine(u.install());
    const std::string timeFile = u.site.userTimeKeyPath();
    const std::string timeBytes = ReadBytes(timeFile);
    fault::BeforeReplace([&] {
        if (platform::PathExists(u.site.folderOf("ann")) || fs::is_directory(timeFile)) return;
        fs::remove(timeFile);
        fs::create_directory(timeFile);
    }, 100);
    EXPECT_FALSE(u.quarantine({"ann"}, kNow).accounts.at(0).quarantined);
    fault::Reset();
    fs::remove(timeFile);
    WriteBytes(timeFile, timeBytes);
    ASSERT_TRUE(SettleQuarantine(u.install(), u.events, kNow));
    EXPECT_EQ(RecordsOf(u, "ann"), 0);
    ASSERT_EQ(ListQuarantine(u.install()).size(), 1u);
    EXPECT_TRUE(ListQuarantine(u.install())[0].timeRecord);
}

// GRACEDAYS=30: a key file that keeps changing keeps the account out of the count with its
// dormant.log line; left whole in its place while "USER.KEY" keeps its record, else finished from
// its entry by the next run.
TEST(QuarantineFailure, AnAccountWhoseKeyRecordsStayIsNotCountedButLogged) {
    for (const auto& [changing, inPlace] : {std::pair{"USER.KEY", true}, std::pair{"USERTIME.KEY", false}}) {
        QuarantineSite s;
        s.site.addAccount("cleo", "2024/3/14");  // in use: the key files keep her records
        UseGraceDays(s.dir, "30");
        const ScopedEnv settings("WINDIR", s.dir.file("windows"));
        const std::string file = s.site.userFolder() + "/" + changing;
        int touch = 0;
        fault::BeforeReplace([&] { fs::last_write_time(file, fs::file_time_type::clock::now() + std::chrono::seconds(++touch)); },
                             100000);
        ScriptedMessageBoxes boxes;
        boxes.answers = {platform::Answer::No};
        const ScanReport report = ScanDormantAccounts(30, s.site.paths(), boxes, kNow);
        fault::Reset();
        EXPECT_TRUE(report.deleted.empty()) << changing;
        EXPECT_EQ(report.notDeleted.size(), kSiteUsers.size() - 1) << changing;  // the run exits 1
        EXPECT_NE(s.site.log().find("ann, key records could not be removed: the file kept changing \r\n"), std::string::npos)
            << changing << "\n" << s.site.log();
        EXPECT_EQ(platform::IsDirectory(s.site.folderOf("ann")), inPlace) << changing;
        EXPECT_EQ(RecordsOf(s, "ann"), inPlace ? 2 : 1) << changing;

        boxes.answers = {platform::Answer::No};
        EXPECT_TRUE(ScanDormantAccounts(30, s.site.paths(), boxes, kLater).ranThrough()) << changing;
        EXPECT_EQ(RecordsOf(s, "ann"), 0) << changing;
        const std::vector<QuarantineEntry> kept = ListQuarantine(s.install());
        const auto ann = std::find_if(kept.begin(), kept.end(), [](const QuarantineEntry& e) { return e.userName == "ann"; });
        ASSERT_NE(ann, kept.end()) << changing;
        EXPECT_TRUE(ann->userRecord && ann->timeRecord) << changing;
    }
}

TEST(QuarantineFailure, ARestoreIsToldOnlyWhenEveryStepWasTaken) {
    // Quarantined twice, the latest comes back, though the quarantine folder is spelt otherwise.
    {
        QuarantineSite s;
        s.quarantine({"ann"}, kNow);
        s.site.addAccount("ann", "2021/1/1");
        WriteBytes(s.site.folderOf("ann") + "/second.txt", "2");
        s.site.writeKeyFiles(kSiteUsers);
        s.quarantine({"ann"}, kLater);
        fs::rename(s.install() + "/Quarantine", s.install() + "/QUARANTINE");
        const RestoreResult got = RestoreAccount(s.install(), "ann", s.events, kLater);
        EXPECT_TRUE(got.restored) << got.reason;
        EXPECT_EQ(ReadBytes(s.site.folderOf("ann") + "/second.txt"), "2");
        EXPECT_NE(ReadBytes(s.site.folderOf("ann") + "/user.ini").find("LASTLOGON=2024/03/20"), std::string::npos);
        EXPECT_EQ(RecordsOf(s, "ann"), 2);
        ASSERT_EQ(ListQuarantine(s.install()).size(), 1u);
        EXPECT_EQ(ListQuarantine(s.install())[0].day, "2024-03-15");
    }
    // Any failing step: restored whole, or not restored and nothing changed. At no moment does
    // "USER.KEY" name a record that "USERTIME.KEY" lacks.
    int failures = 0;
    for (const fault::Step step :
         {fault::Step::Write, fault::Step::Flush, fault::Step::Rename, fault::Step::OpenRead, fault::Step::Read}) {
        std::unique_ptr<QuarantineSite> s;
        FileTree before;
        RestoreResult got;
        int halfLinked = 0;
        const auto prepare = [&] {
            s.reset();
            s = std::make_unique<QuarantineSite>();
            s->quarantine({"ann", "bob"}, kNow);
            before = s->files();
        };
        const auto restore = [&] {
            fault::BeforeReplace([&] { halfLinked += Holds(s->site.userKeyPath(), UserKeyOf("ann")) && !Holds(s->site.userTimeKeyPath(), UserTimeKeyOf("ann")); }, 100);
            got = RestoreAccount(s->install(), "ann", s->events, kLater);
        };
        failures += ForEachInjectedFailure(step, prepare, restore, [&](const FaultRun& f) {
            const std::string at = StepName(step) + " #" + std::to_string(f.n);
            EXPECT_EQ(halfLinked, 0) << at;
            if (!got.restored) {
                EXPECT_FALSE(got.reason.empty()) << at;
                EXPECT_EQ(TreeDifference(before, s->files()), "") << at;
                return;
            }
            EXPECT_EQ(RecordsOf(*s, "ann"), 2) << at;
            EXPECT_NE(ReadBytes(s->site.folderOf("ann") + "/user.ini").find("LASTLOGON=2024/03/20"), std::string::npos) << at;
        });
    }
    EXPECT_GT(failures, 10);
}

// Owner and mode: PATH/user is 0750 and belongs to the web-mail product's user, who must go on
// writing the key files that a restore makes anew after they went with their last record.
TEST(QuarantineFailure, WhatTheQuarantineMakesIsTheAccountFoldersOwnersAndNoWider) {
    SKIP_ON_WINDOWS("owners and permission bits are POSIX's; Windows folders inherit their protection");
#ifndef _WIN32
    if (::geteuid() != 0) GTEST_SKIP() << "only an administrator gives files another owner";
    QuarantineSite s;
    s.site.writeKeyFiles({"ann"});
    const std::string users = s.site.userFolder();
    ASSERT_EQ(::chown(users.c_str(), 4321, 4322), 0);
    ASSERT_EQ(::chmod(users.c_str(), 0750), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const auto expectLike = [&](const std::string& path, mode_t mode) {
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0) << path;
        EXPECT_EQ(st.st_uid, 4321u) << path;
        EXPECT_EQ(st.st_gid, 4322u) << path;
        EXPECT_EQ(st.st_mode & 07777, mode) << path;
    };
    ASSERT_TRUE(s.quarantine({"ann"}, kNow).accounts.at(0).quarantined);
    ASSERT_FALSE(Exists(s.site.userKeyPath()));
    const std::string day = s.install() + "/Quarantine/2024-03-15";
    expectLike(s.install() + "/Quarantine", 0750);
    expectLike(day, 0750);
    expectLike(day + "/" + HexFolderName("ann") + ".keys", 0666 & ~mask & 0750);
    ASSERT_TRUE(RestoreAccount(s.install(), "ann", s.events, kNow).restored);
    expectLike(s.site.userKeyPath(), 0666 & ~mask & 0750);
    expectLike(s.site.userTimeKeyPath(), 0666 & ~mask & 0750);
#endif
}

TEST(QuarantineFailure, TheDryRunRefusesTheQuarantineThatTheDeletingRunRefuses) {
    struct Case {
        const char* what;
        std::function<bool(QuarantineSite&)> arrange;  // false: not possible here
    };
    const std::vector<Case> cases = {
        {"a plain file in its place", [](QuarantineSite& s) { WriteBytes(s.install() + "/Quarantine", "x"); return true; }},
        {"a link in its place", [](QuarantineSite& s) {
             fs::create_directory(s.dir.file("elsewhere"));
             std::error_code e;
             fs::create_directory_symlink(s.dir.file("elsewhere"), s.install() + "/Quarantine", e);
             return !e;
         }},
#ifndef _WIN32
        // Same file system, another mount: a rename cannot reach it.
        {"a folder of the same file system bound in its place", [](QuarantineSite& s) {
             fs::create_directory(s.dir.file("elsewhere"));
             fs::create_directory(s.install() + "/Quarantine");
             return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                    ::mount(s.dir.file("elsewhere").c_str(), (s.install() + "/Quarantine").c_str(), nullptr, MS_BIND,
                            nullptr) == 0;
         }},
#endif
    };
    for (const Case& c : cases) {
        QuarantineSite s;
        UseGraceDays(s.dir, "30");
        const ScopedEnv settings("WINDIR", s.dir.file("windows"));
        if (!c.arrange(s)) continue;
        const std::vector<std::string> problems = DeletionPreflight(s.site.paths(), false);
        ScriptedMessageBoxes boxes;
        boxes.answers = {platform::Answer::No};
        const ScanReport report = ScanDormantAccounts(30, s.site.paths(), boxes, kNow);
        EXPECT_EQ(report.end, ScanEnd::Refused) << c.what;
        EXPECT_NE(std::find(problems.begin(), problems.end(), report.problem), problems.end()) << c.what << ": " << report.problem;
#ifndef _WIN32
        ::umount2((s.install() + "/Quarantine").c_str(), MNT_DETACH);  // where one was made
#endif
    }
}

}  // namespace reliability
