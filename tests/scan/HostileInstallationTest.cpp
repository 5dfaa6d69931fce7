// The scan on installations that odd folders, other processes and broken files make hostile:
// it deletes exactly the dormant accounts, or stops before deleting anything and says why.
#include <filesystem>
#include <functional>
#include <thread>

#include <sqlite3.h>
#include <sys/stat.h>

#include "dormix/keyindex/KeyRemoval.h"
#include "platform/FaultInjection.h"
#include "platform/FolderLock.h"
#include "tests/scan/ScanTestSupport.h"
#include "tests/scan/fixture/KeyFiles.h"
#include "tests/support/Portable.h"

namespace fs = std::filesystem;
using platform::Answer;
using Names = std::vector<std::string>;

namespace {

const std::string kStopped = " Nothing was deleted.";

TEST_F(ScanTest, OddFolderNamesMatchNoOtherUserAndKeyFilesComeFromTheAccountsFolder) {
    SKIP_ON_WINDOWS("a backslash inside a folder name, and two names that differ only in letter case, cannot exist on Windows");
    fs::create_directories(install->paths().installPath + "/User");  // empty, beside user/
    install->addAccount("ann", logon(100));
    install->addAccount("bob", logon(1));
    const std::string odd = install->addFolder("7a7a\\626f62", logon(100));  // not "bob" behind a backslash
    install->writeKeyFiles({"ann", "bob"});
    install->writeTervoxUsers({"bob"});
    boxes.answers = {Answer::Yes};

    EXPECT_TRUE(scan(30));

    EXPECT_FALSE(Exists(odd) || hasFolder("ann"));
    EXPECT_TRUE(hasFolder("bob"));
    EXPECT_EQ(userKeyNames(), Names{"bob"});
    EXPECT_EQ(userTimeNames(), Names{"bob"});
    EXPECT_EQ(tervoxNames(), Names{"bob"});
    expectSummary("Successfully deleted 2 account(s)!", "Dormant Accounts Deleted!");
}

TEST_F(ScanTest, WhatCannotBeTakenSafelyStopsTheScanBeforeAnyDeletion) {
    SKIP_ON_WINDOWS("two folder names that differ only in letter case are one name on Windows, "
                    "and its file system has no named pipes");
#ifndef _WIN32
    struct Case {
        const char* name;
        std::function<Names(DormixInstallation&)> arrange;  // the paths the message must name
        const char* accountsIn = "user";                    // where the account folder is then
    };
    const Case cases[] = {
        {"two user folders, neither spelled user",
         [](DormixInstallation& t) {
             const std::string base = t.paths().installPath;
             fs::rename(t.userFolder(), base + "/User");
             fs::create_directories(base + "/USER");
             return Names{base + "/User", base + "/USER"};
         },
         "User"},
        {"a pipe in place of a key file",
         [](DormixInstallation& t) {
             fs::remove(t.userTimeKeyPath());
             ::mkfifo(t.userTimeKeyPath().c_str(), 0600);
             return Names{t.userTimeKeyPath()};
         }},
        {"a file where the folder of the accounts belongs, which cannot be listed",
         [](DormixInstallation& t) {
             fs::rename(t.userFolder(), t.paths().installPath + "/accounts");
             WriteBytes(t.userFolder(), "");
             return Names{"The account folders in " + t.userFolder() + " cannot be listed: Not a directory."};
         },
         "accounts"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        install->addAccount("ann", logon(100));
        install->writeKeyFiles({"ann"});
        const Names named = c.arrange(*install);
        boxes.answers = {Answer::No};

        EXPECT_FALSE(scan(30));

        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].caption, "Nothing Deleted");
        for (const std::string& path : named) EXPECT_NE(boxes.shown[0].text.find(path), std::string::npos) << path;
        EXPECT_TRUE(boxes.shown[0].text.ends_with(kStopped)) << boxes.shown[0].text;
        EXPECT_EQ(install->log(), "");
        EXPECT_TRUE(Exists(install->paths().installPath + "/" + c.accountsIn + "/" + HexFolderName("ann") + "/addresses.txt"));
    }
#endif
}

TEST_F(ScanTest, ASecondScanOfTheSameInstallationIsRefused) {
    install->addAccount("ann", logon(100));
    install->writeKeyFiles({"ann"});
    ScriptedMessageBoxes second;
    platform::fault::BeforeDescend([&] {  // while the first scan deletes ann's folder
        if (second.shown.empty()) {
            const ScanReport report = ScanDormantAccounts(30, install->paths(), second, now);
            EXPECT_EQ(report.end, ScanEnd::Refused);
            ShowScanReport(report, second);
        }
    });
    boxes.answers = {Answer::No};

    EXPECT_TRUE(scan(30));
    platform::fault::Reset();

    EXPECT_EQ(second.texts(), Names{"Another scan of " + install->paths().installPath + " is running." + kStopped});
    expectSummary("Successfully deleted 1 account(s)!", "Dormant Accounts Deleted!");
    EXPECT_EQ(userKeyNames(), Names{});
}

