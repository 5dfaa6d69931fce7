#include <filesystem>
#include <functional>

#include "tests/scan/ScanTestSupport.h"
#include "tests/support/Portable.h"

namespace fs = std::filesystem;
using platform::Answer;
using Names = std::vector<std::string>;

namespace {

TEST_F(ScanTest, NoAccountsOrNoneDormantDeleteNothing) {
    const std::pair<const char*, std::function<void()>> setups[] = {
        {"no user folder", [&] { fs::remove_all(install->userFolder()); }},
        {"empty user folder", [] {}},
        {"key files and other files only",
         [&] {
             install->writeKeyFiles({"ann"});
             WriteBytes(install->userFolder() + "/notes.txt", "x");
         }},
        {"recent accounts only",
         [&] {
             install->addAccount("ann", logon(3));
             install->addAccount("bob", logon(30));
         }},
    };
    for (const auto& [name, setup] : setups) {
        SCOPED_TRACE(name);
        reset();
        setup();
        EXPECT_TRUE(scan(30));
        ASSERT_EQ(boxes.shown.size(), 1u);
        expectNothingDeleted();
        EXPECT_EQ(install->log(), "");
    }
    EXPECT_TRUE(hasFolder("ann"));
    EXPECT_TRUE(hasFolder("bob"));
}

TEST_F(ScanTest, AccountsWithoutLogonAreLoggedAndNeverDeleted) {
    WriteBytes(install->paths().logPath, "earlier line\r\n");
    install->addAccount("nina", std::nullopt);
    install->addAccount("emil", "");
    const std::string noKey = install->addAccount("kurt", "2000/1/1");
    WriteBytes(noKey + "/user.ini", "[PROGRAM]\r\nLANGUAGE=en\r\n[OTHER]\r\nLASTLOGON=2000/1/1\r\n");
    const std::string upperIni = install->addAccount("ulla", std::nullopt);
    WriteBytes(upperIni + "/USER.INI", "[program]\r\nlastlogon=2000/1/1\r\n");  // found whatever the case
    boxes.answers = {Answer::No};

    EXPECT_TRUE(scan(0));

    EXPECT_EQ(sortedLogLines(), (Names{"earlier line", "emil, has not activated their account ",
                                       "kurt, has not activated their account ", "nina, has no user.ini file "}));
    EXPECT_TRUE(hasFolder("nina"));
    EXPECT_TRUE(hasFolder("emil"));
    EXPECT_TRUE(hasFolder("kurt"));
    EXPECT_FALSE(hasFolder("ulla"));
    ASSERT_EQ(boxes.shown.size(), 2u);  // the question for ulla, then the summary
    expectQuestionAt(0);
    expectSummary("Successfully deleted 1 account(s)!", "Dormant Accounts Deleted!");
}

TEST_F(ScanTest, DateFormsGiveTheSameDay) {
    now = LocalTime(1999, 2, 4, 23);  // 30 days and 23 hours after 1999-01-05
    for (const std::int32_t days : {30, 29}) {
        SCOPED_TRACE(days);
        reset();
        install->addAccount("ann", "1999/1/5");
        install->addAccount("bob", "1999-01-05");
        install->addAccount("cleo", "1999/01-05");
        boxes.answers = {Answer::No};
        EXPECT_TRUE(scan(days));
        const bool dormant = days == 29;
        EXPECT_EQ(hasFolder("ann"), !dormant);
        EXPECT_EQ(hasFolder("bob"), !dormant);
        EXPECT_EQ(hasFolder("cleo"), !dormant);
        if (dormant) {
            expectSummary("Successfully deleted 3 account(s)!", "Dormant Accounts Deleted!");
        } else {
            expectNothingDeleted();
        }
    }
}

TEST_F(ScanTest, DormantMeansMoreThanTheThresholdAtTwentyThreeHundred) {
    struct Case {
        const char* user;
        std::string lastLogon;
        std::int32_t days;
        bool dormant;
    };
    const Case cases[] = {
        {"thirty", logon(30), 30, false},
        {"thirtyone", logon(31, '-'), 30, true},
        {"today", logon(0), 0, false},
        {"yesterday", logon(1), 0, true},
        {"tomorrow", logon(-1), 0, false},
        {"nextyear", logon(-400), 0, false},
        {"longago", "1971/1/1", 10000, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        reset();
        install->addAccount(c.user, c.lastLogon);
        boxes.answers = {Answer::No};
        EXPECT_TRUE(scan(c.days));
        EXPECT_EQ(hasFolder(c.user), !c.dormant);
        EXPECT_EQ(boxes.shown.size(), c.dormant ? 2u : 1u);
    }
}

TEST_F(ScanTest, AnswersDecideWhatGoes) {
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");
        reset();
        install->addAccount("ann", logon(100));
        install->addAccount("bob", "2001/7/9", HexCase::Lower);
        install->addAccount("cleo", logon(3));
        install->writeKeyFiles({"ann", "bob", "cleo", "zed"});
        install->writeTervoxUsers({"ann", "bob", "cleo"}, {{1, "ann", ""}});
        boxes.answers = {answer};

        EXPECT_TRUE(scan(30));

        EXPECT_FALSE(hasFolder("ann"));
        EXPECT_FALSE(hasFolder("bob", HexCase::Lower));
        EXPECT_TRUE(hasFolder("cleo"));
        EXPECT_EQ(userKeyNames(), (Names{"cleo", "zed"}));
        EXPECT_EQ(userTimeNames(), (Names{"cleo", "zed"}));
        const bool tervoxToo = answer == Answer::Yes;
        EXPECT_EQ(tervoxNames(0), tervoxToo ? Names{"cleo"} : (Names{"ann", "bob", "cleo"}));
        EXPECT_EQ(tervoxNames(1), Names{"ann"});
        EXPECT_EQ(Exists(install->tervoxFile("ann")), !tervoxToo);
        EXPECT_EQ(Exists(install->tervoxFile("bob")), !tervoxToo);
        EXPECT_TRUE(Exists(install->tervoxFile("cleo")));
        ASSERT_EQ(boxes.shown.size(), 2u);  // asked once for both accounts
        expectQuestionAt(0);
        expectSummary("Successfully deleted 2 account(s)!", "Dormant Accounts Deleted!");
    }
}

TEST_F(ScanTest, CancelStopsBeforeAnyDeletion) {
    install->addAccount("ann", logon(100));
    install->addAccount("bob", logon(200));
    install->addAccount("nina", std::nullopt);
    install->writeKeyFiles({"ann", "bob"});
    install->writeTervoxUsers({"ann", "bob"});
    const Names order = searchOrder();
    boxes.answers = {Answer::Cancel};

    EXPECT_TRUE(scan(30));

    EXPECT_TRUE(hasFolder("ann"));
    EXPECT_TRUE(hasFolder("bob"));
    EXPECT_EQ(userKeyNames(), (Names{"ann", "bob"}));
    EXPECT_EQ(userTimeNames(), (Names{"ann", "bob"}));
    EXPECT_EQ(tervoxNames(), (Names{"ann", "bob"}));
    ASSERT_EQ(boxes.shown.size(), 1u);  // no summary
    expectQuestionAt(0);
    // nina's line stays when the scan met her before the first dormant account.
    const bool ninaFirst = order.front() == "nina";
    EXPECT_EQ(install->log(), ninaFirst ? "nina, has no user.ini file \r\n" : "");
}

// Warnings that only count how often they are sent.
struct CountedWarnings : DeletionWarnings {
    std::string prepare(const std::string&, std::int32_t, std::time_t) override { return {}; }
    bool concerns(const AccountJudgement&, std::time_t) const override { return false; }
    void plan(std::vector<AccountJudgement>&, std::time_t) override {}
    int toWarn() const override { return 0; }
    WarningRun send(std::time_t, ScanProgress&) override { return ++sent, WarningRun{}; }
    int sent = 0;
};

// A question never answered (its box could not be shown at any dormant account) sends no warning
// either: nothing is done without an answer.
TEST_F(ScanTest, AQuestionThatCouldNotBeShownIsAskedAgain) {
    for (const auto& answers : {std::vector<Answer>{Answer::Failed, Answer::No}, std::vector<Answer>(3, Answer::Failed)}) {
        const bool answered = answers.size() == 2;
        SCOPED_TRACE(answered);
        reset();
        install->addAccount("ann", logon(100));
        install->addAccount("bob", logon(200));
        install->addAccount("cleo", logon(300));
        const Names order = searchOrder();
        boxes.answers.assign(answers.begin(), answers.end());
        CountedWarnings warnings;
        ScanScope scope;
        scope.warnings = &warnings;

        ShowScanReport(ScanDormantAccounts(30, install->paths(), boxes, now, nullptr, 1, scope), boxes);

        EXPECT_TRUE(hasFolder(order[0]));  // passed over while the question went unanswered
        EXPECT_EQ(hasFolder(order[1]), !answered);
        EXPECT_EQ(hasFolder(order[2]), !answered);
        EXPECT_EQ(warnings.sent, answered ? 1 : 0);
        ASSERT_EQ(boxes.shown.size(), answered ? 3u : 4u);
        expectQuestionAt(0);
        expectQuestionAt(1);
        if (answered) expectSummary("Successfully deleted 2 account(s)!", "Dormant Accounts Deleted!");
        else expectNothingDeleted();
    }
}

TEST_F(ScanTest, FolderNamesDecodeInEitherCase) {
    SKIP_ON_WINDOWS("names that differ only in letter case are one name on Windows");
    install->addFolder("416E6E", std::nullopt);
    install->addFolder("416e6e", std::nullopt);
    install->addFolder("41zz42", "");
    install->addFolder("41004243", std::nullopt);
    install->addFolder("416", std::nullopt);
    install->addAccount("ANN", "2001/1/1", HexCase::Lower);  // "ANN" is filed under the key of "ann"
    install->writeKeyFiles({"ann", "anna"});
    boxes.answers = {Answer::No};

    EXPECT_TRUE(scan(30));

    EXPECT_EQ(sortedLogLines(), (Names{", has no user.ini file ", "A B, has not activated their account ",
                                       "A, has no user.ini file ", "Ann, has no user.ini file ",
                                       "Ann, has no user.ini file "}));
    EXPECT_FALSE(hasFolder("ANN", HexCase::Lower));
    EXPECT_EQ(userKeyNames(), Names{"anna"});
    EXPECT_EQ(userTimeNames(), Names{"anna"});
}

TEST_F(ScanTest, KeyIndexNamesAreNeverAccounts) {
    SKIP_ON_WINDOWS("names that differ only in letter case are one name on Windows");
    fs::create_directories(install->userFolder() + "/USER.KEY");
    fs::create_directories(install->userFolder() + "/USERTIME.KEY");
    WriteBytes(install->userFolder() + "/USERTIME.KEY/user.ini", "[PROGRAM]\r\nLASTLOGON=1999/1/1\r\n");
    install->addFolder("user.key", std::nullopt);  // the exact spelling alone is passed over

    EXPECT_TRUE(scan(0));

    EXPECT_TRUE(Exists(install->userFolder() + "/USERTIME.KEY/user.ini"));
    EXPECT_EQ(install->log(), " , has no user.ini file \r\n");
    expectNothingDeleted();
}

TEST_F(ScanTest, LinksAreNeverFollowed) {
    SKIP_ON_WINDOWS("symbolic links: Wine cannot make them, and Windows makes them only with a privilege");
    const std::string outside = dir->file("outside");
    fs::create_directories(outside + "/deep");
    WriteBytes(outside + "/precious.txt", "keep");
    WriteBytes(outside + "/deep/more.txt", "keep too");
    WriteBytes(outside + "/user.ini", "[PROGRAM]\r\nLASTLOGON=1999/1/1\r\n");
    const std::string ann = install->addAccount("ann", logon(100));
    fs::create_directory_symlink(outside, ann + "/link-out");
    fs::create_symlink(outside + "/precious.txt", ann + "/mail/file-link");
    // An account entry that is itself a link to an old account is no account.
    fs::create_directory_symlink(outside, install->folderOf("eve"));
    boxes.answers = {Answer::No};

    EXPECT_TRUE(scan(30));

    EXPECT_FALSE(hasFolder("ann"));
    EXPECT_TRUE(fs::is_symlink(install->folderOf("eve")));
    EXPECT_EQ(ReadBytes(outside + "/precious.txt"), "keep");
    EXPECT_EQ(ReadBytes(outside + "/deep/more.txt"), "keep too");
    EXPECT_TRUE(Exists(outside + "/user.ini"));
    expectSummary("Successfully deleted 1 account(s)!", "Dormant Accounts Deleted!");
}

}  // namespace
