#include "marqueta/catalogue/Bootstrap.h"

#include <set>
#include <vector>

#include "marqueta/catalogue/CatalogueFile.h"
#include "marqueta/publish/BannerId.h"
#include "marqueta/publish/DeleteBanner.h"
#include "marqueta/publish/PageText.h"
#include "marqueta/publish/PublishBanner.h"
#include "platform/DirectorySearch.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "platform/SafeWrite.h"
#include "platform/TextMode.h"

namespace {

struct FoundImage {
    std::string fullPath;
    std::string name;
};

// Every file of the images folder counts as an image, in the order the file system lists them.
std::vector<FoundImage> ListImages(const MarquetaPaths& paths) {
    const std::string pattern = paths.imagesDir + "*.*";
    std::vector<FoundImage> images;
    for (const platform::FoundEntry& entry : platform::FindEntries(pattern))
        if (!entry.isDirectory) images.push_back({platform::FoundPath(pattern, entry), entry.name});
    return images;
}

// A fresh id for an image: drawn again until no earlier image of this run took it and neither
// the image's new name nor the page's name is taken, so no two images share a page.
std::string DrawImageId(const MarquetaPaths& paths, const FoundImage& image, const std::string& ext,
                        const std::set<std::string>& taken) {
    return DrawFreeBannerId([&](const std::string& uid) {
        return !taken.count(uid) && !platform::PathExists(platform::DirectoryOf(image.fullPath) + uid + ext) &&
               !platform::PathExists(bannerPagePath(paths, uid));
    });
}

Cells PlaceholderRecord(const FoundImage& image, const std::string& url, const std::string& uid,
                        const std::string& ext) {
    return {"*" + image.name, "Company", "Product", "Sequence", url, "1/1/1999", "1/1/1999", "Rate", uid, ext};
}

}  // namespace

bool generateCatalogue(const MarquetaPaths& paths, platform::MessageBoxes& boxes) {
    if (platform::CanOpenForReading(paths.dataFilePath)) return true;  // the list reads it later

    // Every page of an earlier catalogue goes: names containing ".htm", folders skipped.
    DeleteMatchingFiles(paths.bannersDir + "*.htm*");
    const std::vector<FoundImage> images = ListImages(paths);
    platform::CreateDirectory(platform::DirectoryOf(paths.dataFilePath));

    // The lines go to a temporary file beside the catalogue, which takes its name at the end.
    platform::AtomicFile catalogue(paths.dataFilePath);
    if (!catalogue.isOpen()) {
        boxes.ok("Could not create data file '" + paths.dataFilePath + "'");
        return false;
    }

    bool everyPageWritten = true;
    std::set<std::string> taken;
    for (std::size_t i = 0; i < images.size(); ++i) {
        const FoundImage& image = images[i];
        const std::string url = "http://Url" + std::to_string(i + 1);
        const std::string ext = platform::ExtensionOf(image.name);
        const std::string uid = DrawImageId(paths, image, ext, taken);
        taken.insert(uid);
        catalogue.write(platform::ToCrLf(catalogueLine(PlaceholderRecord(image, url, uid, ext))));

        platform::MoveFile(image.fullPath, platform::DirectoryOf(image.fullPath) + uid + ext);
        const std::string pagePath = bannerPagePath(paths, uid);
        if (platform::WriteFileAtomically(pagePath, platform::ToCrLf(pageText(url, uid + ext))) != 0) {
            boxes.ok("Cannot create HTML file " + pagePath);
            everyPageWritten = false;
            break;
        }
    }

    if (catalogue.commit() != 0) {
        boxes.ok("Could not create data file '" + paths.dataFilePath + "'");
        return false;
    }
    return everyPageWritten;
}
