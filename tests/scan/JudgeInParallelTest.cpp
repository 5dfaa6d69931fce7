// Judging with several threads gives exactly what one thread gives: every field of every account,
// in folder order, and the same calls of keep, on random installations; a stop ends both alike,
// and ends the search of the folders too.
#include <filesystem>
#include <random>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "dormix/scan/CollectAccountFolders.h"
#include "dormix/scan/JudgeAccounts.h"
#include "platform/FaultInjection.h"
#include "tests/scan/fixture/DormixInstallation.h"
#include "tests/support/TempDir.h"

namespace {

const std::time_t kNow = LocalTime(2024, 3, 15, 23);
constexpr std::int32_t kDays = 90;

auto Fields(const AccountJudgement& a) {
    return std::tie(a.folder, a.userName, a.verdict, a.logReason, a.lastLogon, a.daysSince, a.warning);
}

struct Judged {
    std::vector<AccountJudgement> kept;
    std::vector<AccountJudgement> seen;  // every account keep was called with, in order
    std::string problem;
};

// keep holds every third account and, past stopAfter accounts, the judging is asked to stop.
Judged Judge(const DormixInstallation& install, const ProtectedAccounts& protectedAccounts, unsigned threads,
             std::size_t stopAfter = SIZE_MAX) {
    Judged judged;
    const JudgingWork work{threads, [&] { return judged.seen.size() >= stopAfter; }};
    JudgedAccounts result = JudgeAccounts(kDays, install.paths(), protectedAccounts, kNow, [&](const AccountJudgement& account) {
        judged.seen.push_back(account);
        return judged.seen.size() % 3 != 0;
    }, work);
    judged.kept = std::move(result.kept);
    judged.problem = std::move(result.problem);
    return judged;
}

void ExpectSame(const std::vector<AccountJudgement>& got, const std::vector<AccountJudgement>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_TRUE(Fields(got[i]) == Fields(want[i])) << i << " " << want[i].folder;
}

// A user.ini of each kind that judging tells apart, and some folders without one.
void AddRandomAccount(DormixInstallation& install, std::mt19937& random, std::vector<std::string>& names) {
    const std::string name = "u" + std::to_string(random()) + (random() % 2 ? "x" : "Y");
    names.push_back(name);
    const std::string folder =
        install.userFolder() + "/" + HexFolderName(name, random() % 2 ? HexCase::Upper : HexCase::Lower);
    std::filesystem::create_directory(folder);
    const std::string logon = LogonDaysBefore(kNow, static_cast<int>(random() % 200), random() % 2 ? '/' : '-');
    const std::string texts[] = {"[PROGRAM]\r\nLASTLOGON=" + logon + "\r\n", "[PROGRAM]\r\nLASTLOGON=\r\n",
                                 "[PROGRAM]\r\nLASTLOGON=1999/5\r\n",  "[PROGRAM]\r\nLASTLOGON=x/y/z\r\n",
                                 "[PROGRAM]\r\nLASTLOGON=2020/14/40\r\n", "[OTHER]\r\nLASTLOGON=2020/1/1\r\n",
                                 std::string("\0\xff[PROGRAM", 10),    ""};
    switch (const auto kind = random() % 10) {
        case 8:
            break;  // no user.ini
        case 9:
            std::filesystem::create_directory(folder + "/user.ini");  // there, but no file to read
            break;
        default:
            WriteBytes(folder + (kind % 2 ? "/USER.INI" : "/user.ini"), texts[kind]);
    }
}

}  // namespace

TEST(JudgeInParallel, ThePoolJudgesAndKeepsExactlyAsOneThread) {
    for (const unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        TempDir dir;
        DormixInstallation install{dir.path().string()};
        std::mt19937 random(seed);
        std::vector<std::string> names;
        for (int i = 0; i < 200; ++i) AddRandomAccount(install, random, names);
        ProtectedAccounts protectedAccounts;
        for (std::size_t i = seed; i < names.size(); i += 17) protectedAccounts.names.push_back(names[i]);

        const Judged one = Judge(install, protectedAccounts, 1);
        ASSERT_EQ(one.seen.size(), names.size());
        std::set<Verdict> verdicts;
        for (const AccountJudgement& account : one.seen) verdicts.insert(account.verdict);
        EXPECT_EQ(verdicts.size(), 4u);  // kept, dormant, logged and protected all met
        for (const unsigned threads : {2u, 8u}) {
            const Judged pool = Judge(install, protectedAccounts, threads);
            ExpectSame(pool.seen, one.seen);
            ExpectSame(pool.kept, one.kept);
        }
        // Stopped after some accounts: the same first accounts, and not one more.
        const std::size_t stopAfter = 1 + random() % names.size();
        const Judged stoppedOne = Judge(install, protectedAccounts, 1, stopAfter);
        const Judged stoppedPool = Judge(install, protectedAccounts, 8, stopAfter);
        EXPECT_EQ(stoppedOne.seen.size(), stopAfter);
        ExpectSame(stoppedPool.seen, stoppedOne.seen);
        ExpectSame(stoppedPool.kept, stoppedOne.kept);
        // The search itself ends there: the names after it are not even listed.
        std::size_t listed = 0;
        ForEachAccountFolder(install.paths().userFolderPattern, [&](const std::string&) { return ++listed < stopAfter; });
        EXPECT_EQ(listed, stopAfter);
        // A listing that fails at its n-th entry read, in the folder of the accounts or in an
        // account's own folder: the first is told, with the accounts before it, the same as ever.
        std::set<std::size_t> toldAt;
        for (int n = 1; n <= 40; ++n) {
            platform::fault::FailAt(platform::fault::Step::List, n);
            const Judged failed = Judge(install, protectedAccounts, 8);
            platform::fault::Reset();
            if (failed.problem.empty()) continue;
            toldAt.insert(failed.seen.size());
            const std::string told = "The account folders in " + install.userFolder() + " cannot be listed: ";
            EXPECT_EQ(failed.problem.rfind(told, 0), 0u) << failed.problem;
            EXPECT_TRUE(failed.problem.ends_with(". Nothing was deleted.") && failed.problem.find("..") == std::string::npos)
                << failed.problem;  // the system's reason between, whose own period is not doubled
            ExpectSame(failed.seen, std::vector(one.seen.begin(), one.seen.begin() + static_cast<long>(failed.seen.size())));
        }
        EXPECT_TRUE(toldAt.count(0) && toldAt.size() > 2) << toldAt.size();  // at the start, and midway
        EXPECT_EQ(Judge(install, protectedAccounts, 8).problem, "");
    }
}
