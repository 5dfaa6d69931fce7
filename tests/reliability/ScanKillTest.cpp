// A scan of three batches is killed at every pass of the fault seam; the same scan run again
// must end exactly where one uninterrupted scan ends.
#include <cstdio>
#include <set>

#include <gtest/gtest.h>

#include "dormix/scan/AuditLog.h"
#include "dormix/scan/ScanDormantAccounts.h"
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
    bool scan() const {
        ScriptedMessageBoxes boxes;
        boxes.answers = {platform::Answer::Yes};
        return ScanDormantAccounts(30, install.paths(), boxes, kNow, nullptr, 2).ranThrough();
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
};

TEST(ScanKill, ARerunAfterAKillAtAnyStepEndsAsOneUninterruptedScan) {
    SKIP_ON_WINDOWS("a kill at every step runs the operation in a forked child, and Windows has no fork");
    FileTree expected;
    std::vector<std::string> expectedUsers;
    {
        Site reference;
        ASSERT_TRUE(reference.scan());
        expected = reference.files();
        expectedUsers = reference.tervoxUsers();
        ASSERT_EQ(reference.recorded(), (std::set<std::string>{"ann", "cleo", "dan", "eve", "gus", "hal"}));
    }
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

}  // namespace
}  // namespace reliability
