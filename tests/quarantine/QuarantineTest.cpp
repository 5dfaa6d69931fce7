// Accounts go into quarantine whole, come back byte for byte, are refused back when their name is
// in use again, and are purged once their grace period is over.
#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <limits>
#include <sstream>

#include <gtest/gtest.h>

#include "common/LineEscape.h"
#include "dormix/keyindex/FindUserKeyRecords.h"
#include "dormix/quarantine/GraceDays.h"
#include "dormix/quarantine/QuarantineEntry.h"
#include "dormix/scan/AuditLog.h"
#include "dormix/scan/GracePeriod.h"
#include "dormix/scan/ScanDormantAccounts.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "platform/Volume.h"
#include "tests/quarantine/QuarantineSite.h"
#include "tests/scan/fixture/KeyFiles.h"
#include "tests/support/ScriptedMessageBoxes.h"

namespace fs = std::filesystem;

namespace {

const std::time_t kNow = LocalTime(2024, 3, 15, 12);

}  // namespace

TEST(Quarantine, AccountsGoInWholeComeBackByteForByteAndArePurgedWhenTheirPeriodIsOver) {
    QuarantineSite expected, s;  // expected: the site without the purged accounts (s's user database is the one in use)
    ASSERT_EQ(PrepareQuarantine(s.install()), "");
    ASSERT_EQ(PrepareQuarantine(expected.install()), "");
    fs::remove_all(expected.site.folderOf("dan"));
    fs::remove(expected.site.tervoxFile("dan"));
    expected.site.writeKeyFiles({"ann", "bob", "cleo", "eve"});

    EXPECT_EQ(s.quarantine({"ann", "bob", "dan"}, kNow).accounts.size(), 3u);
    EXPECT_EQ(s.quarantine({"eve"}, kNow, false).accounts.size(), 1u);
    EXPECT_FALSE(platform::PathExists(s.site.folderOf("ann")));
    EXPECT_TRUE(platform::IsDirectory(s.install() + "/Quarantine/2024-03-15/" + HexFolderName("ann")));
    EXPECT_EQ(ReadKeyFile(s.site.userKeyPath()), (std::vector<KeyEntry>{{UserKeyOf("cleo"), UserTimeKeyOf("cleo")}}));
    const std::vector<QuarantineEntry> listed = ListQuarantine(s.install());
    ASSERT_EQ(listed.size(), 4u);
    for (const QuarantineEntry& entry : listed) EXPECT_TRUE(entry.userRecord && entry.timeRecord) << entry.userName;

    EXPECT_TRUE(RestoreAccount(s.install(), "ANN", s.events, kNow).restored);
    EXPECT_TRUE(RestoreAccount(s.install(), "bob", s.events, kNow).restored);
    EXPECT_EQ(RestoreAccount(s.install(), "bob", s.events, kNow).reason, "bob is not in quarantine.");
    EXPECT_TRUE(ExpiredEntries(ListQuarantine(s.install()), 30, LocalTime(2024, 4, 13, 23)).empty());
    const std::string day = s.install() + "/Quarantine/2024-03-15";
    WriteBytes(day + "/.tmpAb12Cd", "dan's ent");  // what a write killed half-way leaves
    const PurgeRun purge = PurgeEntries(s.install(), ExpiredEntries(ListQuarantine(s.install()), 30, LocalTime(2024, 4, 14)), s.events);
    EXPECT_EQ(purge.purged.size(), 2u);
    EXPECT_TRUE(purge.failed.empty());
    EXPECT_TRUE(SettleQuarantine(s.install(), s.events, kNow));
    EXPECT_FALSE(platform::PathExists(day));

    // eve's user is kept, as her run was answered No; the rest is as if ann and bob never left,
    // but for their last logon: the day of the restore.
    std::filesystem::remove_all(expected.site.folderOf("eve"));
    for (const char* user : {"ann", "bob"}) expected.site.addAccount(user, "2024/03/15");
    expected.site.writeKeyFiles({"ann", "bob", "cleo"});
    EXPECT_EQ(reliability::TreeDifference(expected.files(), s.files()), "");
    EXPECT_EQ(s.tervoxUsers(), (std::vector<std::string>{"ann", "bob", "cleo", "eve"}));
    EXPECT_EQ(s.recorded(), (std::set<std::string>{"quarantined ann", "quarantined bob", "quarantined dan", "quarantined eve",
                                                   "restored ann", "restored bob", "purged dan", "purged eve"}));
}

