// The catalogue save under every injected failure of its settings write and its file write: each
// file is whole, old or new, no temporary file stays, and a failed catalogue write is reported.
#include <memory>

#include <gtest/gtest.h>

#include "marqueta/catalogue/CatalogueFile.h"
#include "tests/catalogue/MarquetaInstallation.h"
#include "tests/reliability/FaultLoop.h"
#include "tests/reliability/FileTree.h"

namespace reliability {

namespace {

const std::string kOldCatalogue = "old.gif,Acme,Hammer,1,http://a/,1/1/1999,1/1/1999,1,00000001,.gif,\r\n";

Cells Banner(int i) {
    const std::string n = std::to_string(i);
    return {"b" + n + ".gif", "Company " + n, "Product", n, "http://b" + n + "/", "01/02/1999", "12/31/1999",
            "0.5", "0000" + std::to_string(1000 + i), ".gif"};
}

// The lines the save must write, built here field by field rather than by the saver's own helper.
std::string ExpectedCatalogue(int rows) {
    std::string text;
    for (int i = 0; i < rows; ++i) {
        for (const std::string& field : Banner(i)) text += field + ",";
        text += "\r\n";
    }
    return text;
}

std::string Settings(const std::string& lastBrowseDir) {
    return "[PROGRAM]\r\nHTMLPATH=C:\\web\r\n[BANNER]\r\nLASTBROWSEDIR=" + lastBrowseDir + "\r\n";
}

struct SaveCase {
    const char* name;
    const char* browseDirBefore;  // equal to the program's: the settings file is left alone
    int safeWrites;               // files the save replaces
};

void PrintTo(const SaveCase& c, std::ostream* out) { *out << c.name; }

class CatalogueSaveFaults : public ::testing::TestWithParam<SaveCase> {};

TEST_P(CatalogueSaveFaults, EveryFailureLeavesWholeFilesAndIsReportedWhereItCounts) {
    const SaveCase c = GetParam();
    constexpr int kRows = 200;
    std::unique_ptr<MarquetaInstallation> site;
    FileTree before, after;

    const auto prepare = [&] {
        site.reset();  // the old one first: it restores WINDIR when it goes
        site = std::make_unique<MarquetaInstallation>();
        site->paths.lastBrowseDir = "/home/ann/pictures/";
        WriteBytes(site->settingsFile(), Settings(c.browseDirBefore));
        WriteBytes(site->paths.dataFilePath, kOldCatalogue);
        for (int i = 0; i < kRows; ++i) site->addRow(Banner(i));
        before = TreeOf(site->dir.path().string());
        after = before;
        after["web/banners/bannerfile.txt"] = ExpectedCatalogue(kRows);
        after["windows/VELTA.INI"] = Settings("/home/ann/pictures/");
    };
    const std::string catalogue = "web/banners/bannerfile.txt", settings = "windows/VELTA.INI";
    bool saved = false;
    const auto operate = [&] { saved = saveCatalogue(site->context); };
    const auto check = [&](const FaultRun& run) {
        const std::string where = StepName(run.step) + " #" + std::to_string(run.n);
        const FileTree now = TreeOf(site->dir.path().string());
        EXPECT_TRUE(AddedPaths(before, now).empty()) << where << "\n" << TreeDifference(before, now);
        ASSERT_TRUE(EachTargetIsOneOf({catalogue, settings}, now, {&before, &after})) << where;
        const bool catalogueWritten = now.at(catalogue) == after.at(catalogue);
        if (!run.fired || run.step == fault::Step::SyncDir) {
            // A failed folder sync comes after the rename: the new file is in place and counts.
            EXPECT_TRUE(saved) << where;
            EXPECT_EQ(now, after) << where << "\n" << TreeDifference(after, now);
        } else if (catalogueWritten) {
            // The failure hit the settings write, which the save passes over without a word.
            EXPECT_TRUE(saved) << where;
            EXPECT_EQ(now.at(settings), before.at(settings)) << where;
        } else {
            EXPECT_FALSE(saved) << where;
            EXPECT_EQ(site->status.messages.back(), "Saving....") << where;
        }
        const std::vector<std::string> expectedBoxes =
            saved ? std::vector<std::string>{}
                  : std::vector<std::string>{"Unable to save file " + site->paths.dataFilePath};
        EXPECT_EQ(site->boxes.texts(), expectedBoxes) << where;
    };

    for (fault::Step step : AllSteps()) {
        const int points = ForEachInjectedFailure(step, prepare, operate, check);
        ReportPoints(std::string("catalogue save, ") + c.name, step, points);
        // Each safe write passes every step at least once.
        EXPECT_GE(points, c.safeWrites) << StepName(step);
        if (HasFatalFailure()) return;
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, CatalogueSaveFaults,
                         ::testing::Values(SaveCase{"settings unchanged", "/home/ann/pictures/", 1},
                                           SaveCase{"settings changed", "/old/", 2}),
                         [](const auto& info) { return info.param.safeWrites == 1 ? "SettingsUnchanged" : "SettingsChanged"; });

}  // namespace

}  // namespace reliability
