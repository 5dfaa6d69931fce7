// A batch deletes only what is still dormant when it is touched, finishes from unfinished
// deletions only what they had begun, and tells of every account it could not delete whole.
#include <filesystem>

#include "dormix/keyindex/FindUserKeyRecords.h"
#include "dormix/scan/AuditLog.h"
#include "dormix/scan/PendingDeletions.h"
#include "platform/FaultInjection.h"
#include "tests/scan/ScanTestSupport.h"
#include "tests/support/Portable.h"

namespace fs = std::filesystem;
using platform::Answer;
using Names = std::vector<std::string>;

namespace {

std::string Ini(const std::string& lastLogon) { return "[PROGRAM]\r\nLASTLOGON=" + lastLogon + "\r\n"; }

std::string NotDeletedText(std::size_t n, const DormixPaths& paths) {
    return std::to_string(n) + " account(s) could not be deleted. The reasons are in " + paths.logPath;
}

// Unfinished deletions that name accounts in use (a restored backup, or anyone who can write the
// Log folder): ann in use, dan emptied but logged on since, fay emptied 10 days ago, eve gone.
TEST_F(ScanTest, UnfinishedDeletionsFinishOnlyWhatTheirBatchHadBegun) {
    struct Case {
        std::optional<std::int32_t> days;  // none: the first format, judged by the run's threshold
        bool pendingTervox;
        Answer runAnswer;
    };
    for (const Case& c : {Case{5, true, Answer::No}, Case{std::nullopt, true, Answer::Yes}, Case{5, false, Answer::Yes}}) {
        reset();
        const Names users = {"ann", "bob", "dan", "eve", "fay"};
        PendingBatch pending{PendingStage::KeyRecords, c.pendingTervox, {}, c.days};
        for (const std::string& user : users) pending.accounts.push_back({install->addAccount(user, logon(3)), 0, {}, false});
        for (const auto& [user, daysBack] : {std::pair{"bob", 100}, {"dan", 3}, {"fay", 10}, {"eve", -1}}) {
            fs::remove_all(install->folderOf(user));
            if (daysBack < 0) continue;
            fs::create_directories(install->folderOf(user));
            WriteBytes(install->folderOf(user) + "/USER.INI", Ini(logon(daysBack)));
        }
        install->writeKeyFiles(users);
        // As a batch records them before its first key record goes.
        const auto records = keyindex::FindUserKeyRecords(install->paths().installPath, users);
        for (std::size_t i = 0; i < users.size(); ++i) pending.accounts[i].userKeyValue = keyindex::ValueOfRecord(records[i].user->data());
        install->writeTervoxUsers(users);
        ASSERT_TRUE(WritePendingDeletions(PendingDeletionsPath(install->paths().installPath), pending));
        boxes.answers = {c.runAnswer};

        EXPECT_TRUE(scan(30));

        const Names kept = c.days ? Names{"ann", "dan", "eve"} : Names{"ann", "dan", "eve", "fay"};
        EXPECT_EQ(userKeyNames(), kept);
        EXPECT_EQ(searchOrder().size(), kept.size() - 1);  // eve was gone
        EXPECT_TRUE(Exists(install->folderOf("ann") + "/mail/inbox/1.msg"));
        EXPECT_EQ(tervoxNames(), c.runAnswer == Answer::Yes && c.pendingTervox ? kept : users);
        Names lines = {"ann, was left out of the unfinished deletions: its folder holds more than user.ini ",
                       "dan, was left out of the unfinished deletions: it is no longer dormant "};
        if (!c.days) lines.push_back("fay, was left out of the unfinished deletions: it is no longer dormant ");
        EXPECT_EQ(sortedLogLines(), lines);
        expectSummary(NotDeletedText(lines.size(), install->paths()), "Accounts Not Deleted");
    }
}

// Unfinished deletions act only on the accounts they judged: a name made anew since (a "USER.KEY"
// record other than the one recorded, or any once the records went) keeps its records, its
// mail-server user and its folder; a folder spelt in another letter case is another account's.
TEST_F(ScanTest, UnfinishedDeletionsLeaveANameMadeAnew) {
    SKIP_ON_WINDOWS("one of its folders differs from the name it stands for only in letter case, which is the same folder there");
    struct Case {
        PendingStage stage;
        Names keysNow;  // the users whose key records the files hold when the scan starts
        Names kept;
    };
    for (const Case& c : {Case{PendingStage::KeyRecords, {"ann", "bob", "joe"}, {"bob", "joe"}},
                          Case{PendingStage::MailServer, {"bob"}, {"bob", "joe"}}}) {
        reset();
        const Names users = {"ann", "bob", "joe"};
        install->writeKeyFiles(users);
        const auto records = keyindex::FindUserKeyRecords(install->paths().installPath, users);
        PendingBatch pending{c.stage, true, {}, 5};
        for (std::size_t i = 0; i < users.size(); ++i) {
            install->addAccount(users[i], logon(10));
            fs::remove_all(install->folderOf(users[i]));
            fs::create_directories(install->folderOf(users[i]));
            WriteBytes(install->folderOf(users[i]) + "/user.ini", Ini(logon(10)));
            std::optional<keyindex::KeyValue> value = keyindex::ValueOfRecord(records[i].user->data());
            if (users[i] == "bob" && c.stage == PendingStage::KeyRecords) (*value)[0] ^= 1;  // bob's record is new
            const HexCase letters = users[i] == "joe" ? HexCase::Lower : HexCase::Upper;
            pending.accounts.push_back({install->folderOf(users[i], letters), 0, value, c.stage == PendingStage::MailServer});
        }
        install->writeKeyFiles(c.keysNow);
        install->writeTervoxUsers(users);
        ASSERT_TRUE(WritePendingDeletions(PendingDeletionsPath(install->paths().installPath), pending));
        boxes.answers = {Answer::Yes};

        EXPECT_TRUE(scan(30));

        EXPECT_EQ(userKeyNames(), c.stage == PendingStage::KeyRecords ? c.kept : Names{"bob"});
        EXPECT_EQ(tervoxNames(), c.kept);
        EXPECT_FALSE(hasFolder("ann"));
        EXPECT_TRUE(hasFolder("bob"));
        EXPECT_TRUE(hasFolder("joe"));
        EXPECT_EQ(sortedLogLines(),
                  Names{"bob, was left out of the unfinished deletions: USER.KEY holds a record of that name again "});
    }
}

// A user who logs on just before the account is touched, or what keeps a dormant account from
// going whole, keeps it all: folder, "user.ini", key records and mail-server user. Its line, if
// any, comes in folder order before those of the accounts after it.
struct LogOnMeanwhile : ScanProgress {
    void deleting(int, int, const std::string&) override {
        if (!folder.empty()) WriteBytes(folder + "/user.ini", Ini(logon));
    }
    bool stopRequested() override { return false; }
    std::string folder, logon;
};

TEST_F(ScanTest, AnAccountThatCannotGoWholeIsKeptAndLoggedInFolderOrder) {
    const std::string readOnly = "could not be deleted: a read-only file is in its folder";
    LogOnMeanwhile progress;
    const std::pair<std::function<void(const std::string&)>, std::string> cases[] = {
        {[&](const std::string& f) {
             progress.folder = f;
             progress.logon = logon(0);
         }, ""},
        {[](const std::string& f) { fs::permissions(f + "/user.ini", fs::perms::owner_read); }, readOnly},
        {[](const std::string& f) { fs::permissions(f + "/mail/inbox/1.msg", fs::perms::owner_read); }, readOnly},
        {[&](const std::string&) {
             const std::string record = "FFFF" + std::string(252, '\0');
             const std::string path = install->userKeyPath();
             platform::fault::BeforeReplace([path, record] { WriteBytes(path, ReadBytes(path) + record); }, 100);
         }, "key records could not be removed: the file kept changing"}};
    for (const auto& [arrange, reason] : cases) {
        reset();
        const Names users = {"ann", "bob", "cleo", "dan"};
        for (const std::string& user : users) install->addAccount(user, std::nullopt);
        const Names order = searchOrder();
        const std::string dormant = install->folderOf(order[0]);
        WriteBytes(dormant + "/user.ini", Ini(logon(100)));
        install->writeKeyFiles(users);
        install->writeTervoxUsers(users);
        arrange(dormant);
        boxes.answers = {Answer::Yes};

        const ScanReport report = ScanDormantAccounts(30, install->paths(), boxes, now, &progress);
        EXPECT_TRUE(report.ranThrough());
        ShowScanReport(report, boxes);
        platform::fault::Reset();
        progress.folder.clear();

        EXPECT_TRUE(Exists(dormant + (reason.empty() ? "/mail/inbox/1.msg" : "/user.ini")));
        EXPECT_EQ(userTimeNames(), users);
        EXPECT_EQ(tervoxNames(), users);
        EXPECT_EQ(ReadBytes(AuditLogPath(install->paths().installPath)), "");
        std::string log = reason.empty() ? "" : order[0] + ", " + reason + " \r\n";
        for (int i = 1; i < 4; ++i) log += order[i] + ", has no user.ini file \r\n";
        EXPECT_EQ(install->log(), log);
        EXPECT_EQ(boxes.texts().at(1), kNoDormantAccounts);
        EXPECT_EQ(boxes.shown.size(), reason.empty() ? 2u : 3u);
        if (!reason.empty()) expectSummary(NotDeletedText(1, install->paths()), "Accounts Not Deleted");
    }
}

// A log that cannot take a line stops the batch at that account, as one account at a time would.
TEST_F(ScanTest, ALogThatCannotTakeALineStopsTheBatchThere) {
    for (const char* user : {"ann", "bob", "cleo"}) install->addAccount(user, logon(100));
    const Names order = searchOrder();
    fs::remove(install->folderOf(order[1]) + "/user.ini");
    fs::create_directory(install->paths().logPath);  // no file can be appended there
    boxes.answers = {Answer::No};

    EXPECT_FALSE(scan(30));

    EXPECT_EQ(searchOrder(), (Names{order[1], order[2]}));
    EXPECT_TRUE(Exists(install->folderOf(order[2]) + "/mail/inbox/1.msg"));
    EXPECT_EQ(boxes.shown.back().text, "Unable to create file " + install->paths().logPath);
}

}  // namespace