TEST(Quarantine, ARestoreIsRefusedWithItsReasonAndNothingChangedWhenTheNameIsInUseAgain) {
    struct Case {
        const char* what;
        std::function<void(QuarantineSite&)> arrange;
        const char* reason;
        const char* name = "ann";
    };
    const std::vector<Case> cases = {
        {"a folder of that name", [](QuarantineSite& s) { s.site.addAccount("ann", "2024/3/14"); }, "exists again"},
        {"a USER.KEY record", [](QuarantineSite& s) { WriteKeyFile(s.site.userKeyPath(), {{UserKeyOf("ann"), "new"}}); },
         "USER.KEY holds a record"},
        {"a USERTIME.KEY record", [](QuarantineSite& s) {
             WriteKeyFile(s.site.userTimeKeyPath(), {{UserTimeKeyOf("ann"), "new"}, {UserTimeKeyOf("cleo"), "x"}});
         }, "USERTIME.KEY holds a record"},
        {"no such account", [](QuarantineSite&) {}, "is not in quarantine", "zed"},
    };
    for (const Case& c : cases) {
        QuarantineSite s;
        s.quarantine({"ann", "bob"}, kNow);
        c.arrange(s);
        const auto before = s.files();
        const RestoreResult got = RestoreAccount(s.install(), c.name, s.events, kNow);
        EXPECT_NE(got.reason.find(c.reason), std::string::npos) << c.what << ": " << got.reason;
        EXPECT_EQ(reliability::TreeDifference(before, s.files()), "") << c.what;
    }
}

TEST(Quarantine, TheSettingAndTheFileSystemAreCheckedBeforeAnything) {
    for (const auto& [text, days] : std::vector<std::pair<std::string, std::optional<int>>>{
             {"", 0}, {"0", 0}, {" 14 ", 14}, {"30d", std::nullopt}, {"-5", std::nullopt}, {"1,000", std::nullopt}, {"+3", std::nullopt}})
        EXPECT_EQ(ParseGraceDays(text), days) << text;
    {
        // An entry file holding a period past the setting's bound is believed in nothing: not purged.
        QuarantineSite s;
        s.quarantine({"ann"}, kNow);
        QuarantineEntry entry = ListQuarantine(s.install()).at(0);
        entry.graceDays = std::numeric_limits<int>::max();
        WriteEntryFile(s.install(), entry);
        EXPECT_TRUE(ExpiredEntries(ListQuarantine(s.install()), 30, kNow + 40 * 86400).empty());
    }

    // The other file system is reached through a link that the user folder becomes.
    SKIP_ON_WINDOWS("symbolic links: Wine cannot make them, and Windows makes them only with a privilege");
    if (platform::OnSameFileSystem("/dev/shm", fs::temp_directory_path().string()) != std::optional<bool>(false))
        GTEST_SKIP() << "no second file system to move between";
    QuarantineSite s;
    TempDir other;  // under TMPDIR, moved to /dev/shm below
    const std::string elsewhere = "/dev/shm/" + other.path().filename().string();
    fs::create_directory(elsewhere);
    fs::copy(s.site.userFolder(), elsewhere + "/user", fs::copy_options::recursive);
    fs::remove_all(s.site.userFolder());
    fs::create_directory_symlink(elsewhere + "/user", s.site.userFolder());
    const std::string problem = PrepareQuarantine(s.install());
    fs::remove_all(elsewhere);
    EXPECT_NE(problem.find("cannot be moved into " + s.install() + "/Quarantine"), std::string::npos) << problem;
}