TEST_F(ScanTest, KeyRecordsThatKeepChangingAreLoggedAndTheAccountIsFinishedNextTime) {
    const std::string ann = install->addAccount("ann", logon(100));
    install->writeKeyFiles({"ann", "bob"});
    // The web-mail product appends a record just before every replacement.
    platform::fault::BeforeReplace(
        [&] { WriteBytes(install->userKeyPath(), ReadBytes(install->userKeyPath()) + "FFFF" + std::string(252, '\0')); }, 100);
    boxes.answers = {Answer::No};

    EXPECT_TRUE(scan(30));
    platform::fault::Reset();

    EXPECT_EQ(sortedLogLines(), Names{"ann, key records could not be removed: the file kept changing "});
    EXPECT_TRUE(Exists(ann + "/user.ini"));
    EXPECT_EQ(userTimeNames(), (Names{"ann", "bob"}));
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[1].text, kNoDormantAccounts);

    boxes = ScriptedMessageBoxes();
    boxes.answers = {Answer::No};
    EXPECT_TRUE(scan(30));
    EXPECT_FALSE(hasFolder("ann"));
    EXPECT_EQ(userTimeNames(), Names{"bob"});
    expectSummary("Successfully deleted 1 account(s)!", "Dormant Accounts Deleted!");
}

TEST_F(ScanTest, MailServerUsersThatCouldNotBeDeletedAreReportedAfterTheSummary) {
    using Holder = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;
    struct Case {
        const char* name;
        std::function<void(DormixInstallation&, Holder&)> breakIt;
        const char* reason;
    };
    const Case cases[] = {
        {"corrupt", [](DormixInstallation& t, Holder&) { WriteBytes(t.tervoxDb(), std::string(4096, 'x')); },
         "the user database could not be opened"},
        {"locked by a writer",
         [](DormixInstallation& t, Holder& h) {
             sqlite3* db = nullptr;
             sqlite3_open(t.tervoxDb().c_str(), &db);
             h.reset(db);
             ASSERT_EQ(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
         },
         "the user database still holds the user after its deletion"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        install->addAccount("ann", logon(100));
        install->addAccount("bob", logon(200));
        install->writeTervoxUsers({"ann", "bob"});
        Holder holder(nullptr, sqlite3_close);
        c.breakIt(*install, holder);
        boxes.answers = {Answer::Yes};

        EXPECT_TRUE(scan(30));

        EXPECT_FALSE(hasFolder("ann") || hasFolder("bob"));
        ASSERT_EQ(boxes.shown.size(), 3u);
        EXPECT_EQ(boxes.shown[1].text, "Successfully deleted 2 account(s)!");
        EXPECT_EQ(boxes.shown[2].text, std::string("The mail server's users of 2 account(s) could not be deleted: ") + c.reason);
        EXPECT_EQ(boxes.shown[2].caption, "Tervox Accounts Not Deleted");
    }
}

TEST_F(ScanTest, UserIniIsReadAsWindowsReadsIt) {
    install->addAccount("dq", "\"" + logon(100) + "\"");
    install->addAccount("sq", "'" + logon(100) + "'");
    install->addAccount("emil", "\"\"");
    const std::string hugo = install->addAccount("hugo", "1999/1/1");
    fs::resize_file(hugo + "/user.ini", (std::uintmax_t{17} << 20));  // a settings file no longer
    boxes.answers = {Answer::No};

    EXPECT_TRUE(scan(30));

    EXPECT_FALSE(hasFolder("dq") || hasFolder("sq"));
    EXPECT_TRUE(hasFolder("emil") && hasFolder("hugo"));
    EXPECT_EQ(sortedLogLines(),
              (Names{"emil, has not activated their account ", "hugo, has an unreadable user.ini file "}));
    expectSummary("Successfully deleted 2 account(s)!", "Dormant Accounts Deleted!");
}

TEST(KeyFileLock, AKeyFileIsReplacedOnlyWhileNoOtherDormixHoldsItsFolder) {
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    WriteKeyFile(path, {{UserKeyOf("ann"), "a"}, {UserKeyOf("bob"), "b"}});
    const std::string before = ReadBytes(path);
    auto other = std::make_unique<platform::FolderLock>(dir.path().string(), platform::FolderLock::Wait::No);
    std::thread remover([&] { keyindex::RemoveKeyFromFile(path, UserKeyOf("ann").c_str()); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(ReadBytes(path), before);  // waits for the other removal to end
    other.reset();
    remover.join();
    EXPECT_EQ(ReadKeyFile(path), (std::vector<KeyEntry>{{UserKeyOf("bob"), "b"}}));
}

// A link in the Log folder stops the run; one made while it works is never written through.
TEST_F(ScanTest, ALinkInThePlaceOfALogFileIsNeverWrittenThrough) {
    SKIP_ON_WINDOWS("symbolic links: Wine cannot make them, and Windows makes them only with a privilege");
    const std::pair<const char*, bool> cases[] = {
        {"dormant.log", false}, {"deleted.log", false}, {"pending.del", false}, {"deleted.log", true}, {"pending.del", true}};
    for (const auto& [name, duringRun] : cases) {
        reset();
        const std::string ann = install->addAccount("ann", logon(100));
        const std::string link = install->paths().installPath + "/Log/" + name;
        WriteBytes(dir->file("outside.txt"), "not Dormix's");
        const auto makeLink = [&] { fs::remove(link); fs::create_symlink(dir->file("outside.txt"), link); };
        duringRun ? platform::fault::BeforeDescend([&] { if (!fs::is_symlink(link)) makeLink(); }) : makeLink();
        boxes.answers = {Answer::No};
        EXPECT_FALSE(scan(30));
        platform::fault::Reset();
        EXPECT_EQ(boxes.texts().back(),
                  duringRun ? "Unable to create file " + link
                            : "The log file " + link + " is a link, which Dormix does not write through." + kStopped);
        EXPECT_EQ(Exists(ann + "/addresses.txt"), !duringRun);
        EXPECT_EQ(ReadBytes(dir->file("outside.txt")), "not Dormix's");
    }
}

}  // namespace
