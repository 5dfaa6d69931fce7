// The program's catalogue object on real files: load and save, the version check against another
// program, the rule that keeps a file not read whole, deletion beside a copied line, the row a
// command goes on with after a reload, saves that do not happen, and the size limit.
#include <algorithm>
#include <filesystem>
#include <optional>

#include <gtest/gtest.h>

#include "marqueta/document/Catalogue.h"
#include "platform/FaultInjection.h"
#include "platform/FileOps.h"
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
                                                 "catalogue file as it was. Nothing was changed.");
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

namespace {

// Two rows with one id: a copied line whose company was edited.
Cells Renamed(Cells cells, const std::string& company) {
    cells[Company] = company;
    return cells;
}
const Cells kA2 = Renamed(kA, "copied"), kAChanged = Renamed(kA, "theirs");

}  // namespace

// Another program rewrote the file while a command stood on row A, which shares its id with A2;
// after Reload the command goes on only with the one row identical to A, never with the other
// row of its id.
TEST(Catalogue, AfterReloadACommandGoesOnOnlyWithTheRowAsItWas) {
    struct Case {
        const char* name;
        std::vector<Cells> theirs;
        std::string refusal;  // empty: the command goes on with A where the file now holds it
    };
    const Case cases[] = {
        {"identical", {kC, kA, kA2}, ""},
        {"changed", {kAChanged, kA2},
         "The banner logo.gif (id 0000000A) is no longer in the reloaded catalogue file as it was. Nothing was changed."},
        {"gone", {kA2},
         "The banner logo.gif (id 0000000A) is no longer in the reloaded catalogue file as it was. Nothing was changed."},
        {"duplicated", {kA, kA, kA2},
         "The banner logo.gif (id 0000000A) stands 2 times in the reloaded catalogue file, so Marqueta cannot tell "
         "which one was meant. Nothing was changed."},
    };
    for (const Case& c : cases) {
        for (const bool submit : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (submit ? " at Submit" : " at Delete"));
            MarquetaInstallation site;
            site.addPublishedBanner(kA);
            const std::string& path = site.paths.dataFilePath;
            WriteBytes(path, Lines({kA, kA2}));
            const auto catalogue = site.programCatalogue();
            ASSERT_TRUE(catalogue->load());
            WriteBytes(path, Lines(c.theirs));
            const Cells edited = Renamed(kA, "edited");
            if (submit) {
                site.boxes.answers = {Answer::Reload};
                EXPECT_EQ(catalogue->publish(0, BannerRecord::fromCells(edited), kA[Url], ""), c.refusal.empty());
            } else {
                site.boxes.answers = {Answer::Yes, Answer::Reload};
                catalogue->deleteBanner(0);
            }
            std::vector<Cells> expected = c.theirs;
            if (c.refusal.empty()) {
                EXPECT_EQ(site.boxes.shown.size(), submit ? 1u : 2u);
                if (submit) expected[1] = edited;
                else expected.erase(expected.begin() + 1);
            } else {
                EXPECT_EQ(site.boxes.texts().back(), c.refusal);
            }
            EXPECT_EQ(ReadBytes(path), Lines(expected));
            // The other row of the id keeps its files whatever happened.
            EXPECT_TRUE(Exists(site.imageFile("0000000A.gif")) && Exists(site.bannerFile("0000000A.html")));
        }
    }
}

// After the question at the save of a publication that gave A a new id: the report, the new files
// and the old ones follow what was saved. A Delete whose save does not happen keeps the files.
TEST(Catalogue, ASaveThatDoesNotHappenKeepsTheFilesItsRowsName) {
    for (const bool republish : {true, false}) {
        for (const Answer answer : {Answer::Reload, Answer::Cancel, Answer::Overwrite}) {
            SCOPED_TRACE(testing::Message() << (republish ? "republish" : "delete") << ", answer "
                                            << static_cast<int>(answer));
            MarquetaInstallation site;
            site.addPublishedBanner(kA);
            const std::string& path = site.paths.dataFilePath;
            WriteBytes(path, Lines({kA}));
            const auto catalogue = site.programCatalogue();
            ASSERT_TRUE(catalogue->load());
            // Another program saves while the new page (or the settings, for Delete) is written.
            platform::fault::BeforeReplace([&] { WriteBytes(path, Lines({kA, kB})); });
            Cells moved = kA;
            moved[Url] = "http://example.com/new";
            if (republish) {
                site.boxes.answers = {answer};
                EXPECT_EQ(catalogue->publish(0, BannerRecord::fromCells(moved), kA[Url], ""), answer != Answer::Reload);
            } else {
                site.boxes.answers = {Answer::Yes, answer};
                catalogue->deleteBanner(0);
            }
            platform::fault::Reset();
            const bool saved = answer == Answer::Overwrite;
            const std::vector<std::string> texts = site.boxes.texts();
            const bool reported = std::any_of(texts.begin(), texts.end(), [](const std::string& text) {
                return text.rfind("Created the following banner:", 0) == 0;
            });
            EXPECT_EQ(reported, republish && saved);
            // The old files go only once the catalogue without them was saved.
            EXPECT_EQ(Exists(site.imageFile("0000000A.gif")) && Exists(site.bannerFile("0000000A.html")), !saved);
            // A new id's files stay while a row of this window names them; after the reload none does.
            EXPECT_EQ(site.imageFileNames().size(), republish ? (answer == Answer::Cancel ? 2u : 1u) : saved ? 0u : 1u);
            if (republish && answer == Answer::Reload) {
                EXPECT_EQ(texts.back(), "The banner logo.gif was not saved: the catalogue file was reloaded without "
                                        "it. The image and page written for it were removed again.");
            }
            EXPECT_EQ(catalogue->mayBeLeft(), answer != Answer::Cancel);
        }
    }
}