// A deleting run under GRACEDAYS quarantines instead of deleting, with the same question and
// summary; a run after the period purges first, telling which accounts it could not purge;
// quarantined accounts are never counted again.
TEST(Quarantine, TheScanQuarantinesUnderAGracePeriodAndAScanAfterItPurges) {
    QuarantineSite s;
    const std::string windir = s.dir.file("windows");
    const ScopedEnv settings("WINDIR", windir);
    fs::create_directories(windir);
    WriteBytes(windir + "/VELTA.INI", "[DORMIX]\r\nGRACEDAYS=30\r\n");
    s.site.addAccount("ann", "2024/4/10");  // in use throughout
    ScriptedMessageBoxes boxes;
    boxes.answers = {platform::Answer::Yes};
    const auto scan = [&](std::time_t at) {
        const ScanReport report = ScanDormantAccounts(30, s.site.paths(), boxes, at);
        ShowScanReport(report, boxes);
        return report.ranThrough();
    };
    EXPECT_TRUE(scan(kNow));
    EXPECT_TRUE(scan(LocalTime(2024, 4, 13)));  // nothing dormant, nothing purged
    EXPECT_EQ(ListQuarantine(s.install()).size(), 4u);
    const RunIdentity run = NewRunIdentity(0, RunOrigin::CommandLine, kNow);
    EXPECT_TRUE(RestoreAccount(s.install(), "eve", AuditedEvents(s.install(), run, kNow), LocalTime(2024, 4, 13)).restored);
    // named as the purge names it, so that its message can be compared on every system
    const std::string danFolder = DayFolder(s.install(), "2024-03-15") + platform::kSepText + HexFolderName("dan");
    const std::string stuck = danFolder + "/stuck";
    WriteBytes(stuck, "read-only");
    fs::permissions(stuck, fs::perms::owner_read);
    boxes.answers = {platform::Answer::Yes};  // to the purge's own question: nothing is dormant
    EXPECT_TRUE(scan(LocalTime(2024, 4, 14)));

    const std::vector<QuarantineEntry> left = ListQuarantine(s.install());  // listed with its failure until purged
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].lastFailure, danFolder + " could not be removed whole.");
    EXPECT_TRUE(platform::PathExists(danFolder + ".purge"));  // tried again next run
    EXPECT_EQ(s.tervoxUsers(), (std::vector<std::string>{"ann", "dan", "eve"}));
    EXPECT_TRUE(platform::IsDirectory(s.site.folderOf("eve")));  // judged from the day of its restore
    const std::string kWaiting = "4 account(s) wait in quarantine; the next purge is due on 2024-04-14.";
    const std::string purgedFrom = DayFolder(s.install(), "2024-03-15") + platform::kSepText;
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"Would you like to delete the associated Tervox account(s) also?",
                                                       "Successfully deleted 4 account(s)!\nThe accounts stay in quarantine "
                                                       "until 2024-04-14; Deleted Accounts... (dormix --restore NAME) "
                                                       "brings one back.",
                                                       kWaiting, kNoDormantAccounts, kWaiting, PurgeQuestionText(3),
                                                       kNoDormantAccounts,
                                                       "Purged 2 account(s) whose grace period was over.\nPurged bob (" +
                                                           EscapedForLine(purgedFrom + HexFolderName("bob")) +
                                                           ")\nPurged cleo (" +
                                                           EscapedForLine(purgedFrom + HexFolderName("cleo")) + ")",
                                                       "1 account(s) in quarantine could not be purged; the next run "
                                                       "tries them again:\ndan: " + danFolder +
                                                           " could not be removed whole."}));
    std::string actions;
    std::istringstream log(ReadBytes(AuditLogPath(s.install())));
    for (std::string line; std::getline(log, line);)
        actions += line.substr(line.rfind('\t') + 1, line.find('\r') - line.rfind('\t') - 1) + " ";
    EXPECT_EQ(actions, "quarantined quarantined quarantined quarantined restored purged purged ");
}

