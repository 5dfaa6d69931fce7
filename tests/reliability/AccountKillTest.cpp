// A scan is killed at every pass of the fault seam while it deletes one dormant account; the next
// scan then finds the account again and finishes it: nothing is left half-deleted for ever.
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
    return ScanDormantAccounts(30, install.paths(), boxes, now);
}

TEST(AccountKill, TheNextScanFinishesAnAccountWhoseDeletionWasKilledAtAnyStep) {
    SKIP_ON_WINDOWS("a kill at every step runs the operation in a forked child, and Windows has no fork");
    const std::time_t now = LocalTime(2024, 3, 15, 23);
    const std::vector<KeyEntry> bobOnly = {{UserKeyOf("bob"), UserTimeKeyOf("bob")}};
    int kills = 0, timeRecordsLeft = 0, emptyFolders = 0;
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
        // "USER.KEY" loses its record first, as the web-mail product needs; a kill before
        // "USERTIME.KEY" loses its own leaves that record where no later scan can find it.
        const bool timeRecordMayStay = ReadKeyFile(install.userKeyPath()) == bobOnly;
        // A kill between the removal of "user.ini" and of the then empty folder leaves that folder.
        const bool emptied = Exists(ann) && std::filesystem::is_empty(ann);
        EXPECT_TRUE(Scan(install, now)) << "#" << n;

        EXPECT_EQ(Exists(ann), emptied) << "#" << n;
        EXPECT_TRUE(Exists(install.folderOf("bob") + "/user.ini")) << "#" << n;
        EXPECT_EQ(ReadKeyFile(install.userKeyPath()), bobOnly) << "#" << n;
        const bool timeRecordLeft = ReadKeyFile(install.userTimeKeyPath()).size() != 1;
        EXPECT_TRUE(!timeRecordLeft || timeRecordMayStay) << "#" << n;
        EXPECT_EQ(ReadUserDb(install.tervoxDb()), (std::vector<TervoxUser>{{0, "bob", install.tervoxFile("bob")}})) << "#" << n;
        EXPECT_EQ(install.log(), emptied ? "ann, has no user.ini file \r\n" : "") << "#" << n;
        if (end == ChildEnd::Completed) break;
        ++kills;
        timeRecordsLeft += timeRecordLeft;
        emptyFolders += emptied;
    }
    EXPECT_GT(kills, 10);
    std::printf("[ kills    ] account deletion: %d kill points, %d left a USERTIME.KEY record, %d an empty folder\n", kills,
                timeRecordsLeft, emptyFolders);
}

}  // namespace
}  // namespace reliability
