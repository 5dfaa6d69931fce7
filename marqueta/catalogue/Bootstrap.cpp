#include "marqueta/catalogue/Bootstrap.h"

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

Cells PlaceholderRecord(const FoundImage& image, const std::string& url, const std::string& uid,
                        const std::string& ext) {
    return {"*" + image.name, "Company", "Product", "Sequence", url, "1/1/1999", "1/1/1999", "Rate", uid, ext};
}

}  // namespace

bool generateCatalogue(const MarquetaPaths& paths, platform::MessageBoxes& boxes) {
    // Only a catalogue that does not exist is built anew: one that cannot be opened for another
    // reason is a live catalogue, which a bootstrap would replace by placeholders.
    if (const platform::ErrorCode error = platform::OpenErrorForReading(paths.dataFilePath); error == 0) {
        return true;  // the list reads it later
    } else if (!platform::IsMissingFileError(error)) {
        boxes.ok(UnableToOpenText(paths.dataFilePath, error));
        return false;
    }

    // The lines go to a temporary file beside the catalogue, which takes its name at the end. It is
    // made first, so that a catalogue that cannot be written costs no page and no image name.
    platform::CreateDirectory(platform::DirectoryOf(paths.dataFilePath));
    platform::AtomicFile catalogue(paths.dataFilePath);
    if (!catalogue.isOpen()) {
        boxes.ok("Could not create data file '" + paths.dataFilePath + "'");
        return false;
    }

    // Every page of an earlier catalogue goes: names containing ".htm", folders skipped.
    DeleteMatchingFiles(paths.bannersDir + "*.htm*");
    const std::vector<FoundImage> images = ListImages(paths);
    BannerIdSet used = IdsInUse(paths);

    bool everyPageWritten = true;
    std::vector<std::string> newNames;  // per recorded image, the name its line gives it
    for (std::size_t i = 0; i < images.size(); ++i) {
        const FoundImage& image = images[i];
        const std::string url = "http://Url" + std::to_string(i + 1);
        const std::string ext = platform::ExtensionOf(image.name);
        const std::optional<std::string> uid = used.drawFree();
        if (!uid) {
            boxes.ok("No free banner id is left.");
            everyPageWritten = false;
            break;
        }
        used.take(*uid);
        // A line that cannot be written fails the commit below, which reports it.
        if (!catalogue.write(platform::ToCrLf(catalogueLine(PlaceholderRecord(image, url, *uid, ext))))) break;
        newNames.push_back(*uid + ext);
        const std::string pagePath = bannerPagePath(paths, *uid);
        if (platform::WriteFileAtomically(pagePath, platform::ToCrLf(pageText(url, *uid + ext))) != 0) {
            boxes.ok("Cannot create HTML file " + pagePath);
            everyPageWritten = false;
            break;
        }
    }

    if (catalogue.commit() != 0) {
        boxes.ok("Could not create data file '" + paths.dataFilePath + "'");
        return false;
    }
    // Only now do the images take their new names: killed at any moment, each image keeps its own
    // name or has the one a committed line records beside the old.
    for (std::size_t i = 0; i < newNames.size(); ++i)
        platform::MoveFile(images[i].fullPath, platform::DirectoryOf(images[i].fullPath) + newNames[i]);
    return everyPageWritten;
}