// An entry file that a hand wrote or a backup put back is acted on only where it agrees with the
// installation; otherwise it is left alone, as it stands, and reported.
TEST(Quarantine, EntriesThatDisagreeWithTheInstallationAreLeftAloneAndReported) {
    struct Case {
        const char* what;
        std::function<void(QuarantineSite&, QuarantineEntry&)> change;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"in another day's folder", [](QuarantineSite& s, QuarantineEntry& e) {
             fs::rename(DayFolder(s.install(), e.day), DayFolder(s.install(), "2024-03-01"));
             e.day = "2024-03-01";
         }, "does not lie in the day folder"},
        {"beside no folder", [](QuarantineSite& s, QuarantineEntry& e) { fs::remove_all(QuarantinedFolderPath(s.install(), e)); },
         "does not stand beside its folder"},
        {"naming another user", [](QuarantineSite&, QuarantineEntry& e) { e.userName = "bob"; }, "not its folder's"},
        {"holding another user's record", [](QuarantineSite&, QuarantineEntry& e) {
             e.userRecord = keyindex::KeyRecordBytes{};
             std::memcpy(e.userRecord->data(), "626F62", 6);
         }, "holds key records that are not ann's"},
        {"of a protected user", [](QuarantineSite& s, QuarantineEntry&) {
             s.events.isProtected = [](const std::string& name) { return name == "ann"; };
         }, "ann is a protected account."},
    };
    for (const Case& c : cases) {
        QuarantineSite s;
        s.quarantine({"ann"}, kNow);
        QuarantineEntry entry = ListQuarantine(s.install()).at(0);
        c.change(s, entry);
        WriteEntryFile(s.install(), entry);
        const auto before = s.files();
        const PurgeRun run = PurgeEntries(s.install(), ListQuarantine(s.install()), s.events);
        if (run.failed.size() != 1u) {
            ADD_FAILURE() << c.what << ": not refused";
            continue;
        }
        EXPECT_NE(run.failed[0].second.find(c.reason), std::string::npos) << c.what << ": " << run.failed[0].second;
        EXPECT_EQ(reliability::TreeDifference(before, s.files()), "") << c.what;
        EXPECT_EQ(s.tervoxUsers(), kSiteUsers) << c.what;
    }
    // A period that no setting gives, in an entry written by hand, purges nothing.
    {
        QuarantineSite g;
        g.quarantine({"ann"}, kNow);
        QuarantineEntry longer = ListQuarantine(g.install()).at(0);
        longer.graceDays = INT_MAX;
        WriteEntryFile(g.install(), longer);
        EXPECT_EQ(EntryPurgeDay(ListQuarantine(g.install()).at(0), 30), std::nullopt);
        EXPECT_TRUE(ExpiredEntries(ListQuarantine(g.install()), 30, kNow + 400 * 86400).empty());
    }
    // A quarantine "begun" for an account in use: its key records stay.
    QuarantineSite s;
    PrepareQuarantine(s.install());
    const keyindex::UserKeyRecords records = keyindex::FindUserKeyRecords(s.install(), {"cleo"}).at(0);
    const QuarantineEntry cleo{DayOfRun(kNow), HexFolderName("cleo"), "cleo", std::nullopt, kNow, true, records.user,
                               records.time, EntryStage::Moving, 30, std::nullopt, {}, false, {}};
    fs::create_directories(QuarantinedFolderPath(s.install(), cleo));
    WriteEntryFile(s.install(), cleo);
    const auto before = s.files();
    std::vector<RefusedEntry> refused;
    EXPECT_TRUE(SettleQuarantine(s.install(), s.events, kNow, &refused));
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_NE(refused[0].second.find("exists again"), std::string::npos) << refused[0].second;
    EXPECT_EQ(reliability::TreeDifference(before, s.files()), "");
}

