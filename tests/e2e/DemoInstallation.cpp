#include "tests/e2e/DemoInstallation.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "marqueta/catalogue/CatalogueFile.h"
#include "platform/TextMode.h"

namespace fs = std::filesystem;

DemoInstallation::DemoInstallation()
    : windir_("WINDIR", tmp_.file("windows")) {
    fs::create_directories(tmp_.path() / "windows");
    fs::create_directories(tmp_.path() / "web" / "banners" / "images");
    WriteBytes(settingsFile(), "[PROGRAM]\r\nHTMLPATH=" + htmlPath() + "\r\n");
}

std::string DemoInstallation::htmlPath() const { return tmp_.file("web"); }
std::string DemoInstallation::bannersDir() const { return tmp_.file("web/banners/"); }
std::string DemoInstallation::imagesDir() const { return tmp_.file("web/banners/images/"); }
std::string DemoInstallation::catalogue() const { return bannersDir() + "bannerfile.txt"; }
std::string DemoInstallation::settingsFile() const { return tmp_.file("windows/VELTA.INI"); }

std::string DemoInstallation::writeFile(const std::string& relative, const std::string& bytes) {
    const std::string path = tmp_.file(relative);
    fs::create_directories(fs::path(path).parent_path());
    WriteBytes(path, bytes);
    return path;
}

std::string DemoInstallation::imageBytes(const std::string& name) { return "GIF89a picture of " + name; }

std::string DemoInstallation::writeImage(const std::string& name) {
    const std::string path = imagesDir() + name;
    WriteBytes(path, imageBytes(name));
    return path;
}

void DemoInstallation::writeCatalogue(const std::vector<Cells>& rows) const {
    std::string text;
    for (const Cells& cells : rows) text += catalogueLine(cells);
    WriteBytes(catalogue(), platform::ToCrLf(text));
}

std::vector<Cells> ReadCatalogue(const std::string& path) {
    const std::string text = ReadBytes(path);
    std::vector<Cells> rows;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "catalogue line without CR LF: " << text.substr(start);
            break;
        }
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        Cells cells;
        std::size_t field = 0;
        std::size_t from = 0;
        for (std::size_t comma; (comma = line.find(',', from)) != std::string::npos; from = comma + 1) {
            if (field < cells.size()) cells[field] = line.substr(from, comma - from);
            ++field;
        }
        EXPECT_EQ(field, cells.size()) << line;
        EXPECT_EQ(from, line.size()) << "the line ends with a comma: " << line;
        rows.push_back(cells);
    }
    return rows;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string below = fs::relative(entry.path(), folder).string();
        files[below] = entry.is_regular_file() ? ReadBytes(entry.path().string()) : std::string("<folder>");
    }
    return files;
}

Cells BannerRow(int number, const std::string& sequence) {
    char uid[16];
    std::snprintf(uid, sizeof uid, "%08X", static_cast<unsigned>(number));
    const std::string n = std::to_string(number);
    return {"banner" + n + ".gif", "Company " + n, "Product " + n, sequence, "http://site" + n + ".example/",
            "01/0" + std::to_string(1 + number % 9) + "/1999", "12/31/1999", "0." + n, uid, ".gif"};
}
