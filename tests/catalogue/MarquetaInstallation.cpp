#include "tests/catalogue/MarquetaInstallation.h"

#include <algorithm>
#include <filesystem>

#include "marqueta/publish/PageText.h"
#include "platform/TextMode.h"

namespace {

std::vector<std::string> FileNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

MarquetaInstallation::MarquetaInstallation()
    : windir("WINDIR", dir.file("windows")), context{paths, rows, boxes, &status} {
    std::filesystem::create_directories(dir.file("windows"));
    std::filesystem::create_directories(dir.file("web/banners/images"));
    paths.bannersDir = dir.file("web/banners/");
    paths.imagesDir = dir.file("web/banners/images/");
    paths.dataFilePath = dir.file("web/banners/bannerfile.txt");
}

std::unique_ptr<Catalogue> MarquetaInstallation::programCatalogue() {
    auto catalogue = std::make_unique<Catalogue>(boxes, &trace);
    catalogue->paths() = paths;
    catalogue->setStatusPane(&status);
    return catalogue;
}

int MarquetaInstallation::addRow(const Cells& cells) {
    return rows.insertRow(rows.count(), cells, rows.distinctTag(rows.count()));
}

int MarquetaInstallation::addPublishedBanner(const Cells& cells, const std::string& imageBytes) {
    WriteBytes(imageFile(cells[Uid] + cells[Ext]), imageBytes);
    WriteBytes(bannerFile(cells[Uid] + ".html"), platform::ToCrLf(pageText(cells[Url], cells[Uid] + cells[Ext])));
    return addRow(cells);
}

std::vector<std::string> MarquetaInstallation::bannerFileNames() const { return FileNames(dir.file("web/banners")); }

std::vector<std::string> MarquetaInstallation::imageFileNames() const {
    return FileNames(dir.file("web/banners/images"));
}

Cells SampleCells(const std::string& uid, const std::string& ext, const std::string& url) {
    return {"logo" + ext, "Acme Tools", "Hammer", "3", url, "03/07/1999", "12/31/1999", "0.25", uid, ext};
}
