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

namespace fs = std::filesystem;
using platform::Answer;
using Names = std::vector<std::string>;

namespace {

const std::string kStopped = " Nothing was deleted.";

TEST_F(ScanTest, ABackslashInAFolderNameMatchesNoOtherUser) {
    install->addAccount("bob", logon(1));
    const std::string odd = install->addFolder("7a7a\\626f62", logon(100));
    install->writeKeyFiles({"bob"});
    install->writeTervoxUsers({"bob"});
    boxes.answers = {Answer::Yes};

    EXPECT_TRUE(scan(30));

    EXPECT_FALSE(Exists(odd));
    EXPECT_TRUE(hasFolder("bob"));
    EXPECT_EQ(userKeyNames(), Names{"bob"});
    EXPECT_EQ(userTimeNames(), Names{"bob"});
    EXPECT_EQ(tervoxNames(), Names{"bob"});
    expectSummary("Successfully deleted 1 account(s)!", "Dormant Accounts Deleted!");
}

TEST_F(ScanTest, KeyFilesAreTakenFromTheFolderTheAccountsAreIn) {
    fs::create_directories(install->paths().installPath + "/User");  // empty, beside user/
    install->addAccount("ann", logon(100));
    install->writeKeyFiles({"ann", "bob"});
    boxes.answers = {Answer::No};

    EXPECT_TRUE(scan(30));

    EXPECT_FALSE(hasFolder("ann"));
    EXPECT_EQ(userKeyNames(), Names{"bob"});
    EXPECT_EQ(userTimeNames(), Names{"bob"});
}

TEST_F(ScanTest, WhatCannotBeTakenSafelyStopsTheScanBeforeAnyDeletion) {
    struct Case {
        const char* name;
        std::function<Names(DormixInstallation&)> arrange;  // the paths the message must name
        const char* accountsIn = "user";           // where the account folder is then
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
        {"two key files, neither spelled USER.KEY",
         [](DormixInstallation& t) {
             fs::rename(t.userKeyPath(), t.userFolder() + "/user.key");
             WriteBytes(t.userFolder() + "/User.Key", "");
             return Names{t.userFolder() + "/user.key", t.userFolder() + "/User.Key"};
         }},
        {"a pipe in place of a key file",
         [](DormixInstallation& t) {
             fs::remove(t.userTimeKeyPath());
             ::mkfifo(t.userTimeKeyPath().c_str(), 0600);
             return Names{t.userTimeKeyPath()};
         }},
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
}

// Another scan of the same installation starts while this one waits at its question.
class SecondScanAtTheQuestion : public ScriptedMessageBoxes {
public:
    std::function<void()> second;
    platform::Answer show(const std::string& text, const std::string& caption, platform::Buttons buttons) override {
        if (buttons == platform::Buttons::YesNoCancel && second) std::exchange(second, nullptr)();
        return ScriptedMessageBoxes::show(text, caption, buttons);
    }
};

TEST_F(ScanTest, ASecondScanOfTheSameInstallationIsRefused) {
    install->addAccount("ann", logon(100));
    install->writeKeyFiles({"ann"});
    ScriptedMessageBoxes secondBoxes;
    bool secondResult = true;
    SecondScanAtTheQuestion firstBoxes;
    firstBoxes.answers = {Answer::No};
    firstBoxes.second = [&] { secondResult = ScanDormantAccounts(30, install->paths(), secondBoxes, now); };

    EXPECT_TRUE(ScanDormantAccounts(30, install->paths(), firstBoxes, now));

    EXPECT_FALSE(secondResult);
    EXPECT_EQ(secondBoxes.texts(), Names{"Another scan of " + install->paths().installPath + " is running." + kStopped});
    EXPECT_EQ(firstBoxes.shown.back().text, "Successfully deleted 1 account(s)!");
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
    expectNothingDeleted();

    boxes = ScriptedMessageBoxes();
    boxes.answers = {Answer::No};
    EXPECT_TRUE(scan(30));
    EXPECT_FALSE(hasFolder("ann"));
    EXPECT_EQ(userTimeNames(), Names{"bob"});
    expectSummary("Successfully deleted 1 account(s)!", "Dormant Accounts Deleted!");
}

TEST_F(ScanTest, MailServerUsersThatCouldNotBeDeletedAreReportedAfterTheSummary) {
    struct Holder {
        sqlite3* db = nullptr;
        ~Holder() { sqlite3_close(db); }
    };
    struct Case {
        const char* name;
        std::function<void(DormixInstallation&, Holder&)> breakIt;
        const char* reason;
    };
    const Case cases[] = {
        {"corrupt", [](DormixInstallation& t, Holder&) { WriteBytes(t.tervoxDb(), std::string(4096, 'x')); },
         "the user database could not be opened"},
        {"missing", [](DormixInstallation& t, Holder&) { fs::remove(t.tervoxDb()); }, "the user database could not be opened"},
        {"locked by a writer",
         [](DormixInstallation& t, Holder& h) {
             ASSERT_EQ(sqlite3_open(t.tervoxDb().c_str(), &h.db), SQLITE_OK);
             ASSERT_EQ(sqlite3_exec(h.db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
         },
         "the user database refused the deletion"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        install->addAccount("ann", logon(100));
        install->addAccount("bob", logon(200));
        install->writeTervoxUsers({"ann", "bob"});
        Holder holder;
        c.breakIt(*install, holder);
        boxes.answers = {Answer::Yes};

        EXPECT_TRUE(scan(30));

        EXPECT_FALSE(hasFolder("ann"));
        EXPECT_FALSE(hasFolder("bob"));
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

    EXPECT_FALSE(hasFolder("dq"));
    EXPECT_FALSE(hasFolder("sq"));
    EXPECT_TRUE(hasFolder("emil"));
    EXPECT_TRUE(hasFolder("hugo"));
    EXPECT_EQ(sortedLogLines(),
              (Names{"emil, has not activated their account ", "hugo, has an unreadable user.ini file "}));
    expectSummary("Successfully deleted 2 account(s)!", "Dormant Accounts Deleted!");
}

TEST(KeyFileLock, TwoRemoversOfOneFileLoseNoRemoval) {
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    std::vector<KeyEntry> entries;
    for (int i = 0; i < 120; ++i) entries.emplace_back(UserKeyOf("u" + std::to_string(i)), "v");
    WriteKeyFile(path, entries);
    // Widen the moment between the check that the file is as read and the rename.
    platform::fault::BeforeReplace([] { std::this_thread::sleep_for(std::chrono::milliseconds(2)); }, 1000);
    std::vector<std::string> removed[2];
    auto remover = [&](int parity) {
        for (int i = parity; i < 120; i += 2) {
            const std::string key = UserKeyOf("u" + std::to_string(i));
            if (keyindex::RemoveKeyFromFile(path, key.c_str()).result == keyindex::RemovalResult::Removed)
                removed[parity].push_back(key);
        }
    };
    std::thread other(remover, 1);
    remover(0);
    other.join();
    platform::fault::Reset();

    std::vector<std::string> left;
    for (const KeyEntry& e : ReadKeyFile(path)) left.push_back(e.first);
    EXPECT_GT(removed[0].size() + removed[1].size(), 60u);
    for (const auto& keys : removed)
        for (const std::string& key : keys) EXPECT_EQ(std::count(left.begin(), left.end(), key), 0) << key << " reported removed";
}

}  // namespace
