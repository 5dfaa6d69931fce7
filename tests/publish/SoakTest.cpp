// Many random edits through publication and deletion on one installation; afterwards every
// banner still has exactly its own files and the catalogue reads back as the rows.
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include <gtest/gtest.h>
#include <unistd.h>

#include "marqueta/publish/DeleteBanner.h"
#include "marqueta/publish/PublishBanner.h"
#include "platform/Random.h"
#include "tests/catalogue/MarquetaInstallation.h"

namespace {

using platform::Answer;

class Soak {
public:
    explicit Soak(MarquetaInstallation& site) : site_(site), random_(20240601) {
        std::filesystem::create_directories(site.dir.file("pictures"));
        for (const char* ext : {".gif", ".jpg", ".png", ""}) {
            const std::string path = site.dir.file(std::string("pictures/picture") + ext);
            WriteBytes(path, std::string("picture") + ext);
            pictures_.push_back({path, ext});
        }
    }

    void step() {
        const int rows = site_.rows.count();
        const int pick = rows < 5 ? 0 : pick_(random_);
        switch (pick) {
            case 0: case 1: add(); break;
            case 2: changeLink(randomRow()); break;
            case 3: changeImage(randomRow()); break;
            case 4: changeCompany(randomRow()); break;
            case 5: case 6: remove(randomRow()); break;
            default: reuseAnotherRowsImage(randomRow()); break;
        }
        ++counts_[pick];
    }

    const std::map<int, int>& counts() const { return counts_; }

private:
    int randomRow() { return std::uniform_int_distribution<int>(0, site_.rows.count() - 1)(random_); }

    bool publish(int row, BannerEdit& edit) {
        site_.boxes.answers.clear();
        return PublishBanner(row, edit, site_.context);
    }

    BannerEdit editOf(int row) {
        BannerEdit edit;
        edit.values = BannerRecord::fromCells(site_.rows.row(row).cells);
        edit.loadedUrl = edit.values.url;
        return edit;
    }

    void add() {
        const auto& [path, ext] = pictures_[std::uniform_int_distribution<std::size_t>(0, pictures_.size() - 1)(random_)];
        BannerEdit edit;
        edit.values = BannerRecord::fromCells(SampleCells("", ext, "http://site.example/" + std::to_string(serial_++)));
        edit.sourceImagePath = path;
        // Now and then the image is dropped into the images folder first and chosen there: moved.
        if (serial_ % 5 == 0) {
            const std::string loose = site_.paths.imagesDir + "incoming" + ext;
            WriteBytes(loose, "loose");
            edit.sourceImagePath = loose;
        }
        ASSERT_TRUE(publish(-1, edit));
    }

    void changeLink(int row) {
        BannerEdit edit = editOf(row);
        edit.values.url = "http://changed.example/" + std::to_string(serial_++);
        ASSERT_TRUE(publish(row, edit));
    }

    void changeImage(int row) {
        const auto& [path, ext] = pictures_[std::uniform_int_distribution<std::size_t>(0, pictures_.size() - 1)(random_)];
        BannerEdit edit = editOf(row);
        edit.sourceImagePath = path;
        edit.values.ext = ext;
        ASSERT_TRUE(publish(row, edit));
    }

    void changeCompany(int row) {
        BannerEdit edit = editOf(row);
        edit.values.company = "Company " + std::to_string(serial_++);
        ASSERT_TRUE(publish(row, edit));
    }

    // Another banner's image chosen from inside the images folder: copied, never moved.
    void reuseAnotherRowsImage(int row) {
        const int other = (row + 1) % site_.rows.count();
        BannerEdit edit = editOf(row);
        edit.sourceImagePath = site_.paths.imagesDir + site_.rows.cell(other, Uid) + site_.rows.cell(other, Ext);
        edit.values.ext = site_.rows.cell(other, Ext);
        ASSERT_TRUE(publish(row, edit));
    }

    void remove(int row) {
        site_.boxes.answers = {serial_++ % 4 == 0 ? Answer::No : Answer::Yes};
        DeleteSelectedBanner(site_.context, row);
    }

    MarquetaInstallation& site_;
    std::mt19937 random_;
    std::uniform_int_distribution<int> pick_{0, 7};
    std::vector<std::pair<std::string, std::string>> pictures_;
    std::map<int, int> counts_;
    int serial_ = 0;
};

void ExpectEveryFileBelongsToExactlyOneRow(const MarquetaInstallation& site) {
    std::set<std::string> uids, images, pages = {"bannerfile.txt"};
    for (int i = 0; i < site.rows.count(); ++i) {
        const std::string& uid = site.rows.cell(i, Uid);
        EXPECT_TRUE(uids.insert(uid).second) << "id " << uid << " is carried twice";
        images.insert(uid + site.rows.cell(i, Ext));
        pages.insert(uid + ".html");
    }
    const auto imagesOnDisk = site.imageFileNames();
    const auto pagesOnDisk = site.bannerFileNames();
    EXPECT_EQ(std::set<std::string>(imagesOnDisk.begin(), imagesOnDisk.end()), images);
    EXPECT_EQ(std::set<std::string>(pagesOnDisk.begin(), pagesOnDisk.end()), pages);
}

// Every save syncs its files to disk, which on a real disk costs far more than the edits under
// test; a memory-backed folder, where there is one, keeps the run short.
std::string FastTemporaryRoot() {
    std::error_code ec;
    if (std::filesystem::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK | X_OK) == 0) return "/dev/shm";
    return std::filesystem::temp_directory_path(ec).string();
}

}  // namespace

TEST(Soak, TwoThousandRandomEditsKeepFilesAndRowsInStep) {
    const ScopedEnv temporaryRoot("TMPDIR", FastTemporaryRoot());
    MarquetaInstallation site;
    site.context.status = nullptr;
    platform::SeedRandom(12345);
    Soak soak(site);
    for (int i = 0; i < 2000; ++i) {
        soak.step();
        if (HasFatalFailure()) return;
        if (i % 500 == 499) ExpectEveryFileBelongsToExactlyOneRow(site);
    }
    ExpectEveryFileBelongsToExactlyOneRow(site);
    for (const auto& [kind, count] : soak.counts()) EXPECT_GT(count, 0) << "operation " << kind << " never ran";

    RowTable reloaded;
    std::ostringstream trace;
    loadCatalogue(reloaded, site.paths.dataFilePath, trace);
    ASSERT_EQ(reloaded.count(), site.rows.count());
    for (int i = 0; i < reloaded.count(); ++i) EXPECT_EQ(reloaded.row(i).cells, site.rows.row(i).cells) << i;
    std::set<int> tags;
    for (int i = 0; i < site.rows.count(); ++i) EXPECT_TRUE(tags.insert(site.rows.row(i).tag).second);
}
