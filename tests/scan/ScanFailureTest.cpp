#include <filesystem>

#include "dormix/scan/AuditLog.h"
#include "tests/scan/ScanTestSupport.h"

namespace fs = std::filesystem;
using platform::Answer;
using Names = std::vector<std::string>;

namespace {

TEST_F(ScanTest, AMissingLogFolderStopsTheScanBeforeAnyDeletion) {
    // The scan meets the folders in the file system's order: try each account as the one
    // without "user.ini", so that it comes before and after the first dormant account. The
    // record of deletions lives in the same folder, so no deletion may happen without it.
    const Names users = {"ann", "bob", "cleo", "dora"};
    for (const std::string& unlogged : users) {
        SCOPED_TRACE(unlogged);
        reset(/*withLogFolder=*/false);
        for (const std::string& user : users) install->addAccount(user, user == unlogged ? std::nullopt : std::optional(logon(90)));
        install->writeKeyFiles(users);
        const bool unloggedFirst = searchOrder().front() == unlogged;
        boxes.answers = {Answer::No};

        EXPECT_FALSE(scan(30));

        for (const std::string& user : users) EXPECT_TRUE(hasFolder(user)) << user;
        EXPECT_EQ(userKeyNames(), users);
        ASSERT_EQ(boxes.shown.size(), unloggedFirst ? 1u : 2u);  // no summary
        if (!unloggedFirst) expectQuestionAt(0);
        const std::string failed = unloggedFirst ? install->paths().logPath : AuditLogPath(install->paths().installPath);
        EXPECT_EQ(boxes.shown.back().text, "Unable to create file " + failed);
        EXPECT_EQ(boxes.shown.back().caption, "");
        EXPECT_EQ(boxes.shown.back().buttons, platform::Buttons::Ok);
        EXPECT_FALSE(Exists(install->paths().logPath));
    }
}

TEST_F(ScanTest, AMissingInstallationFolderIsNoInstallationWithoutDormantAccounts) {
    fs::remove_all(install->paths().installPath);
    EXPECT_FALSE(scan(30));
    EXPECT_EQ(boxes.texts(), Names{"The installation folder " + install->paths().installPath +
                                   " cannot be found. Nothing was deleted."});
}

TEST_F(ScanTest, LogonDatesThatMakeNoDateAreLoggedAndKept) {
    install->addAccount("old", "1969/12/31");
    install->addAccount("zero", "1999/0/5");
    install->addAccount("word", "last/year/maybe");
    install->addAccount("short", "1999/5");  // fewer than three parts: passed over silently
    install->addAccount("gone", "1999/5/1");
    boxes.answers = {Answer::No};

    EXPECT_TRUE(scan(0));

    EXPECT_EQ(sortedLogLines(), (Names{"old, has an unreadable last logon date ", "word, has an unreadable last logon date ",
                                       "zero, has an unreadable last logon date "}));
    for (const char* kept : {"old", "zero", "word", "short"}) EXPECT_TRUE(hasFolder(kept)) << kept;
    EXPECT_FALSE(hasFolder("gone"));
    expectSummary("Successfully deleted 1 account(s)!", "Dormant Accounts Deleted!");
}

TEST_F(ScanTest, AnUnreadableDateWithoutALogFolderStopsTheScan) {
    reset(/*withLogFolder=*/false);
    install->addAccount("old", "1969/12/31");

    EXPECT_FALSE(scan(0));

    EXPECT_TRUE(hasFolder("old"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Unable to create file " + install->paths().logPath);
}

TEST_F(ScanTest, TheLogFolderIsFoundWhateverItsLetterCase) {
    reset(/*withLogFolder=*/false);
    fs::create_directories(install->paths().installPath + "/LOG");
    install->addAccount("nina", std::nullopt);

    EXPECT_TRUE(scan(30));

    EXPECT_EQ(ReadBytes(install->paths().installPath + "/LOG/dormant.log"), "nina, has no user.ini file \r\n");
    expectNothingDeleted();
}

}  // namespace