// The catalogue on disk is no longer the version the list stands on, and the user answers
// Overwrite: only a file that can be read whole is written over, and a refusal comes once.
TEST(Catalogue, OneRuleDecidesWhetherTheFileMayBeWrittenOver) {
    enum OnDisk { SameStampOtherBytes, ZeroByte, Folder, TooLarge };
    struct Case {
        OnDisk onDisk;
        std::string reason;  // why it is refused; none for the first row
    };
#ifdef _WIN32
    constexpr platform::ErrorCode kFolderRead = 5;  // ERROR_ACCESS_DENIED: a folder opened as a file
#else
    constexpr platform::ErrorCode kFolderRead = EISDIR;
#endif
    const Case cases[] = {
        {SameStampOtherBytes, ""},
        {ZeroByte, "it holds a zero byte"},
        {Folder, platform::SystemErrorText(kFolderRead)},
        {TooLarge, platform::SystemErrorText(platform::kFileTooLarge)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.onDisk);
        MarquetaInstallation site;
        CatalogueFileState& state = site.watchFile();
        const std::string& path = site.paths.dataFilePath;
        WriteBytes(path, Lines({kA}));
        ASSERT_TRUE(reloadCatalogue(site.context));
        if (c.onDisk == SameStampOtherBytes) {
            WriteBytes(path, Lines({kB}));  // the same size
            state.stamp = platform::StampOf(path);  // as a coarse time stamp shows it: unchanged
        } else if (c.onDisk == ZeroByte) {
            WriteBytes(path, Lines({kB}) + std::string(1, '\0'));
        } else if (c.onDisk == Folder) {
            std::filesystem::remove(path);
            std::filesystem::create_directory(path);
        } else {
            std::filesystem::resize_file(path, 67108865);  // one byte over the 64 MiB a catalogue may hold
        }
        const std::string before = c.onDisk == ZeroByte ? ReadBytes(path) : "";
        // Today's fault wrote and removed temporary files for ever; the seam ends such a loop.
        int replaces = 0;
        platform::fault::BeforeReplace([&] { if (++replaces == 20) std::filesystem::remove_all(path); }, 20);
        site.boxes.answers = {Answer::Overwrite, Answer::Overwrite};
        const bool saved = saveCatalogue(site.context);
        platform::fault::Reset();
        EXPECT_EQ(saved, c.onDisk == SameStampOtherBytes);
        ASSERT_EQ(site.boxes.shown.size(), 1u);
        if (c.onDisk == SameStampOtherBytes) {
            EXPECT_EQ(site.boxes.shown[0].buttons, platform::Buttons::ReloadOverwriteCancel);
            EXPECT_EQ(ReadBytes(path), Lines({kA}));
        } else {
            const std::string refusal = "Nothing was written: the catalogue file " + path + " cannot be read whole now (";
            EXPECT_EQ(site.boxes.texts()[0],
                      refusal + c.reason + "), and Marqueta writes over no file that it cannot read whole.");
            const bool untouched = c.onDisk == ZeroByte ? ReadBytes(path) == before
                                   : c.onDisk == Folder ? std::filesystem::is_directory(path)
                                                        : std::filesystem::file_size(path) == 67108865u;
            EXPECT_TRUE(untouched);
        }
        EXPECT_LE(replaces, 2);  // the settings, and the catalogue once
    }
}

// A save that does not happen makes leaving the program ask only when this window changed the list.
TEST(Catalogue, LeavingAsksOnlyForAChangeThisWindowCouldNotSave) {
    for (const bool changed : {false, true}) {
        for (const bool refused : {false, true}) {  // Cancel at the question, or a file that cannot be read whole
            SCOPED_TRACE(testing::Message() << "changed " << changed << ", refused " << refused);
            MarquetaInstallation site;
            const std::string& path = site.paths.dataFilePath;
            WriteBytes(path, Lines({kA, kB}));
            const auto catalogue = site.programCatalogue();
            ASSERT_TRUE(catalogue->load());
            if (changed) catalogue->rows().removeRow(0);
            WriteBytes(path, refused ? Lines({kC}) + std::string(1, '\0') : Lines({kC}));
            site.boxes.answers = {Answer::Cancel};
            EXPECT_FALSE(catalogue->save());
            EXPECT_EQ(catalogue->mayBeLeft(), !changed);
        }
    }
}

// The limit is exactly 64 MiB: a file of that size is read (here up to its zero bytes), one byte
// more is refused unread.
TEST(Catalogue, TheSizeLimitIsExactlySixtyFourMebibytes) {
    MarquetaInstallation site;
    for (const std::uintmax_t size : {std::uintmax_t{67108864}, std::uintmax_t{67108865}}) {
        WriteBytes(site.paths.dataFilePath, "");
        std::filesystem::resize_file(site.paths.dataFilePath, size);
        std::string text;
        EXPECT_EQ(ReadWholeFile(site.paths.dataFilePath, text),
                  size == 67108864 ? kCatalogueHoldsZeroByte : platform::kFileTooLarge) << size;
    }
}
