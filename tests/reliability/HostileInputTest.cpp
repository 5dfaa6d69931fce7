// Rows and chosen files shaped by an attacker: publication stays inside its folders, never hangs
// and never reuses an id.
#include <atomic>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "marqueta/publish/BannerId.h"
#include "marqueta/publish/PublishBanner.h"
#include "tests/catalogue/MarquetaInstallation.h"
#include "tests/reliability/FileTree.h"
#include "tests/support/Portable.h"

using reliability::TreeOf;

namespace {

// Row `row` (-1: a new banner) republished with a new link and, unless empty, a chosen image.
bool Republish(MarquetaInstallation& site, int row, const std::string& chosen) {
    BannerEdit edit;
    edit.values = BannerRecord::fromCells(row < 0 ? SampleCells("", "") : site.rows.row(row).cells);
    edit.values.url = "http://new.example/";
    edit.sourceImagePath = chosen;
    if (!chosen.empty()) edit.values.ext = ".gif";  // as Browse sets it
    return PublishBanner(row, edit, site.context);
}

}  // namespace

TEST(HostileRows, PublicationNeverCopiesOrDeletesOutsideItsFolders) {
    struct Case {
        std::string uid, ext;
        bool chooseImage;
    };
    const Case cases[] = {{"../../../other/00001234", ".gif", false}, {"../../../other/00001234", ".gif", true},
                          {".", "/../../../other/a.txt", true},      {"0000ABCD", "/../../../other/a.txt", false},
                          {"0000*", ".gif", false},                  {"0000ABCD", ".gif/..", false}};
    for (const Case& c : cases) {
        MarquetaInstallation site;
        std::filesystem::create_directories(site.dir.file("other"));
        for (const char* victim : {"other/00001234.gif", "other/00001234.html", "other/a.txt"})
            WriteBytes(site.dir.file(victim), victim);
        WriteBytes(site.dir.file("logo.gif"), "GIF-logo");
        site.addRow(SampleCells(c.uid, c.ext));
        const auto outside = TreeOf(site.dir.file("other")), web = TreeOf(site.webDir());

        EXPECT_EQ(Republish(site, 0, c.chooseImage ? site.dir.file("logo.gif") : ""), c.chooseImage) << c.uid;
        EXPECT_EQ(TreeOf(site.dir.file("other")), outside) << c.uid << c.ext;
        if (c.chooseImage) {
            EXPECT_EQ(site.imageFileNames(), std::vector<std::string>{site.rows.cell(0, Uid) + ".gif"});
        } else {
            EXPECT_EQ(TreeOf(site.webDir()), web) << c.uid << c.ext;
            EXPECT_EQ(site.boxes.texts(), std::vector<std::string>{"The catalogue line of this banner does not name an "
                                                                   "image in the images folder. Please choose the "
                                                                   "banner's image with Browse."});
        }
    }
}

TEST(BannerIds, TheLastFreeIdIsFoundAndNoneLeftIsSaidWithNothingWritten) {
    for (const bool oneFree : {true, false}) {
        MarquetaInstallation site;
        for (int number = 0; number <= platform::kRandMax; ++number)
            if (!oneFree || number != 12345) site.addRow(SampleCells(FormatBannerId(number), ".gif"));
        WriteBytes(site.dir.file("logo.gif"), "GIF-logo");
        const auto web = TreeOf(site.webDir());

        EXPECT_EQ(Republish(site, -1, site.dir.file("logo.gif")), oneFree);
        if (oneFree) {
            EXPECT_EQ(site.rows.cell(platform::kRandMax, Uid), FormatBannerId(12345));
        } else {
            EXPECT_EQ(site.boxes.texts(), std::vector<std::string>{"No free banner id is left."});
            EXPECT_EQ(TreeOf(site.webDir()), web);
        }
    }
}

TEST(ChosenImage, AFifoIsRefusedWithoutWaitingForAWriter) {
    SKIP_ON_WINDOWS("named pipes and permission bits are POSIX; Windows has neither in its file system");
#ifndef _WIN32
    MarquetaInstallation site;
    const std::string fifo = site.dir.file("pipe.gif");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A writer that comes and goes: a copy that waited for one would publish an empty image.
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (; !done; ::usleep(1000))
            if (const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0) ::close(fd);
    });
    const bool written = Republish(site, -1, fifo);
    done = true;
    writer.join();

    EXPECT_FALSE(written);
    EXPECT_EQ(site.boxes.texts().at(0).rfind("Could not copy file " + fifo + " to ", 0), 0u);
    EXPECT_TRUE(site.imageFileNames().empty());
#endif
}
