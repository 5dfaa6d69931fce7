// Publication of a banner under every injected failure: of the image copy, of the page write and
// of the catalogue save that follows. Each failure leaves exactly the files its message promises,
// and a full disk while the page is written keeps every old file.
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include <gtest/gtest.h>

#include "marqueta/publish/PublishBanner.h"
#include "platform/FileOps.h"
#include "platform/Random.h"
#include "tests/support/Portable.h"
#include "tests/catalogue/MarquetaInstallation.h"
#include "tests/reliability/FaultLoop.h"
#include "tests/reliability/FileTree.h"

namespace reliability {

namespace {

constexpr unsigned kSeed = 4711;
const std::string kCatalogue = "web/banners/bannerfile.txt";
const std::string kSettings = "windows/VELTA.INI";

// One kind of publication: how the installation looks and what the editor submits.
struct Publication {
    const char* name;
    int row;  // -1: a new banner
    std::function<BannerEdit(MarquetaInstallation&)> edit;
};

BannerEdit ChangedLink(MarquetaInstallation& site) {
    BannerEdit edit;
    edit.values = BannerRecord::fromCells(site.rows.row(0).cells);
    edit.loadedUrl = edit.values.url;
    edit.values.url = "http://acme.example/sale";
    return edit;
}

BannerEdit NewBannerFromElsewhere(MarquetaInstallation& site) {
    std::filesystem::create_directories(site.dir.file("pictures"));
    WriteBytes(site.dir.file("pictures/bolt.gif"), "GIF89a-bolt");
    BannerEdit edit;
    edit.values = BannerRecord::fromCells(SampleCells("", ".gif", "http://bolt.example/"));
    edit.sourceImagePath = site.dir.file("pictures/bolt.gif");
    return edit;
}

// An installation with one published banner, its catalogue saved and older settings.
std::unique_ptr<MarquetaInstallation> MakeSite() {
    auto site = std::make_unique<MarquetaInstallation>();
    site->paths.lastBrowseDir = "/home/ann/pictures/";
    site->addPublishedBanner(SampleCells("00004A2F", ".gif", "http://acme.example/tools"), "GIF89a-acme");
    WriteBytes(site->paths.dataFilePath, "logo.gif,Acme Tools,Hammer,3,http://acme.example/tools,03/07/1999,"
                                         "12/31/1999,0.25,00004A2F,.gif,\r\n");
    WriteBytes(site->settingsFile(), "[BANNER]\r\nLASTBROWSEDIR=/old/\r\n");
    return site;
}

struct Result {
    bool published = false;
    std::vector<std::string> boxes;
    FileTree tree;
    std::vector<Cells> rows;  // the list afterwards
};

std::vector<Cells> RowsOf(const MarquetaInstallation& site) {
    std::vector<Cells> rows;
    for (int i = 0; i < site.rows.count(); ++i) rows.push_back(site.rows.row(i).cells);
    return rows;
}

// text with every mention of the installation's temporary root written as "<root>", so that the
// messages of two installations compare.
std::string Rooted(std::string text, const std::string& root) {
    for (std::size_t at = text.find(root); at != std::string::npos; at = text.find(root, at))
        text.replace(at, root.size(), "<root>");
    return text;
}

Result Publish(MarquetaInstallation& site, const Publication& p, BannerEdit& edit) {
    platform::SeedRandom(kSeed);
    Result r;
    r.published = PublishBanner(p.row, edit, site.context);
    for (const std::string& text : site.boxes.texts()) r.boxes.push_back(Rooted(text, site.dir.path().string()));
    r.tree = TreeOf(site.dir.path().string());
    r.rows = RowsOf(site);
    return r;
}

// The same tree with one path taken from another.
FileTree With(FileTree tree, const std::string& path, const FileTree& from) {
    const auto found = from.find(path);
    if (found == from.end()) tree.erase(path);
    else tree[path] = found->second;
    return tree;
}

void PrintTo(const Publication& p, std::ostream* out) { *out << p.name; }

class PageWriteFaults : public ::testing::TestWithParam<Publication> {};

TEST_P(PageWriteFaults, EachFailureLeavesWhatItsMessageSays) {
    const Publication& p = GetParam();

    // A run without faults shows the finished state and the id the publication draws.
    auto site = MakeSite();
    BannerEdit edit = p.edit(*site);
    const FileTree before = TreeOf(site->dir.path().string());
    const std::vector<Cells> rowsBefore = RowsOf(*site);
    const Result done = Publish(*site, p, edit);
    ASSERT_TRUE(done.published);
    ASSERT_EQ(done.boxes.size(), 1u);
    const Cells& published = done.rows.at(p.row >= 0 ? static_cast<std::size_t>(p.row) : done.rows.size() - 1);
    const std::string newId = published[Uid];
    const std::string newImage = "web/banners/images/" + newId + ".gif";
    const std::string newPage = "web/banners/" + newId + ".html";
    ASSERT_TRUE(done.tree.count(newImage) && done.tree.count(newPage));

    const FileTree pageFailed = With(before, newImage, done.tree);  // the copied image stays
    // A failed save keeps the old files, which the catalogue on disk still names.
    const FileTree saveFailed = With(With(pageFailed, newPage, done.tree), kSettings, done.tree);
    const FileTree settingsFailed = With(done.tree, kSettings, before);

    Result r;
    std::map<std::string, int> seen;  // how often each outcome came up
    const auto prepare = [&] {
        site.reset();
        site = MakeSite();
        edit = p.edit(*site);
    };
    const auto operate = [&] { r = Publish(*site, p, edit); };
    const auto check = [&](const FaultRun& run) {
        const std::string where = StepName(run.step) + " #" + std::to_string(run.n);
        const std::string root = site->dir.path().string();
        // Without an image chosen, the publication copies the row's own image.
        const std::string source = edit.sourceImagePath.empty()
                                       ? bannerImagePath(site->paths, rowsBefore.at(0)[Uid], rowsBefore.at(0)[Ext])
                                       : edit.sourceImagePath;
        const std::string copyFailed = "Could not copy file " + source + " to " +
                                       bannerImagePath(site->paths, newId, ".gif") + ". Reason: " +
                                       platform::SystemErrorText(fault::InjectedError(run.step));
        const std::string pageMessage = "Cannot open HTML file '" + bannerPagePath(site->paths, newId) + "'";
        const std::string saveMessage = "Unable to save file " + site->paths.dataFilePath;
        const auto boxes = [&](std::vector<std::string> texts) {
            for (std::string& text : texts) text = Rooted(text, root);
            return texts;
        };
        if (run.fired) ++seen[r.tree == before ? "copy" : r.tree == pageFailed ? "page" : r.tree == saveFailed ? "catalogue"
                                : r.tree == settingsFailed ? "settings" : "through"];
        if (r.tree == before) {
            EXPECT_EQ(r.boxes, boxes({copyFailed})) << where;
            EXPECT_FALSE(r.published) << where;
            EXPECT_EQ(r.rows, rowsBefore) << where;
        } else if (r.tree == pageFailed) {
            EXPECT_EQ(r.boxes, boxes({pageMessage})) << where;
            EXPECT_FALSE(r.published) << where;
            EXPECT_EQ(r.rows, rowsBefore) << where;
        } else if (r.tree == saveFailed) {
            // The report comes only for what was saved.
            EXPECT_EQ(r.boxes, boxes({saveMessage})) << where;
            EXPECT_TRUE(r.published) << where;
            EXPECT_EQ(r.rows, done.rows) << where;
        } else if (r.tree == settingsFailed || r.tree == done.tree) {
            // A failed settings write is passed over; a failed folder sync comes after the rename.
            EXPECT_TRUE(!run.fired || run.step == fault::Step::SyncDir || r.tree == settingsFailed) << where;
            EXPECT_EQ(r.boxes, done.boxes) << where;
            EXPECT_TRUE(r.published) << where;
            EXPECT_EQ(r.rows, done.rows) << where;
        } else {
            ADD_FAILURE() << where << " left an unexpected state:\n" << TreeDifference(done.tree, r.tree);
        }
    };

    for (fault::Step step : AllSteps()) {
        const int points = ForEachInjectedFailure(step, prepare, operate, check);
        ReportPoints(std::string("publication, ") + p.name, step, points);
        EXPECT_GE(points, 3) << StepName(step) << ": the page, the settings and the catalogue pass each step";
    }
    for (const char* outcome : {"copy", "page", "catalogue", "settings"})
        EXPECT_GT(seen[outcome], 0) << "no fault made the " << outcome << " step fail";
}

INSTANTIATE_TEST_SUITE_P(Kinds, PageWriteFaults,
                         ::testing::Values(Publication{"changed link", 0, ChangedLink},
                                           Publication{"new banner", -1, NewBannerFromElsewhere}),
                         [](const auto& info) { return info.param.row < 0 ? "NewBanner" : "ChangedLink"; });

// A real full disk while the page is written: the image fits, the page does not.
TEST(PageWriteDiskFull, ThePageFailsWithItsMessageAndNoOldFileChanges) {
    SKIP_ON_WINDOWS("a full disk is made with fork and RLIMIT_FSIZE, which Windows does not have");
    auto site = MakeSite();
    BannerEdit edit = ChangedLink(*site);
    edit.values.url = "http://acme.example/" + std::string(64 * 1024, 'x');
    const FileTree before = TreeOf(site->dir.path().string());

    const int exitCode = RunChildWithFileSizeLimit(16 * 1024, [&] {
        const bool published = PublishBanner(0, edit, site->context);
        const auto boxes = site->boxes.texts();
        const bool told = boxes.size() == 1 && boxes[0].rfind("Cannot open HTML file '", 0) == 0;
        return !published && told ? 0 : 1;
    });
    EXPECT_EQ(exitCode, 0) << "the page write did not fail with its message";
    const FileTree now = TreeOf(site->dir.path().string());
    // Only the copied image is new, as after any failed page write.
    const std::vector<std::string> added = AddedPaths(before, now);
    ASSERT_EQ(added.size(), 1u) << TreeDifference(before, now);
    EXPECT_EQ(now.at(added[0]), "GIF89a-acme");
    EXPECT_EQ(With(now, added[0], before), before) << TreeDifference(before, now);
}

}  // namespace

}  // namespace reliability
