#include "marqueta/app/Startup.h"

#include <string>

#include "common/VeltaSettings.h"
#include "marqueta/bootstrap/Bootstrap.h"
#include "platform/Paths.h"
#include "platform/Random.h"

namespace {

// Joined as written, so an installation path ending in a separator gives a doubled one.
std::string BannersFolder(const std::string& htmlPath) {
    return htmlPath + platform::kSepText + "banners" + platform::kSepText;
}

}  // namespace

bool StartMarqueta(MarquetaPaths& paths, platform::MessageBoxes& boxes, std::uint32_t seed) {
    const std::string htmlPath = ReadVeltaSetting("PROGRAM", "HTMLPATH");
    if (htmlPath.empty()) {
        boxes.ok(InstallationMissingText());
        return false;
    }
    platform::SeedRandom(seed);

    paths.bannersDir = BannersFolder(htmlPath);
    paths.imagesDir = BannersFolder(htmlPath) + "images" + platform::kSepText;

    paths.dataFilePath = ReadVeltaSetting("BANNER", "DATAFILE");
    if (paths.dataFilePath.empty()) {
        paths.dataFilePath = BannersFolder(htmlPath) + "bannerfile.txt";
        WriteVeltaSetting("BANNER", "DATAFILE", paths.dataFilePath);
    }
    paths.lastBrowseDir = ReadVeltaSetting("BANNER", "LASTBROWSEDIR");

    return generateCatalogue(paths, boxes);
}
