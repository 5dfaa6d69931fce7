// A scan is killed at every pass of the fault seam while it deletes one dormant account; the next
// scan then finds the account again and finishes it: nothing is left half-deleted for ever.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "dormix/scan/ScanDormantAccounts.h"
#include "tests/reliability/FaultLoop.h"
#include "tests/scan/fixture/DormixInstallation.h"
#include "tests/scan/fixture/KeyFiles.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace reliability {

namespace {

using Names = std::vector<std::string>;

Names KeyNames(const std::string& path, bool values) {
    Names names;
    for (const KeyEntry& e : ReadKeyFile(path)) names.push_back(values ? e.second : e.first);
    std::sort(names.begin(), names.end());
    return names;
}

Names TervoxNames(const std::string& db) {
    Names names;
    for (const TervoxUser& u : ReadUserDb(db)) names.push_back(u.name);
    return names;
}

bool Scan(const DormixInstallation& install, std::time_t now) {
    ScriptedMessageBoxes boxes;
    boxes.answers = {platform::Answer::Yes};
    return ScanDormantAccounts(30, install.paths(), boxes, now);
}

TEST(AccountKill, TheNextScanFinishesAnAccountWhoseDeletionWasKilledAtAnyStep) {
    const std::time_t now = LocalTime(2024, 3, 15, 23);
    int kills = 0, orphanedTimeRecords = 0, emptyFolders = 0;
    bool completed = false;
    for (int n = 1; n < 200 && !completed; ++n) {
        TempDir dir;
        DormixInstallation install(dir.path().string());
        ScopedEnv db("ACCTKIT_DB", install.tervoxDb());
        const std::string ann = install.addAccount("ann", LogonDaysBefore(now, 100));
        install.addAccount("bob", LogonDaysBefore(now, 3));
        install.writeKeyFiles({"ann", "bob"});
        install.writeTervoxUsers({"ann", "bob"});

        const ChildEnd end = RunChildKilledAt(n, [&] { Scan(install, now); });
        ASSERT_NE(end, ChildEnd::Other) << "#" << n;
        completed = end == ChildEnd::Completed;
        kills += !completed;
        // A kill between the replacements of the two key files leaves the second one's record:
        // "USER.KEY" goes first, as the web-mail product needs, and no later scan can find it.
        const bool userKeyDone = KeyNames(install.userKeyPath(), false) == Names{UserKeyOf("bob")};
        const bool timeKeyDone = KeyNames(install.userTimeKeyPath(), true) == Names{"bob"};
        // A kill between the removal of "user.ini" and of the folder, then empty, leaves that folder;
        // nothing of the account is in it, and later scans list it as having no "user.ini".
        const bool emptied = Exists(ann) && std::filesystem::is_empty(ann);
        emptyFolders += emptied;

        EXPECT_TRUE(Scan(install, now)) << "#" << n;

        EXPECT_EQ(Exists(ann), emptied) << "#" << n;
        EXPECT_TRUE(Exists(install.folderOf("bob") + "/user.ini")) << "#" << n;
        EXPECT_EQ(KeyNames(install.userKeyPath(), false), Names{UserKeyOf("bob")}) << "#" << n;
        if (!userKeyDone || timeKeyDone) {
            EXPECT_EQ(KeyNames(install.userTimeKeyPath(), true), Names{"bob"}) << "#" << n;
        }
        orphanedTimeRecords += KeyNames(install.userTimeKeyPath(), true) != Names{"bob"};
        EXPECT_EQ(TervoxNames(install.tervoxDb()), Names{"bob"}) << "#" << n;
        EXPECT_EQ(install.log(), emptied ? "ann, has no user.ini file \r\n" : "") << "#" << n;
    }
    EXPECT_TRUE(completed);
    std::printf("[ kills    ] account deletion: %d kill points, %d left a USERTIME.KEY record, %d an empty folder\n", kills,
                orphanedTimeRecords, emptyFolders);
}

}  // namespace

}  // namespace reliability
