// The record of deletions, the stop between accounts and the protected accounts.
#include <algorithm>
#include <sstream>

#include "dormix/scan/AuditLog.h"
#include "dormix/scan/CsvFile.h"
#include "dormix/scan/LineEscape.h"
#include "dormix/scan/PendingDeletions.h"
#include "dormix/scan/ProtectedAccounts.h"
#include "platform/ProfileFile.h"
#include "platform/SystemLog.h"
#include "tests/scan/ScanTestSupport.h"
#include "tests/scan/fixture/UserDb.h"

using platform::Answer;
using Names = std::vector<std::string>;

namespace {

// Stops once `after` accounts were handed to it, and remembers what it was told.
struct StopAfter : ScanProgress {
    explicit StopAfter(int after) : after(after) {}
    void deleting(int number, int count, const std::string& userName) override {
        told.push_back(std::to_string(number) + "/" + std::to_string(count) + " " + userName);
    }
    void reading(int count) override { read = count; }
    bool stopRequested() override { return static_cast<int>(told.size()) >= after; }
    int after;
    int read = 0;
    Names told;
};

std::vector<Names> AuditRows(const std::string& path) {
    std::vector<Names> rows;
    std::istringstream in(ReadBytes(path));
    for (std::string line; std::getline(in, line);) {
        EXPECT_EQ(line.back(), '\r');
        line.pop_back();
        Names fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
        rows.push_back(fields);
    }
    return rows;
}

TEST_F(ScanTest, EveryDeletedAccountGetsOneAuditLine) {
    struct Case {
        Answer answer;
        bool withDatabase;
        const char* tervox;
        const char* tervoxOfAUserNotThere;
    };
    for (const auto& [answer, withDatabase, tervox, notThere] :
         {Case{Answer::Yes, true, "Tervox user: removed", "Tervox user: absent"},
          Case{Answer::Yes, false, "Tervox user: failed", "Tervox user: failed"},
          Case{Answer::No, true, "Tervox user: kept", "Tervox user: kept"}}) {
        SCOPED_TRACE(tervox);
        reset();
        if (withDatabase) CreateUserDb(install->tervoxDb(), {{0, "ann", ""}});
        const std::string annFolder = install->addAccount("ann", "2024/1/5");
        install->addAccount("bob", logon(3));
        install->addAccount("n\r\nx", "2023/12/1");  // a name that must not forge a line
        install->writeKeyFiles({"ann", "bob"});
        boxes.answers = {answer};
        Names records;  // what the system log was sent
        platform::RedirectSystemLog([&](const std::string& identifier, const std::string& text) {
            records.push_back(identifier + ": " + text);
        });

        EXPECT_TRUE(scan(30));
        platform::RedirectSystemLog({});

        const std::string audit = AuditLogPath(install->paths().installPath);
        std::vector<Names> rows = AuditRows(audit);
        ASSERT_EQ(rows.size(), 2u);
        std::sort(rows.begin(), rows.end(), [](const Names& a, const Names& b) { return a[1] < b[1]; });
        ASSERT_EQ(rows[0].size(), 10u);
        EXPECT_EQ(rows[0][0].size(), 25u);  // YYYY-MM-DDTHH:MM:SS+HH:MM
        EXPECT_EQ(rows[0][0][10], 'T');
        EXPECT_EQ(rows[0][0][22], ':');
        const std::string run = rows[0][6].substr(5);  // after "run: "
        const Names runFields{"run: " + run, "threshold: 30", "origin: dialog", "operator: " + platform::OperatorName()};
        const std::string folder = EscapedForLine(install->folderOf("n\r\nx"));  // holds backslashes on Windows
        Names ann{"ann", EscapedForLine(annFolder), "2024-01-05", "keys: removed", tervox};
        Names forged{"n\\x0D\\x0Ax", folder, "2023-12-01", "keys: not removed", notThere};
        ann.insert(ann.end(), runFields.begin(), runFields.end());
        forged.insert(forged.end(), runFields.begin(), runFields.end());
        EXPECT_EQ(Names(rows[0].begin() + 1, rows[0].end()), ann);
        EXPECT_EQ(Names(rows[1].begin() + 1, rows[1].end()), forged);
        EXPECT_EQ(userKeyNames(), Names{"bob"});

        const std::string prefix = "dormix: run " + run + ": ";
        ASSERT_EQ(records.size(), 4u);
        EXPECT_EQ(records[0], prefix + "started, threshold 30 days, origin dialog, operator " + platform::OperatorName());
        std::sort(records.begin() + 1, records.begin() + 3);
        EXPECT_EQ(records[1], prefix + "deleted ann (" + EscapedForLine(annFolder) + ")");
        EXPECT_EQ(records[2], prefix + "deleted n\\x0D\\x0Ax (" + folder + ")");
        EXPECT_EQ(records[3], prefix + "ended, deleted 2, failed " + (withDatabase ? "0" : "2") + ", kept 0, stopped no");
    }
}

// The accounts of the batch in hand not yet touched are left whole for the next run, key records
// included, and no unfinished deletion names them (batches of two: a stop in the second one); the
// log has lines only for the accounts met before the stop. The same when they go into quarantine.
TEST_F(ScanTest, AStopEndsTheScanAfterTheAccountInHand) {
    const Names users = {"ann", "bob", "cleo", "dora"};
    for (const bool grace : {false, true})
        for (const std::size_t batch : {1u, 2u, 4u})
            for (const int k : {0, 1, 2, 3, 4}) {
                SCOPED_TRACE(std::to_string(grace) + " " + std::to_string(batch) + " " + std::to_string(k));
                reset();
                const ScopedEnv windir("WINDIR", dir->file("windows"));
                std::filesystem::create_directories(dir->file("windows"));
                WriteBytes(dir->file("windows/VELTA.INI"), grace ? "[DORMIX]\r\nGRACEDAYS=30\r\n" : "");
                for (const std::string& user : users) install->addAccount(user, logon(90));
                for (const char* user : {"nina", "otto", "pia"}) install->addAccount(user, std::nullopt);
                install->writeKeyFiles(users);
                boxes.answers = {Answer::No};
                // The log has the lines of the accounts met before the first one left.
                std::string log;
                Names order;
                for (const std::string& user : searchOrder()) {
                    if (std::find(users.begin(), users.end(), user) != users.end()) order.push_back(user);
                    else if (k > 0 && static_cast<int>(order.size()) <= k) log += user + ", has no user.ini file \r\n";
                }
                StopAfter progress(k);
                const int deleted = k;

                const ScanReport report = ScanDormantAccounts(30, install->paths(), boxes, now, &progress, batch);
                EXPECT_EQ(report.end, deleted < 4 ? ScanEnd::Stopped : ScanEnd::Done);
                // A stop asked at once ends the reading, before any account was counted.
                EXPECT_EQ(report.left(), k == 0 ? 0 : 4 - deleted);

                for (int i = 0; i < 4; ++i) EXPECT_EQ(hasFolder(order[i]), i >= deleted) << order[i];
                Names left(order.begin() + deleted, order.end());
                std::sort(left.begin(), left.end());
                EXPECT_EQ(userKeyNames(), left);
                EXPECT_FALSE(Exists(PendingDeletionsPath(install->paths().installPath)));
                EXPECT_EQ(install->log(), log);
                Names expectedTold;
                for (int i = 0; i < deleted; ++i) expectedTold.push_back(std::to_string(i + 1) + "/4 " + order[i]);
                EXPECT_EQ(progress.told, expectedTold);
                EXPECT_EQ(AuditRows(AuditLogPath(install->paths().installPath)).size(), static_cast<std::size_t>(deleted));
                EXPECT_EQ(report.deleted.size(), static_cast<std::size_t>(deleted));
                EXPECT_EQ(progress.read, k == 0 ? 1 : 7);
            }
}

TEST_F(ScanTest, ProtectedAccountsAreNeitherDeletedNorLogged) {
    const std::string fullList = std::string(platform::kMaxProfileValue, 'x') + ",ann";
    for (const auto& [list, deleted] : {std::pair{std::string(" Postmaster , ABUSE,,"), Names{"ann"}},
                                       {std::string(), Names{"abuse", "ann", "postmaster"}}, {fullList, Names{}}}) {
        SCOPED_TRACE(list);
        reset();
        const std::string windir = dir->file("windows");
        ScopedEnv settings("WINDIR", windir);
        std::filesystem::create_directories(windir);
        WriteBytes(windir + "/VELTA.INI", "[DORMIX]\r\nPROTECT=" + list + "\r\n");
        for (const char* user : {"postmaster", "abuse", "ann"}) install->addAccount(user, logon(90));
        install->addAccount("Abuse", std::nullopt);
        // A batch cut short by a kill names postmaster, protected since: it is left alone too.
        PendingBatch pending;
        pending.accounts.push_back({install->folderOf("postmaster"), std::nullopt, std::nullopt, false});
        ASSERT_TRUE(WritePendingDeletions(PendingDeletionsPath(install->paths().installPath), pending));
        boxes.answers = {Answer::No};

        EXPECT_EQ(scan(30), !ParseProtectedAccounts(list).cut);

        for (const char* user : {"postmaster", "abuse", "ann"}) {
            EXPECT_EQ(hasFolder(user), std::find(deleted.begin(), deleted.end(), user) == deleted.end()) << user;
        }
        if (ParseProtectedAccounts(list).cut) {
            EXPECT_EQ(boxes.texts(), Names{kProtectListTooLong});
        } else {
            EXPECT_EQ(install->log().empty(), !list.empty());  // "Abuse" is protected too
        }
    }
}

// Names and folders as disk can hold them go into a deleted.log line, a command line and a saved
// list as one field of one line, and no two differ only by how they were escaped.
TEST(LineEscape, HostileNamesCannotForgeAFieldOrALine) {
    const std::pair<const char*, const char*> escaped[] = {
        {"a\tb", "a\\x09b"}, {"a\nb", "a\\x0Ab"}, {"a\\x0Ab", "a\\\\x0Ab"}, {"a\r\nb", "a\\x0D\\x0Ab"},
        {"del\x7F", "del\\x7F"}, {"C:\\u", "C:\\\\u"}, {"caf\xC3\xA9", "caf\xC3\xA9"},
    };
    for (const auto& [name, expected] : escaped) {
        const std::string line =
            AuditLine({std::string("/v/") + name, name, Verdict::Dormant, {}, {}, 0, {}}, {}, 0, RunIdentity{});
        EXPECT_EQ(line.substr(25, line.find("\t\t") - 25), std::string("\t") + expected + "\t/v/" + expected) << line;
    }
    const std::pair<const char*, const char*> csv[] = {
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""}, {"+1", "'+1"}, {"-1", "'-1"}, {"@A1", "'@A1"},
        {"\tx", "'\\x09x"}, {"\rx", "'\\x0Dx"}, {"a\nb,c", "\"a\\x0Ab,c\""}, {"x=1", "x=1"},
    };
    for (const auto& [field, expected] : csv) EXPECT_EQ(CsvText({{field}}), std::string(expected) + "\r\n") << field;
}

}  // namespace