// The purge deletes the mail-server user it recorded at the quarantine, and only while the name
// is no one's again; its record says what became of the user.
TEST(Quarantine, APurgeDeletesOnlyTheMailServerUserThatWasThereAtTheQuarantine) {
    const std::vector<std::string> others = {"bob", "cleo", "dan", "eve"};
    struct Case {
        const char* what;
        std::function<void(QuarantineSite&)> before, after;  // the quarantine
        const char* kept;                                     // why the user was kept; empty: not kept
        const char* audit;
    };
    const auto none = [](QuarantineSite&) {};
    const auto users = [](QuarantineSite& s, const std::vector<std::string>& names, std::vector<TervoxUser> extra = {}) {
        fs::remove(s.site.tervoxDb());
        s.site.writeTervoxUsers(names, extra);
    };
    const std::vector<Case> cases = {
        {"the same user", none, none, "", "removed"},
        {"no user any more", none, [&](QuarantineSite& s) { users(s, others); }, "", "absent"},
        {"a folder again", none, [](QuarantineSite& s) { s.site.addAccount("ann", "2024/4/1"); }, "exists again", "kept"},
        {"a key record again", none, [](QuarantineSite& s) { s.site.writeKeyFiles(kSiteUsers); }, "USER.KEY holds", "kept"},
        {"a user with another file", none,
         [&](QuarantineSite& s) { users(s, others, {{0, "ann", s.dir.file("other")}}); }, "not the one", "kept"},
        {"a user made since", [&](QuarantineSite& s) { users(s, others); }, [&](QuarantineSite& s) { users(s, kSiteUsers); },
         "not the one", "kept"},
    };
    for (const Case& c : cases) {
        QuarantineSite s;
        c.before(s);
        s.quarantine({"ann"}, kNow);
        c.after(s);
        const PurgeRun run = PurgeEntries(s.install(), ListQuarantine(s.install()), s.events);
        ASSERT_EQ(run.purged.size(), 1u) << c.what;
        const QuarantineEntry& entry = run.purged[0];
        EXPECT_NE(entry.tervoxUserKept.find(c.kept), std::string::npos) << c.what << ": " << entry.tervoxUserKept;
        EXPECT_EQ(entry.tervoxUserKept.empty(), *c.kept == 0) << c.what;
        const auto left = s.tervoxUsers();
        EXPECT_EQ(std::count(left.begin(), left.end(), "ann"), *c.kept ? 1 : 0) << c.what;
        const std::string line = QuarantineAuditLine(s.install(), entry, QuarantineEvent::Purged, kNow,
                                                     NewRunIdentity(0, RunOrigin::CommandLine, kNow));
        EXPECT_NE(line.find(std::string("\tTervox user: ") + c.audit + "\t"), std::string::npos) << c.what << ": " << line;
    }
}

// A box names ten accounts, one a line, and says how many more there are only when there are more.
TEST(Quarantine, TheAccountsNotPurgedAreNamedAndOnlyMoreAreCounted) {
    for (const auto& [count, more] : std::vector<std::pair<std::size_t, bool>>{{10, false}, {11, true}}) {
        // A reason naming a folder with a line break in it keeps to its line; its backslashes stay.
        const std::string text =
            NotPurgedText(std::vector<AccountNotDeleted>(count, {"ann", "f", "C:\\user\\zz\nWould purge bob (x)"}));
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<std::ptrdiff_t>(std::min<std::size_t>(count, 10) + more)) << text;
        EXPECT_NE(text.find("ann: C:\\user\\zz\\x0AWould purge"), std::string::npos) << text;
        EXPECT_EQ(text.find("\n... and ") != std::string::npos, more) << text;
        if (more) {
            EXPECT_NE(text.find("\n... and 1 more."), std::string::npos) << text;
        }
    }
}
