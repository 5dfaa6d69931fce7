// A catalogue that exists but cannot be read whole is a live one: no bootstrap builds over it and no
// save writes a partial list over it. Two windows never drop each other's banners unasked.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "marqueta/catalogue/Bootstrap.h"
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
    };
    const Case cases[] = {
        {[](const std::string& p) { std::filesystem::create_directory(p); }, fault::Step::Read, 0},
#ifndef _WIN32  // Windows has no named pipes in its file system
        {[](const std::string& p) { ::mkfifo(p.c_str(), 0600); }, fault::Step::Read, 0},
#endif
        {[](const std::string& p) { WriteBytes(p, "a,b,\r\n"); }, fault::Step::OpenRead, 1},
        {[&](const std::string& p) { WriteBytes(p, longCatalogue); }, fault::Step::Read, 2},
    };
    for (const Case& c : cases) {
        MarquetaInstallation site;
        WriteBytes(site.imageFile("a.gif"), "GIF");
        WriteBytes(site.bannerFile("old.html"), "old");
        c.make(site.paths.dataFilePath);
        const auto before = TreeOf(site.dir.path().string());
        const bool opens = c.step == fault::Step::Read && c.failingPass > 0;

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
        EXPECT_EQ(site.rows.count(), 0);
        site.context.file = &state;
        EXPECT_FALSE(saveCatalogue(site.context));
        EXPECT_EQ(site.boxes.texts().back(), "Nothing was written: the catalogue file " + site.paths.dataFilePath +
                                                 " was not read whole. Start Marqueta again once the file can be read.");
        EXPECT_EQ(TreeOf(site.dir.path().string()), before);
    }
}

TEST(TwoWindows, AnAddOverTheOtherWindowsAddAsksFirst) {
    for (const platform::Answer answer : {platform::Answer::Yes, platform::Answer::No}) {
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
            std::string published;
            // The second window is asked before any file changes; then comes the report.
            if (i == 0) site.boxes.answers = {platform::Answer::Ok};
            else site.boxes.answers = {answer, platform::Answer::Ok};
            EXPECT_EQ(PublishBanner(-1, edit, windows[i], published), i == 0 || answer == platform::Answer::No);
        }
        const auto asked = std::find_if(site.boxes.shown.begin(), site.boxes.shown.end(),
                                        [](const auto& box) { return box.buttons == platform::Buttons::YesNo; });
        ASSERT_NE(asked, site.boxes.shown.end());
        EXPECT_EQ(asked->text.rfind("The catalogue file " + site.paths.dataFilePath +
                                        " was changed by another program since Marqueta last read or saved it.",
                                    0),
                  0u);
        // Yes reloads the second window from the file, which keeps the first window's banner.
        const RowTable& kept = answer == platform::Answer::Yes ? rows[0] : rows[1];
        EXPECT_EQ(ReadBytes(site.paths.dataFilePath), platform::ToCrLf(catalogueLine(kept.row(0).cells)));
        EXPECT_EQ(rows[1].count(), 1);
    }
}
