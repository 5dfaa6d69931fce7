// A deleting run, with and without a grace period: an account whose "user.ini" changed after it
// was judged is kept; a run refused (exit 4) changed nothing, and one that stops after its first
// change says it broke off (exit 1); batches grow with the key files.
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "dormix/scan/PendingDeletions.h"
#include "dormix/scan/ScanDormantAccounts.h"
#include "dormix/scan/ScanProgress.h"
#include "tests/quarantine/QuarantineSite.h"
#include "tests/reliability/FaultLoop.h"
#include "tests/scan/fixture/KeyFiles.h"
#include "tests/support/ScriptedMessageBoxes.h"

namespace fs = std::filesystem;

namespace reliability {
namespace {

const std::time_t kNow = LocalTime(2024, 3, 15, 12);

// The site's accounts were last used on 2020/1/1; GRACEDAYS as given.
struct GraceSite {
    explicit GraceSite(const char* graceDays) {
        fs::create_directories(s.dir.file("windows"));
        WriteBytes(s.dir.file("windows") + "/VELTA.INI", std::string("[DORMIX]\r\nGRACEDAYS=") + graceDays + "\r\n");
    }
    ScanReport scan(std::time_t at, ScanProgress* progress = nullptr, std::size_t batchSize = 1000) {
        boxes = ScriptedMessageBoxes();
        boxes.answers = {platform::Answer::No};
        return ScanDormantAccounts(30, s.site.paths(), boxes, at, progress, batchSize);
    }
    // The account folders, the key files and the quarantine, without temporary files.
    FileTree installation() const {
        FileTree tree = TreeOf(s.site.userFolder());
        for (auto& [path, bytes] : TreeOf(s.install() + "/Quarantine")) tree["Quarantine/" + path] = bytes;
        std::erase_if(tree, [](const auto& entry) { return IsTemporaryName(entry.first); });
        return tree;
    }
    QuarantineSite s;
    ScopedEnv settings{"WINDIR", s.dir.file("windows")};
    ScriptedMessageBoxes boxes;
};

struct OnDeleting : ScanProgress {
    std::function<void(const std::string&)> act;
    void deleting(int, int, const std::string& userName) override { act(userName); }
    bool stopRequested() override { return false; }
};

}  // namespace

TEST(DeletingRun, AnAccountWhoseUserIniChangedSinceItWasJudgedIsKept) {
    const std::vector<std::pair<const char*, std::function<void(const std::string&)>>> changes = {
        {"emptied", [](const std::string& ini) { WriteBytes(ini, ""); }},
        {"unreadable", [](const std::string& ini) {
             fs::remove(ini);
             fs::create_directory(ini);
         }},
        {"a logon today", [](const std::string& ini) { WriteBytes(ini, "[PROGRAM]\r\nLASTLOGON=2024/3/15\r\n"); }},
    };
    for (const char* graceDays : {"0", "30"}) {
        for (const auto& [what, change] : changes) {
            GraceSite run(graceDays);
            const std::string ann = run.s.site.folderOf("ann");
            OnDeleting progress;
            progress.act = [&, &change = change](const std::string& user) {
                if (user == "ann") change(ann + "/user.ini");
            };
            const ScanReport report = run.scan(kNow, &progress);
            const std::string at = std::string(what) + ", GRACEDAYS=" + graceDays;
            EXPECT_EQ(report.deleted.size(), kSiteUsers.size() - 1) << at;
            EXPECT_EQ(ReadBytes(ann + "/mail/inbox/1.msg"), "Subject: hello\r\n\r\nbody\r\n") << at;
            EXPECT_EQ(ReadKeyFile(run.s.site.userKeyPath()), (std::vector<KeyEntry>{{UserKeyOf("ann"), UserTimeKeyOf("ann")}})) << at;
        }
    }
}

// Whatever fails, a run told refused changed nothing; after its first change it is broken off.
TEST(DeletingRun, ARunThatStopsAfterItsFirstChangeIsBrokenOffNotRefused) {
    struct Case {
        const char* what;
        const char* graceDays;
        std::function<void(GraceSite&)> arrange;
    };
    const std::vector<Case> cases = {
        {"deleting", "0", [](GraceSite&) {}},
        {"finishing a pending batch", "0", [](GraceSite& run) {
             // ann's folder was emptied but for "user.ini" by a run killed before her key records went.
             const std::string ann = run.s.site.folderOf("ann");
             fs::remove_all(ann + "/mail");
             fs::remove(ann + "/addresses.txt");
             PendingBatch pending;
             pending.accounts.push_back({ann, std::nullopt, std::nullopt, false});
             WritePendingDeletions(PendingDeletionsPath(run.s.install()), pending);
         }},
        {"purging and quarantining", "30", [](GraceSite& run) {
             run.s.site.addAccount("zed", "2024/2/1");  // quarantined by this run only
             run.scan(kNow - 40 * 86400);  // the others, purged by this run
         }},
    };
    for (const Case& c : cases) {
        for (const fault::Step step : {fault::Step::Create, fault::Step::Write, fault::Step::Flush, fault::Step::Rename}) {
            std::unique_ptr<GraceSite> run;
            FileTree before;
            ScanReport report;
            const auto prepare = [&] {
                run.reset();
                run = std::make_unique<GraceSite>(c.graceDays);
                c.arrange(*run);
                before = run->installation();
            };
            ForEachInjectedFailure(step, prepare, [&] { report = run->scan(kNow); }, [&](const FaultRun& f) {
                const std::string at = std::string(c.what) + ", " + StepName(step) + " #" + std::to_string(f.n);
                if (report.end == ScanEnd::Refused) {
                    EXPECT_EQ(TreeDifference(before, run->installation()), "") << at << ": " << report.problem;
                }
            });
        }
    }
}

// Cancel at the question leaves the installation as it was, though accounts in quarantine are due
// for purging: they are purged only after an answer. With no dormant account the purge asks its
// own question, and No leaves them too.
TEST(DeletingRun, ACancelAtTheQuestionChangesNothingThoughPurgesAreDue) {
    for (const bool dormant : {true, false}) {
        SCOPED_TRACE(dormant);
        GraceSite run("30");
        run.scan(kNow - 40 * 86400);  // the five accounts, due for purging at kNow
        if (dormant) run.s.site.addAccount("zed", "2024/2/1");
        run.s.site.writeKeyFiles({"zed"});
        const FileTree before = run.s.files();
        const std::vector<std::string> users = run.s.tervoxUsers();
        run.boxes.shown.clear();
        run.boxes.answers = {dormant ? platform::Answer::Cancel : platform::Answer::No};

        const ScanReport report = ScanDormantAccounts(30, run.s.site.paths(), run.boxes, kNow);

        EXPECT_EQ(report.end, dormant ? ScanEnd::Cancelled : ScanEnd::NothingFound);
        EXPECT_EQ(TreeDifference(before, run.s.files()), "");
        EXPECT_EQ(run.s.tervoxUsers(), users);
        ASSERT_EQ(run.boxes.shown.size(), 1u);
        EXPECT_EQ(run.boxes.shown[0].buttons, dormant ? platform::Buttons::YesNoCancel : platform::Buttons::YesNoDefaultNo);
    }
}

// Each batch rewrites both key files whole: past 100,000 records a batch takes an account per
// hundred records, so a scan asked for batches of one rewrites no more often than one asked for
// batches of three accounts.
TEST(DeletingRun, BatchesGrowWithTheKeyFiles) {
    const auto rewrites = [](std::size_t filler, std::size_t batchSize) {
        GraceSite run("0");
        for (const char* user : {"bob", "cleo"}) fs::remove_all(run.s.site.folderOf(user));
        run.s.site.writeKeyFiles({"ann", "dan", "eve"});
        // Records of an empty key sort first: the files grow without changing whose records they hold.
        for (const std::string& path : {run.s.site.userKeyPath(), run.s.site.userTimeKeyPath()}) {
            const std::string records = ReadBytes(path);
            fs::resize_file(path, 0);
            fs::resize_file(path, filler * 256);
            std::ofstream(path, std::ios::binary | std::ios::app) << records;
        }
        int replaced = 0;
        fault::BeforeReplace([&] { ++replaced; }, 1000);
        const ScanReport report = run.scan(kNow, nullptr, batchSize);
        fault::Reset();
        EXPECT_EQ(report.deleted.size(), 3u);
        return replaced;
    };
    EXPECT_GT(rewrites(0, 1), rewrites(0, 3));
    EXPECT_EQ(rewrites(100000, 1), rewrites(100000, 3));
}

}  // namespace reliability
