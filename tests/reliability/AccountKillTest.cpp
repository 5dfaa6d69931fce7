// A scan is killed at every pass of the fault seam while it deletes one dormant account; the next
// scan then finds the account again, or finishes it from the pending deletions: nothing is left
// half-deleted for ever.
#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "dormix/scan/ScanDormantAccounts.h"
#include "tests/reliability/FaultLoop.h"
#include "tests/scan/fixture/DormixInstallation.h"
#include "tests/scan/fixture/KeyFiles.h"
#include "tests/support/Portable.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace reliability {
namespace {

bool Scan(const DormixInstallation& install, std::time_t now) {
    ScriptedMessageBoxes boxes;
    boxes.answers = {platform::Answer::Yes};
    return ScanDormantAccounts(30, install.paths(), boxes, now).ranThrough();
}

TEST(AccountKill, TheNextScanFinishesAnAccountWhoseDeletionWasKilledAtAnyStep) {
    SKIP_ON_WINDOWS("a kill at every step runs the operation in a forked child, and Windows has no fork");
    const std::time_t now = LocalTime(2024, 3, 15, 23);
    const std::vector<KeyEntry> bobOnly = {{UserKeyOf("bob"), UserTimeKeyOf("bob")}};
    int kills = 0;
    for (int n = 1; n < 200; ++n) {
        TempDir dir;
        DormixInstallation install(dir.path().string());
        ScopedEnv db("ACCTKIT_DB", install.tervoxDb());
        const std::string ann = install.addAccount("ann", LogonDaysBefore(now, 100));
        install.addAccount("bob", LogonDaysBefore(now, 3));
        install.writeKeyFiles({"ann", "bob"});
        install.writeTervoxUsers({"ann", "bob"});

        const ChildEnd end = RunChildKilledAt(n, [&] { Scan(install, now); });
        ASSERT_NE(end, ChildEnd::Other) << "#" << n;
        EXPECT_TRUE(Scan(install, now)) << "#" << n;

        EXPECT_FALSE(Exists(ann)) << "#" << n;
        EXPECT_TRUE(Exists(install.folderOf("bob") + "/user.ini")) << "#" << n;
        EXPECT_EQ(ReadKeyFile(install.userKeyPath()), bobOnly) << "#" << n;
        EXPECT_EQ(ReadKeyFile(install.userTimeKeyPath()).size(), 1u) << "#" << n;
        EXPECT_EQ(ReadUserDb(install.tervoxDb()), (std::vector<TervoxUser>{{0, "bob", install.tervoxFile("bob")}})) << "#" << n;
        EXPECT_EQ(install.log(), "") << "#" << n;
        if (end == ChildEnd::Completed) break;
        ++kills;
    }
    EXPECT_GT(kills, 10);
    std::printf("[ kills    ] account deletion: %d kill points\n", kills);
}

}  // namespace
}  // namespace reliability
