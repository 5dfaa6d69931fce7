#include <csignal>
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "marqueta/catalogue/CatalogueFile.h"
#include "platform/ProfileFile.h"
#include "tests/catalogue/MarquetaInstallation.h"

namespace {

Cells Record(const std::string& image, const std::string& sequence, const std::string& uid) {
    return {image, "Acme", "Hammer", sequence, "http://acme.example/", "1/1/1999", "03/07/1999", "0.5", uid, ".gif"};
}

}  // namespace

TEST(CatalogueLine, TenFieldsEachFollowedByAComma) {
    EXPECT_EQ(catalogueLine(Record("a.gif", "3", "00001234")),
              "a.gif,Acme,Hammer,3,http://acme.example/,1/1/1999,03/07/1999,0.5,00001234,.gif,\n");
    EXPECT_EQ(catalogueLine(Cells{}), ",,,,,,,,,,\n");
}

TEST(SaveCatalogue, WritesTheRowsInDisplayOrderWithCrLf) {
    MarquetaInstallation site;
    site.paths.lastBrowseDir = "/home/ann/pictures/";
    site.addRow(Record("b.gif", "10", "00000002"));
    site.addRow(Record("a.gif", "9", "00000001"));
    site.addRow(Record("c.gif", "", "00000003"));
    site.rows.stableSort([](const CatalogueRow& x, const CatalogueRow& y) {
        return std::stol("0" + x.cells[Sequence]) < std::stol("0" + y.cells[Sequence]);
    });

    ASSERT_TRUE(saveCatalogue(site.context));
    EXPECT_EQ(ReadBytes(site.paths.dataFilePath),
              "c.gif,Acme,Hammer,,http://acme.example/,1/1/1999,03/07/1999,0.5,00000003,.gif,\r\n"
              "a.gif,Acme,Hammer,9,http://acme.example/,1/1/1999,03/07/1999,0.5,00000001,.gif,\r\n"
              "b.gif,Acme,Hammer,10,http://acme.example/,1/1/1999,03/07/1999,0.5,00000002,.gif,\r\n");
    EXPECT_EQ(site.status.messages,
              (std::vector<std::string>{"Saving.", "Saving..", "Saving...", "Saving....", "Done"}));
    EXPECT_EQ(platform::ReadProfileString(site.settingsFile(), "BANNER", "LASTBROWSEDIR"), "/home/ann/pictures/");
    EXPECT_TRUE(site.boxes.shown.empty());
}

TEST(SaveCatalogue, ReloadsIntoTheSameRowsAndNormalisesShortAndLongLines) {
    MarquetaInstallation site;
    WriteBytes(site.paths.dataFilePath,
               "a.gif,Acme,Hammer,1,http://a/,1/1/1999,2/1/1999,5,00001234,\n"        // nine fields
               "b.gif,Bolt,Nut,2,http://b/,1/1/1999,2/1/1999,6,00000042,.gif,x,y,\n");  // twelve
    std::ostringstream trace;
    loadCatalogue(site.rows, site.paths.dataFilePath, trace);
    ASSERT_TRUE(saveCatalogue(site.context));
    EXPECT_EQ(ReadBytes(site.paths.dataFilePath),
              "a.gif,Acme,Hammer,1,http://a/,1/1/1999,2/1/1999,5,00001234,,\r\n"
              "b.gif,Bolt,Nut,2,http://b/,1/1/1999,2/1/1999,6,00000042,.gif,\r\n");

    RowTable again;
    loadCatalogue(again, site.paths.dataFilePath, trace);
    ASSERT_EQ(again.count(), site.rows.count());
    for (int i = 0; i < again.count(); ++i) EXPECT_EQ(again.row(i).cells, site.rows.row(i).cells);
}

TEST(SaveCatalogue, EmptyListWritesAnEmptyFile) {
    MarquetaInstallation site;
    WriteBytes(site.paths.dataFilePath, "old,\r\n");
    ASSERT_TRUE(saveCatalogue(site.context));
    EXPECT_TRUE(Exists(site.paths.dataFilePath));
    EXPECT_EQ(ReadBytes(site.paths.dataFilePath), "");
}

TEST(SaveCatalogue, CreatesOnlyTheLastMissingFolderLevel) {
    struct Case {
        const char* relative;
        bool saved;
    };
    for (const Case c : {Case{"web/new/bannerfile.txt", true}, Case{"web/new/deeper/bannerfile.txt", false}}) {
        MarquetaInstallation site;
        site.paths.dataFilePath = site.dir.file(c.relative);
        site.paths.lastBrowseDir = "/pictures/";
        site.addRow(Record("a.gif", "1", "00000001"));

        EXPECT_EQ(saveCatalogue(site.context), c.saved) << c.relative;
        EXPECT_EQ(Exists(site.paths.dataFilePath), c.saved) << c.relative;
        // The setting is written whatever happens after.
        EXPECT_EQ(platform::ReadProfileString(site.settingsFile(), "BANNER", "LASTBROWSEDIR"), "/pictures/");
        if (c.saved) {
            EXPECT_TRUE(site.boxes.shown.empty());
            EXPECT_EQ(site.status.messages.back(), "Done");
        } else {
            EXPECT_EQ(site.boxes.texts(), std::vector<std::string>{"Unable to save file " + site.paths.dataFilePath});
            EXPECT_EQ(site.boxes.shown.at(0).caption, "");
            EXPECT_EQ(site.boxes.shown.at(0).buttons, platform::Buttons::Ok);
            EXPECT_EQ(site.status.messages.back(), "Saving....");
            EXPECT_FALSE(Exists(site.dir.file("web/new/deeper")));
        }
        EXPECT_EQ(site.rows.count(), 1);
    }
}

TEST(SaveCatalogue, WithoutAStatusPaneStillSaves) {
    MarquetaInstallation site;
    site.context.status = nullptr;
    site.addRow(Record("a.gif", "1", "00000001"));
    ASSERT_TRUE(saveCatalogue(site.context));
    EXPECT_EQ(ReadBytes(site.paths.dataFilePath).substr(0, 6), "a.gif,");
}

// A disk that fills up during the save: the child process may write only a few kilobytes, and
// the save must report the failure and leave the old catalogue whole.
TEST(SaveCatalogue, FullDiskKeepsTheOldCatalogue) {
#ifdef _WIN32
    GTEST_SKIP() << "a full disk is made with fork and RLIMIT_FSIZE, which Windows does not have";
#else
    MarquetaInstallation site;
    const std::string old = "old.gif,Acme,Hammer,1,http://a/,1/1/1999,1/1/1999,1,00000001,.gif,\r\n";
    WriteBytes(site.paths.dataFilePath, old);
    for (int i = 0; i < 3000; ++i) site.addRow(Record("banner" + std::to_string(i) + ".gif", "1", "00000002"));

    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16 * 1024, 16 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool saved = saveCatalogue(site.context);
        const bool told = site.boxes.texts() == std::vector<std::string>{"Unable to save file " + site.paths.dataFilePath};
        _exit(!saved && told ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save did not report the full disk";
    EXPECT_EQ(ReadBytes(site.paths.dataFilePath), old);
    EXPECT_EQ(site.bannerFileNames(), std::vector<std::string>{"bannerfile.txt"});
#endif
}
