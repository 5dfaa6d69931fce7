// A catalogue that exists but cannot be read whole (unreadable, holding a zero byte, too large) is a
// live one: no bootstrap builds over it and no save writes a partial list over it. Two windows
// never drop each other's banners unasked, however coarse the file's time stamps.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "marqueta/bootstrap/Bootstrap.h"
#include "marqueta/publish/BannerId.h"
#include "marqueta/publish/PublishBanner.h"
#include "platform/FaultInjection.h"
#include "platform/TextMode.h"
#include "tests/catalogue/MarquetaInstallation.h"
#include "tests/reliability/FileTree.h"

namespace fault = platform::fault;
using reliability::TreeOf;

TEST(CatalogueOpenFailures, NeitherTheBootstrapNorASaveTouchesACatalogueThatCannotBeRead) {
    std::string longCatalogue;  // more than one read, so that a failing second read leaves half
    for (int i = 0; i < 1200; ++i) longCatalogue += catalogueLine(SampleCells(FormatBannerId(i), ".gif"));
    struct Case {
        std::function<void(const std::string&)> make;
        fault::Step step;
        int failingPass;  // 0: none
        int rows = 0;     // the rows read before the reason
    };
    const Case cases[] = {
        {[](const std::string& p) { std::filesystem::create_directory(p); }, fault::Step::Read, 0},
#ifndef _WIN32  // Windows has no named pipes in its file system
        {[](const std::string& p) { ::mkfifo(p.c_str(), 0600); }, fault::Step::Read, 0},
#endif
        {[](const std::string& p) { WriteBytes(p, "a,b,\r\n"); }, fault::Step::OpenRead, 1},
        {[&](const std::string& p) { WriteBytes(p, longCatalogue); }, fault::Step::Read, 2},
        {[](const std::string& p) { WriteBytes(p, "a,b,\r\n" + std::string(1, '\0') + "c,\r\n"); }, fault::Step::Read, -1, 1},
        {[](const std::string& p) {
             WriteBytes(p, "a,\r\n");
             std::filesystem::resize_file(p, kMaxCatalogueBytes + 1);
         },
         fault::Step::Read, -1},
    };
    for (const Case& c : cases) {
        MarquetaInstallation site;
        WriteBytes(site.imageFile("a.gif"), "GIF");
        WriteBytes(site.bannerFile("old.html"), "old");
        c.make(site.paths.dataFilePath);
        const auto before = TreeOf(site.dir.path().string());
        const bool opens = c.step == fault::Step::Read && c.failingPass != 0;

        fault::FailAt(c.step, c.failingPass);
        EXPECT_EQ(generateCatalogue(site.paths, site.boxes), opens);
        const std::string unable = "Unable to open file " + site.paths.dataFilePath + ". Reason: ";
        if (!opens) {
            EXPECT_EQ(site.boxes.texts().at(0).rfind(unable, 0), 0u);
        }

        fault::FailAt(c.step, c.failingPass);
        CatalogueFileState state;
        std::ostringstream trace;
        EXPECT_NE(loadCatalogue(site.rows, site.paths.dataFilePath, trace, &state), 0);
        fault::Reset();
        EXPECT_EQ(site.rows.count(), c.rows);
        site.context.file = &state;
        site.paths.lastBrowseDir = "/pictures/";
        EXPECT_FALSE(saveCatalogue(site.context));
        EXPECT_EQ(site.boxes.texts().back(), "Nothing was written: the catalogue file " + site.paths.dataFilePath +
                                                 " was not read whole. Start Marqueta again once the file can be read.");
        auto after = TreeOf(site.dir.path().string());
        EXPECT_EQ(after.erase("windows/VELTA.INI"), 1u) << "the folder to browse is written first, as by every save";
        EXPECT_EQ(after, before);
    }
}

