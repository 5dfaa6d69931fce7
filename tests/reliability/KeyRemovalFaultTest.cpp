// Removal of a user's key records under every injected failure of either file's rewrite: the
// files are whole, "USERTIME.KEY" loses its record only after "USER.KEY" lost the user's, and
// nothing is left beside them.
#include <gtest/gtest.h>

#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/keyindex/RemoveUserKeysBatch.h"
#include "tests/reliability/FaultLoop.h"
#include "tests/reliability/KeyInstallation.h"

namespace reliability {

namespace {

using Removal = void (*)(const std::string& install, const std::string& name);

// The user's removal alone, and within a batch that names it twice and someone unknown; the
// writes of a small file's copy: the records before and after the user's, or both gathered.
const struct {
    const char* how;
    Removal remove;
    int smallFileWrites;
} kRemovals[] = {
    {"", [](const std::string& install, const std::string& name) { RemoveUserKeys(install, name); }, 2},
    {" in a batch",
     [](const std::string& install, const std::string& name) {
         keyindex::RemoveUserKeysBatch(install, {name, "nobody", name});
     },
     1},
};

void CheckEveryFailure(const std::string& how, Removal remove, int smallFileWrites, int users) {
    KeyInstallation site(users);
    const std::string name = KeyInstallation::UserName(site.removed);
    const std::string operation = "key-record removal" + how + ", " + std::to_string(users) + " users";
    int userOnly = 0;
    const auto check = [&](const FaultRun& run) {
        const std::string where = operation + ", " + StepName(run.step) + " #" + std::to_string(run.n);
        const FileTree now = TreeOf(site.installPath());
        const bool takesEffect = !run.fired || run.step == fault::Step::SyncDir;
        if (takesEffect) {
            EXPECT_EQ(now, site.bothGone) << where << "\n" << TreeDifference(site.bothGone, now);
        } else if (now == site.userGone) {
            ++userOnly;  // the failure hit "USERTIME.KEY": the first removal stands, as it must
        } else {
            EXPECT_EQ(now, site.before) << where << "\n" << TreeDifference(site.before, now);
        }
    };
    for (fault::Step step : AllSteps()) {
        const int points = ForEachInjectedFailure(
            step, [&] { site.restore(); }, [&] { remove(site.installPath(), name); }, check);
        ReportPoints(operation, step, points);
        EXPECT_GE(points, step != fault::Step::Write ? 2 : users > 1000 ? 8 : 2 * smallFileWrites) << StepName(step);
    }
    EXPECT_GT(userOnly, 0) << "no failure came after the first file was rewritten";
}

TEST(KeyRemovalFaults, EveryFailureLeavesBothFilesWholeAndInStep) {
    // 9000 records make files of over two mebibytes, copied a mebibyte at a time: more writes.
    for (const auto& r : kRemovals)
        for (const int users : {3, 9000}) CheckEveryFailure(r.how, r.remove, r.smallFileWrites, users);
}

}  // namespace

}  // namespace reliability
