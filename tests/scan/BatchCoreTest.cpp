// A batch deletes only what is still dormant when it is touched, finishes from unfinished
// deletions only what they had begun, and tells of every account it could not delete whole.
#include <filesystem>

#include "dormix/scan/AuditLog.h"
#include "dormix/scan/PendingDeletions.h"
#include "platform/FaultInjection.h"
#include "tests/scan/ScanTestSupport.h"

namespace fs = std::filesystem;
using platform::Answer;
using Names = std::vector<std::string>;

namespace {

std::string Ini(const std::string& lastLogon) { return "[PROGRAM]\r\nLASTLOGON=" + lastLogon + "\r\n"; }

// Before the first member is touched, its user and one in the next batch log on.
struct LogOnMeanwhile : ScanProgress {
    void deleting(int number, int, const std::string&) override {
        for (const std::string& folder : number == 1 ? folders : Names{}) WriteBytes(folder + "/user.ini", Ini(logon));
    }
    bool stopRequested() override { return false; }
    Names folders;
    std::string logon;
};

TEST_F(ScanTest, AnAccountWhoseUserLogsOnBeforeItIsTouchedIsLeftWhole) {
    for (const char* user : {"ann", "bob", "cleo"}) install->addAccount(user, logon(100));
    install->writeKeyFiles({"ann", "bob", "cleo"});
    const Names order = searchOrder();
    LogOnMeanwhile progress;
    progress.folders = {install->folderOf(order[0]), install->folderOf(order[2])};
    progress.logon = logon(0);
    boxes.answers = {Answer::No};

    EXPECT_TRUE(ScanDormantAccounts(30, install->paths(), boxes, now, &progress, 2));

    for (const std::string& folder : progress.folders) EXPECT_TRUE(Exists(folder + "/mail/inbox/1.msg"));
    EXPECT_EQ(searchOrder().size() + userKeyNames().size(), 4u);
    EXPECT_EQ(ReadBytes(AuditLogPath(install->paths().installPath)).find(order[0]), std::string::npos);
    EXPECT_EQ(install->log(), "");
    expectSummary("Successfully deleted 1 account(s)!", "Dormant Accounts Deleted!");
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
        for (const auto& [user, daysBack] : {std::pair{"bob", 100}, {"dan", 3}, {"fay", 10}}) {
            fs::remove_all(install->folderOf(user));
            fs::create_directories(install->folderOf(user));
            WriteBytes(install->folderOf(user) + "/USER.INI", Ini(logon(daysBack)));
        }
        fs::remove_all(install->folderOf("eve"));
        install->writeKeyFiles(users);
        install->writeTervoxUsers(users);
        ASSERT_TRUE(WritePendingDeletions(PendingDeletionsPath(install->paths().installPath), pending));
        boxes.answers = {c.runAnswer};

        EXPECT_TRUE(scan(30));

        const bool fayKept = !c.days;
        const Names kept = fayKept ? Names{"ann", "dan", "eve", "fay"} : Names{"ann", "dan", "eve"};
        EXPECT_EQ(userKeyNames(), kept);
        EXPECT_EQ(searchOrder().size(), kept.size() - 1);  // eve was gone
        EXPECT_TRUE(Exists(install->folderOf("ann") + "/mail/inbox/1.msg"));
        EXPECT_EQ(tervoxNames(), c.runAnswer == Answer::Yes && c.pendingTervox ? kept : users);
        Names lines = {"ann, was left out of the unfinished deletions: its folder holds more than user.ini ",
                       "dan, was left out of the unfinished deletions: it is no longer dormant "};
        if (fayKept) lines.push_back("fay, was left out of the unfinished deletions: it is no longer dormant ");
        EXPECT_EQ(sortedLogLines(), lines);
        EXPECT_EQ(boxes.shown.back().text, std::to_string(lines.size()) +
                                               " account(s) could not be deleted. The reasons are in " + install->paths().logPath);
        EXPECT_EQ(boxes.shown.back().caption, "Accounts Not Deleted");
    }
}

// What keeps a dormant account from going whole keeps it all: folder, "user.ini", key records and
// mail-server user. Its line comes in folder order before those of the accounts after it.
TEST_F(ScanTest, AnAccountThatCannotGoWholeIsKeptAndLoggedInFolderOrder) {
    const std::string readOnly = "could not be deleted: a read-only file is in its folder";
    const std::pair<std::function<void(const std::string&)>, std::string> cases[] = {
        {[](const std::string& f) { fs::permissions(f + "/user.ini", fs::perms::owner_read); }, readOnly},
        {[](const std::string& f) { fs::permissions(f + "/mail/inbox/1.msg", fs::perms::owner_read); }, readOnly},
        {[&](const std::string&) {
             const std::string record = "FFFF" + std::string(252, '\0');
             platform::fault::BeforeReplace([&, record] { WriteBytes(install->userKeyPath(), ReadBytes(install->userKeyPath()) + record); }, 100);
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

        EXPECT_TRUE(scan(30));
        platform::fault::Reset();

        EXPECT_TRUE(Exists(dormant + "/user.ini"));
        EXPECT_EQ(userTimeNames(), users);
        EXPECT_EQ(tervoxNames(), users);
        std::string log = order[0] + ", " + reason + " \r\n";
        for (int i = 1; i < 4; ++i) log += order[i] + ", has no user.ini file \r\n";
        EXPECT_EQ(install->log(), log);
        EXPECT_EQ(boxes.texts().at(1), kNoDormantAccounts);
        EXPECT_EQ(boxes.texts().at(2), "1 account(s) could not be deleted. The reasons are in " + install->paths().logPath);
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