TEST(TwoWindows, AnAddOverTheOtherWindowsAddAsksFirst) {
    for (const platform::Answer answer : {platform::Answer::Reload, platform::Answer::Overwrite}) {
        MarquetaInstallation site;
        WriteBytes(site.paths.dataFilePath, "");
        RowTable rows[2];
        CatalogueFileState states[2];
        std::ostringstream trace;
        std::vector<CatalogueContext> windows;
        for (int i : {0, 1}) windows.push_back({site.paths, rows[i], site.boxes, nullptr, &states[i], &trace});
        for (CatalogueContext& window : windows) ASSERT_TRUE(reloadCatalogue(window));
        for (int i : {0, 1}) {
            WriteBytes(site.dir.file("logo.gif"), "GIF");
            BannerEdit edit{BannerRecord::fromCells(SampleCells("", ".gif")), "", site.dir.file("logo.gif")};
            // The second window is asked before any file changes; then comes the report.
            if (i == 0) site.boxes.answers = {platform::Answer::Ok};
            else site.boxes.answers = {answer, platform::Answer::Ok};
            EXPECT_TRUE(PublishBanner(-1, edit, windows[i]));
        }
        const auto asked = std::find_if(site.boxes.shown.begin(), site.boxes.shown.end(),
                                        [](const auto& box) { return box.buttons == platform::Buttons::ReloadOverwriteCancel; });
        ASSERT_NE(asked, site.boxes.shown.end());
        EXPECT_EQ(asked->text.rfind("The catalogue file " + site.paths.dataFilePath +
                                        " was changed by another program since Marqueta last read or saved it.",
                                    0),
                  0u);
        // Reload goes on with the file's list, which keeps the first window's banner.
        const bool reloaded = answer == platform::Answer::Reload;
        EXPECT_EQ(ReadBytes(site.paths.dataFilePath),
                  platform::ToCrLf(catalogueLine(rows[reloaded ? 0 : 1].row(0).cells) +
                                   (reloaded ? catalogueLine(rows[1].row(1).cells) : "")));
        EXPECT_EQ(rows[1].count(), reloaded ? 2 : 1);
    }
}

TEST(TwoWindows, AChangeIsNoticedHoweverItCameAndTheAnswerIsFollowed) {
    using platform::Answer;
    const std::string ours = "a,\r\n", theirs = "b,\r\n";  // the same size
    enum How { WithinTheTimeStamp, BetweenQuestionAndRename, Deleted };
    for (const How how : {WithinTheTimeStamp, BetweenQuestionAndRename, Deleted}) {
        for (const Answer answer : {Answer::Reload, Answer::Overwrite, Answer::Cancel}) {
            SCOPED_TRACE(testing::Message() << "how " << how << ", answer " << static_cast<int>(answer));
            MarquetaInstallation site;
            CatalogueFileState& state = site.watchFile();
            const std::string& path = site.paths.dataFilePath;
            WriteBytes(path, ours);
            ASSERT_TRUE(reloadCatalogue(site.context));
            site.addRow(SampleCells("00000002", ".gif"));
            if (how == WithinTheTimeStamp) {
                WriteBytes(path, theirs);
                state.stamp = platform::StampOf(path);  // as a coarse time stamp shows it: unchanged
            } else if (how == Deleted) {
                std::filesystem::remove(path);
            } else {  // the settings are replaced first, then the catalogue
                fault::BeforeReplace([&, calls = 0]() mutable { if (++calls == 2) WriteBytes(path, theirs); }, 2);
            }
            site.boxes.answers = {answer};
            const bool saved = saveCatalogue(site.context);
            fault::Reset();
            EXPECT_EQ(site.boxes.shown.at(0).buttons, platform::Buttons::ReloadOverwriteCancel);
            EXPECT_EQ(saved, answer == Answer::Overwrite);
            EXPECT_EQ(site.rows.count(), answer != Answer::Reload ? 2 : how == Deleted ? 0 : 1);
            if (!saved) {
                EXPECT_EQ(ReadBytes(path), how == Deleted ? "" : theirs);
            }
            // Cancel leaves the change unsaved: leaving then asks (and gets no answer here).
            EXPECT_EQ(catalogueMayBeLeft(site.context), answer != Answer::Cancel);
            // A reloaded catalogue, even a deleted one, is saved again without a question.
            EXPECT_EQ(saveCatalogue(site.context), answer != Answer::Cancel);
            EXPECT_EQ(site.boxes.shown.size(), answer == Answer::Cancel ? 3u : 1u);
        }
    }
}
