// A child process is killed at every pass of the fault seam while it saves the catalogue, edits
// the settings or removes a user's key records. Whatever moment the kill hits, every file is
// exactly its old or its new content; a kill may leave a temporary file beside its target, and
// nothing else.
#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>

#include "common/LineEscape.h"
#include "common/VeltaSettings.h"
#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/keyindex/RemoveUserKeysBatch.h"
#include "marqueta/bootstrap/Bootstrap.h"
#include "marqueta/catalogue/CatalogueFile.h"
#include "platform/DirectorySearch.h"
#include "platform/FileOps.h"
#include "tests/support/Portable.h"
#include "tests/catalogue/MarquetaInstallation.h"
#include "tests/reliability/FaultLoop.h"
#include "tests/reliability/FileTree.h"
#include "tests/reliability/KeyInstallation.h"

namespace reliability {

namespace {

// One operation to kill: how to set its files up again, run it and look at its folder, and the
// trees it may leave (the first one being the state before, the last the state after).
struct Killable {
    std::function<void()> prepare;
    std::function<void()> operate;
    std::function<FileTree()> tree;
    std::vector<FileTree> allowed;
};

struct KillRecord {
    int kills = 0;            // runs the kill cut short
    int leftTemporary = 0;    // of those, runs that left a temporary file
    bool completed = false;   // a run got through all passes of the seam
};

// tree without the temporary files that were not there before; false in ok when anything
// else was added.
FileTree WithoutTemporaryFiles(FileTree tree, const FileTree& before, bool& leftTemporary, bool& ok) {
    leftTemporary = false;
    ok = true;
    for (const std::string& path : AddedPaths(before, tree)) {
        if (IsTemporaryName(path)) leftTemporary = true;
        else ok = false;
        tree.erase(path);
    }
    return tree;
}

KillRecord KillAtEveryPass(const std::string& name, const Killable& op) {
    KillRecord record;
    for (int n = 1; n < 1000 && !record.completed; ++n) {
        op.prepare();
        const ChildEnd end = RunChildKilledAt(n, op.operate);
        const FileTree now = op.tree();
        if (end == ChildEnd::Completed) {
            record.completed = true;
            EXPECT_EQ(now, op.allowed.back()) << name << ": the undisturbed run\n" << TreeDifference(op.allowed.back(), now);
            break;
        }
        EXPECT_EQ(end, ChildEnd::Killed) << name << " #" << n << ": the child ended otherwise";
        if (end != ChildEnd::Killed) break;
        ++record.kills;
        bool leftTemporary = false, ok = true;
        const FileTree kept = WithoutTemporaryFiles(now, op.allowed.front(), leftTemporary, ok);
        record.leftTemporary += leftTemporary;
        EXPECT_TRUE(ok) << name << " #" << n << " left more than a temporary file:\n" << TreeDifference(op.allowed.front(), now);
        bool whole = false;
        for (const FileTree& allowed : op.allowed) whole = whole || kept == allowed;
        EXPECT_TRUE(whole) << name << " #" << n << " left a file neither old nor new:\n"
                           << TreeDifference(op.allowed.front(), kept);
    }
    EXPECT_TRUE(record.completed) << name << " never got through";
    std::printf("[ kills    ] %s: %d kill points, %d left a temporary file\n", name.c_str(), record.kills,
                record.leftTemporary);
    return record;
}

const std::string kCatalogue = "web/banners/bannerfile.txt";
const std::string kSettings = "windows/VELTA.INI";

std::unique_ptr<MarquetaInstallation> CatalogueSite() {
    auto site = std::make_unique<MarquetaInstallation>();
    site->paths.lastBrowseDir = "/new/";
    WriteBytes(site->settingsFile(), "[PROGRAM]\r\nHTMLPATH=C:\\web\r\n[BANNER]\r\nLASTBROWSEDIR=/old/\r\n");
    WriteBytes(site->paths.dataFilePath, "old.gif,Acme,Hammer,1,http://a/,1/1/1999,1/1/1999,1,00000001,.gif,\r\n");
    for (int i = 0; i < 300; ++i) site->addRow(SampleCells("0000" + std::to_string(1000 + i), ".gif"));
    return site;
}

TEST(Crash, CatalogueSaveLeavesEachFileOldOrNew) {
    SKIP_ON_WINDOWS("a kill at every step runs the operation in a forked child, and Windows has no fork");
    // A run without a kill shows the finished state.
    auto site = CatalogueSite();
    const FileTree before = TreeOf(site->dir.path().string());
    ASSERT_TRUE(saveCatalogue(site->context));
    const FileTree after = TreeOf(site->dir.path().string());
    ASSERT_NE(after.at(kCatalogue), before.at(kCatalogue));
    ASSERT_NE(after.at(kSettings), before.at(kSettings));
    FileTree settingsOnly = before;
    settingsOnly[kSettings] = after.at(kSettings);

    const KillRecord record = KillAtEveryPass(
        "catalogue save", {[&] {
                               site.reset();
                               site = CatalogueSite();
                           },
                           [&] { saveCatalogue(site->context); }, [&] { return TreeOf(site->dir.path().string()); },
                           {before, settingsOnly, after}});
    // Two safe writes (settings, catalogue), each passing at least create, write, sync, close,
    // rename and the folder sync.
    EXPECT_GE(record.kills, 12);
    EXPECT_GT(record.leftTemporary, 0) << "a kill between create and rename leaves its temporary file";
}

TEST(Crash, SettingsEditLeavesTheFileOldOrNew) {
    SKIP_ON_WINDOWS("a kill at every step runs the operation in a forked child, and Windows has no fork");
    TempDir dir;
    const ScopedEnv windir("WINDIR", dir.path().string());
    const std::string old = "[PROGRAM]\r\nPATH=C:\\velta\r\n[BANNER]\r\nDATAFILE=old.txt\r\n";
    FileTree before, after;
    before["VELTA.INI"] = old;
    after["VELTA.INI"] = "[PROGRAM]\r\nPATH=C:\\velta\r\n[BANNER]\r\nDATAFILE=new.txt\r\n";
    const KillRecord record = KillAtEveryPass(
        "settings edit", {[&] {
                              std::filesystem::remove_all(dir.path());
                              std::filesystem::create_directories(dir.path());
                              WriteBytes(dir.file("VELTA.INI"), old);
                          },
                          [] { WriteVeltaSetting("BANNER", "DATAFILE", "new.txt"); },
                          [&] { return TreeOf(dir.path().string()); }, {before, after}});
    EXPECT_GE(record.kills, 6);
}

TEST(Crash, KeyRecordRemovalLeavesBothFilesOldOrNewAndInStep) {
    SKIP_ON_WINDOWS("a kill at every step runs the operation in a forked child, and Windows has no fork");
    KeyInstallation site(9000);
    const std::string name = KeyInstallation::UserName(site.removed);
    const KillRecord record =
        KillAtEveryPass("key-record removal", {[&] { site.restore(); }, [&] { RemoveUserKeys(site.installPath(), name); },
                                               [&] { return TreeOf(site.installPath()); },
                                               {site.before, site.userGone, site.bothGone}});
    EXPECT_GE(record.kills, 12);
}

TEST(Crash, BatchKeyRecordRemovalLeavesBothFilesOldOrNewAndInStep) {
    SKIP_ON_WINDOWS("a kill at every step runs the operation in a forked child, and Windows has no fork");
    KeyInstallation site(9000);
    const std::vector<std::string> names = {"nobody", KeyInstallation::UserName(site.removed)};
    const auto remove = [&] { keyindex::RemoveUserKeysBatch(site.installPath(), names); };
    const KillRecord record = KillAtEveryPass("batch key-record removal",
                                              {[&] { site.restore(); }, remove, [&] { return TreeOf(site.installPath()); },
                                               {site.before, site.userGone, site.bothGone}});
    EXPECT_GE(record.kills, 12);
}


RowTable CatalogueOnDisk(const MarquetaInstallation& site) {
    RowTable rows;
    std::ostringstream trace;
    loadCatalogue(rows, site.paths.dataFilePath, trace);
    return rows;
}

// Kills op at every pass of the seam on a fresh site until a run gets through; check() looks at
// each site afterwards. The number of kills.
int KillLoop(const std::function<std::unique_ptr<MarquetaInstallation>()>& makeSite,
             const std::function<void(MarquetaInstallation&)>& op, const std::function<void(MarquetaInstallation&)>& check) {
    int n = 1;
    for (ChildEnd end = ChildEnd::Killed; end == ChildEnd::Killed && n < 1000; ++n) {
        auto site = makeSite();
        end = RunChildKilledAt(n, [&] { op(*site); });
        SCOPED_TRACE("killed at pass " + std::to_string(n));
        check(*site);
    }
    return n - 2;
}

// Through the program's catalogue object, loaded from the saved file as the program loads it.
TEST(Crash, PublicationAndDeleteLeaveEveryRowNamingFilesThatExist) {
    SKIP_ON_WINDOWS("a kill at every step runs the operation in a forked child, and Windows has no fork");
    const auto makeSite = [] {
        auto site = std::make_unique<MarquetaInstallation>();
        for (const char* uid : {"00004A2F", "00001111"}) site->addPublishedBanner(SampleCells(uid, ".gif"));
        saveCatalogue(site->context);
        site->boxes.answers = {platform::Answer::Yes};  // Delete's question
        return site;
    };
    const auto changeLink = [](MarquetaInstallation& site) {
        const auto catalogue = site.programCatalogue();
        catalogue->load();
        BannerRecord changed = BannerRecord::fromCells(catalogue->rows().row(0).cells);
        changed.url = "http://acme.example/sale";
        catalogue->publish(0, changed, catalogue->rows().cell(0, Url), "");
    };
    const auto deleteFirst = [](MarquetaInstallation& site) {
        const auto catalogue = site.programCatalogue();
        catalogue->load();
        catalogue->deleteBanner(0);
    };
    const auto allNamedFilesExist = [](MarquetaInstallation& site) {
        const RowTable rows = CatalogueOnDisk(site);
        for (int i = 0; i < rows.count(); ++i) {
            EXPECT_TRUE(Exists(site.imageFile(rows.cell(i, Uid) + rows.cell(i, Ext)))) << rows.cell(i, Uid);
            EXPECT_TRUE(Exists(site.bannerFile(rows.cell(i, Uid) + ".html"))) << rows.cell(i, Uid);
        }
    };
    // The image copy passes the seam five times or more, the page and the catalogue six apiece.
    EXPECT_GE(KillLoop(makeSite, changeLink, allNamedFilesExist), 17);
    EXPECT_GE(KillLoop(makeSite, deleteFirst, allNamedFilesExist), 6);
}

// One first run over images with every kind of name, as a later start finds it.
struct BootstrapCase {
    std::vector<std::string> images;
    std::vector<std::string> leftOut;  // names a catalogue line cannot hold
};

const std::string kNotRenamed =
    "These images could not be given their new names and were left out of the catalogue; they keep their names:\n";

std::string LeftOutMessage(const MarquetaInstallation& site, const BootstrapCase& c) {
    std::string text;
    for (const platform::FoundEntry& entry : platform::FindEntries(site.paths.imagesDir + "*.*"))
        if (std::count(c.leftOut.begin(), c.leftOut.end(), entry.name)) text += "  " + EscapedForLine(entry.name) + "\n";
    if (text.empty()) return text;
    return "These images were left out of the catalogue and keep their names, because a catalogue line cannot hold "
           "them:\n" + text;
}

// Every row names an image and a page that exist; every image is under the name one row gives it
// or under its own and in no row (the left-out ones always, the others only after a failure, which
// may also have cut the pages short); no record of pending renames is left.
void ExpectEveryRowNamesAnImageThatExists(const MarquetaInstallation& site, const BootstrapCase& c, bool afterFailure) {
    const RowTable rows = CatalogueOnDisk(site);
    for (int i = 0; i < rows.count(); ++i) {
        EXPECT_TRUE(Exists(site.imageFile(rows.cell(i, Uid) + rows.cell(i, Ext)))) << rows.cell(i, Image);
        EXPECT_TRUE(afterFailure || Exists(site.bannerFile(rows.cell(i, Uid) + ".html"))) << rows.cell(i, Image);
    }
    for (const std::string& image : c.images) {
        int named = 0;
        for (int i = 0; i < rows.count(); ++i)
            if (rows.cell(i, Image) == "*" + image) {
                ++named;
                EXPECT_EQ(ReadBytes(site.imageFile(rows.cell(i, Uid) + rows.cell(i, Ext))), image);
            }
        const bool leftOut = std::count(c.leftOut.begin(), c.leftOut.end(), image) > 0;
        EXPECT_TRUE(leftOut ? named == 0 : named == 1 || (afterFailure && named == 0)) << EscapedForLine(image);
        EXPECT_TRUE(named > 0 || ReadBytes(site.imageFile(image)) == image) << EscapedForLine(image);
    }
    EXPECT_FALSE(Exists(site.paths.dataFilePath + ".renaming"));
}

// The first run undisturbed; killed at every pass of the fault seam, then started again; and with
// each rename failing. The start after any of them ends as an undisturbed run would, or, after a
// failed rename, without the row of the image that could not be renamed, which is named.
TEST(Crash, BootstrapTableOfNamesAndKillPoints) {
    SKIP_ON_WINDOWS("a kill at every step runs the operation in a forked child, and Windows has no fork");
    const std::vector<BootstrapCase> cases = {
        {{"a.gif", "b.jpg", "readme", "back\\slash.gif", "co:lon.gif"}, {}},
        {{"a,b.gif", "ok.gif", "line\nbreak.gif", "cr\rname.png", "tab\tname.gif", " lead.gif"},
         {"a,b.gif", "line\nbreak.gif", "cr\rname.png", "tab\tname.gif"}},
        {{"x.gif", "star.g*f", "dot.", "long.extension-of-more-than-thirty-two-bytes"},
         {"star.g*f", "dot.", "long.extension-of-more-than-thirty-two-bytes"}},
    };
    for (const BootstrapCase& c : cases) {
        const auto makeSite = [&] {
            auto site = std::make_unique<MarquetaInstallation>();
            for (const std::string& image : c.images) WriteBytes(site->imageFile(image), image);
            return site;
        };
        const auto bootstrap = [](MarquetaInstallation& site) { return generateCatalogue(site.paths, site.boxes); };

        auto undisturbed = makeSite();
        const std::string leftOut = LeftOutMessage(*undisturbed, c);
        EXPECT_TRUE(bootstrap(*undisturbed));
        EXPECT_EQ(undisturbed->boxes.texts(), leftOut.empty() ? std::vector<std::string>{} : std::vector{leftOut});
        ExpectEveryRowNamesAnImageThatExists(*undisturbed, c, false);

        // A start after the kill: it builds the catalogue anew (and names the left-out images again)
        // or finishes the renames, silently.
        const auto restart = [&](MarquetaInstallation& site) {
            const std::string leftOutNow = LeftOutMessage(site, c);
            EXPECT_TRUE(bootstrap(site));
            for (const std::string& text : site.boxes.texts()) EXPECT_EQ(text, leftOutNow);
            ExpectEveryRowNamesAnImageThatExists(site, c, false);
        };
        const int kills = KillLoop(makeSite, [&](MarquetaInstallation& site) { bootstrap(site); }, restart);
        EXPECT_GE(kills, 6);
        std::printf("[ kills    ] bootstrap of %zu images: %d kill points\n", c.images.size(), kills);

        std::unique_ptr<MarquetaInstallation> site;
        int imagesNotRenamed = 0;
        ForEachInjectedFailure(
            fault::Step::Rename, [&] { site = makeSite(); }, [&] { bootstrap(*site); },
            [&](const FaultRun&) {
                for (const std::string& text : site->boxes.texts()) {
                    if (text.rfind(kNotRenamed, 0) != 0) continue;
                    ++imagesNotRenamed;
                    const std::string named = text.substr(kNotRenamed.size());
                    EXPECT_NE(named.find(" (" + platform::SystemErrorText(EIO) + ")\n"), std::string::npos) << named;
                }
                ExpectEveryRowNamesAnImageThatExists(*site, c, true);
                site->boxes.shown.clear();
                bootstrap(*site);  // the next start
                ExpectEveryRowNamesAnImageThatExists(*site, c, true);
            });
        EXPECT_EQ(imagesNotRenamed, static_cast<int>(c.images.size() - c.leftOut.size()));
    }
}

}  // namespace

}  // namespace reliability
