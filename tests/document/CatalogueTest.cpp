// The program's catalogue object on real files: load and save, the version check against another
// program, the rule that keeps a file not read whole, and deletion beside a copied line.
#include <algorithm>
#include <optional>

#include <gtest/gtest.h>

#include "marqueta/document/Catalogue.h"
#include "platform/SafeWrite.h"
#include "platform/TextMode.h"
#include "tests/catalogue/MarquetaInstallation.h"

namespace {

using platform::Answer;

std::string Lines(const std::vector<Cells>& rows) {
    std::string text;
    for (const Cells& cells : rows) text += catalogueLine(cells);
    return platform::ToCrLf(text);
}

const Cells kA = SampleCells("0000000A", ".gif"), kB = SampleCells("0000000B", ".gif"),
            kC = SampleCells("0000000C", ".gif");

}  // namespace

TEST(Catalogue, LoadsItsFileAndSavesItBackKnowingTheVersionOnDisk) {
    MarquetaInstallation site;
    const std::string& path = site.paths.dataFilePath;
    WriteBytes(path, Lines({kA, kB}));
    const auto catalogue = site.programCatalogue();
    ASSERT_TRUE(catalogue->load());
    EXPECT_EQ(catalogue->rows().count(), 2);
    EXPECT_EQ(catalogue->fileState().stamp, platform::StampOf(path));
    EXPECT_EQ(catalogue->fileState().contentHash, CatalogueHash(Lines({kA, kB})));
    EXPECT_EQ(site.trace.str().rfind("Line 0, field 0, word logo.gif\n", 0), 0u);

    catalogue->rows().removeRow(0);
    ASSERT_TRUE(catalogue->save());
    EXPECT_EQ(ReadBytes(path), Lines({kB}));
    EXPECT_EQ(catalogue->fileState().stamp, platform::StampOf(path));
    EXPECT_EQ(catalogue->fileState().contentHash, CatalogueHash(Lines({kB})));
    EXPECT_EQ(site.status.messages.back(), "Done");
    EXPECT_TRUE(site.boxes.shown.empty());
    EXPECT_TRUE(catalogue->mayBeLeft());
}

// Another program rewrote the file under a command on row B: each answer decides where the
// command goes on, if at all, and nothing is written meanwhile.
TEST(Catalogue, AFileChangedByAnotherProgramAsksBeforeACommandGoesOn) {
    struct Case {
        Answer answer;
        std::vector<Cells> theirs;
        std::optional<int> row;  // where the command goes on
    };
    const Case cases[] = {
        {Answer::Reload, {kB, kC}, 0},            // B moved to the top
        {Answer::Reload, {kC}, std::nullopt},     // B is gone
        {Answer::Overwrite, {kB, kC}, 1},         // this list stays
        {Answer::Cancel, {kB, kC}, std::nullopt}, // nothing goes on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer) * 10 + static_cast<int>(c.theirs.size()));
        MarquetaInstallation site;
        const std::string& path = site.paths.dataFilePath;
        WriteBytes(path, Lines({kA, kB}));
        const auto catalogue = site.programCatalogue();
        ASSERT_TRUE(catalogue->load());
        WriteBytes(path, Lines(c.theirs));
        site.boxes.answers = {c.answer};
        EXPECT_EQ(catalogue->mayBeWritten(1), c.row);
        const bool reloaded = c.answer == Answer::Reload;
        EXPECT_EQ(catalogue->rows().row(0).cells, reloaded ? c.theirs[0] : kA);
        EXPECT_EQ(ReadBytes(path), Lines(c.theirs));
        if (reloaded && !c.row) {
            EXPECT_EQ(site.boxes.texts().back(), "The banner logo.gif (id 0000000B) is no longer in the reloaded "
                                                 "catalogue file. Nothing was changed.");
        }
        // The version answered for is the one the next save replaces without asking again.
        EXPECT_EQ(catalogue->save(), c.answer != Answer::Cancel);
        EXPECT_EQ(ReadBytes(path), c.answer == Answer::Overwrite ? Lines({kA, kB}) : Lines(c.theirs));
        EXPECT_EQ(site.boxes.shown.size(), c.answer == Answer::Cancel || !c.row ? 2u : 1u);
    }
}

TEST(Catalogue, AFileNotReadWholeIsNeverWrittenOver) {
    MarquetaInstallation site;
    const std::string& path = site.paths.dataFilePath;
    const std::string bytes = Lines({kA}) + std::string(1, '\0') + Lines({kB});
    WriteBytes(path, bytes);
    const auto catalogue = site.programCatalogue();
    EXPECT_FALSE(catalogue->load());
    EXPECT_EQ(catalogue->rows().count(), 1);
    EXPECT_EQ(catalogue->mayBeWritten(0), std::nullopt);
    EXPECT_FALSE(catalogue->save());
    EXPECT_FALSE(catalogue->publish(-1, BannerRecord::fromCells(kC), "", ""));
    site.boxes.answers = {Answer::Yes};
    catalogue->deleteBanner(0);
    EXPECT_EQ(ReadBytes(path), bytes);
    const std::string refused = "Nothing was written: the catalogue file " + path +
                                " was not read whole. Start Marqueta again once the file can be read.";
    const std::vector<std::string> texts = site.boxes.texts();
    EXPECT_EQ(texts.back(), refused);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), refused), 4);
}

// A line copied by hand shares its id with the banner: neither Delete nor a republication of
// one of them takes the files that the other still names.
TEST(Catalogue, FilesThatAnotherRowNamesOutliveDeleteAndRepublication) {
    for (const bool republish : {false, true}) {
        MarquetaInstallation site;
        site.addPublishedBanner(kA);
        WriteBytes(site.paths.dataFilePath, Lines({kA, kA}));
        const auto catalogue = site.programCatalogue();
        ASSERT_TRUE(catalogue->load());
        site.boxes.answers = {Answer::Yes};
        if (republish) ASSERT_TRUE(catalogue->publish(0, BannerRecord::fromCells(kA), "", ""));
        else catalogue->deleteBanner(0);
        EXPECT_EQ(catalogue->rows().count(), republish ? 2 : 1);
        EXPECT_TRUE(Exists(site.imageFile("0000000A.gif")) && Exists(site.bannerFile("0000000A.html"))) << republish;
    }
}
