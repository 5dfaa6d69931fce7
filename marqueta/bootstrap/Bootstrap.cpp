#include "marqueta/bootstrap/Bootstrap.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "common/LineEscape.h"
#include "marqueta/catalogue/CatalogueFile.h"
#include "marqueta/publish/BannerId.h"
#include "marqueta/publish/DeleteBanner.h"
#include "marqueta/publish/PageText.h"
#include "marqueta/publish/PublishBanner.h"
#include "platform/DirectorySearch.h"
#include "platform/FileOps.h"
#include "platform/FolderLock.h"
#include "platform/Paths.h"
#include "platform/SafeWrite.h"
#include "platform/TextMode.h"

namespace {

// While it exists, the images that the catalogue's placeholder lines name may still carry their
// old names. Written before the catalogue takes its name and removed once every image has its new
// one, so that a start after a kill finishes the renames.
std::string RenamesPendingPath(const MarquetaPaths& paths) { return paths.dataFilePath + ".renaming"; }

// The record names the catalogue it was written for by the hash of its bytes: a record restored
// from a backup, written by hand, or left beside a catalogue saved since, belongs to another
// catalogue, and renaming by it would move images that other rows name.
std::string RenamesPendingText(std::uint64_t catalogueHash) {
    return "Marqueta is giving the images named in the catalogue beside this file their new names.\r\n"
           "Catalogue: " + std::to_string(catalogueHash) + "\r\n";
}

bool RenamesPendingFor(const MarquetaPaths& paths, std::uint64_t catalogueHash) {
    std::string record;
    return platform::ReadFileLimited(RenamesPendingPath(paths), record, 4096) == 0 &&
           record == RenamesPendingText(catalogueHash);
}

// A file of the images folder whose name a catalogue line holds as it is: no separator (never a
// path that leads elsewhere), no comma and no control character (a line break would split the
// line), and an extension that names a file in its folder. The listing and the finishing of the
// renames judge by this one rule, so every image catalogued can be given its new name.
bool CanBeCatalogued(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
        name.find(platform::kSep) != std::string::npos)
        return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ',' || byte < 0x20 || byte == 0x7F) return false;
    }
    return isPlainExtension(platform::ExtensionOf(name));
}

std::string NamesList(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += "  " + line + "\n";
    return text;
}

struct FoundImages {
    std::vector<std::string> names;     // to be catalogued, in the order the file system lists them
    std::vector<std::string> leftOut;   // names a catalogue line cannot hold; they stay as they are
};

// Every file of the images folder counts as an image, in the order the file system lists them.
FoundImages ListImages(const MarquetaPaths& paths) {
    FoundImages images;
    for (const platform::FoundEntry& entry : platform::FindEntries(paths.imagesDir + "*.*")) {
        if (entry.isDirectory) continue;
        (CanBeCatalogued(entry.name) ? images.names : images.leftOut).push_back(entry.name);
    }
    return images;
}

Cells PlaceholderRecord(const std::string& name, const std::string& url, const std::string& uid,
                        const std::string& ext) {
    return {"*" + name, "Company", "Product", "Sequence", url, "1/1/1999", "1/1/1999", "Rate", uid, ext};
}

// The image a placeholder row was made for, by the name it had; none for any other row.
std::optional<std::string> OldImageName(const RowTable& rows, int row) {
    const std::string& image = rows.cell(row, Image);
    if (image.empty() || image[0] != '*') return std::nullopt;
    const std::string name = image.substr(1);
    const std::string& ext = rows.cell(row, Ext);
    if (!CanBeCatalogued(name) || platform::ExtensionOf(name) != ext ||
        !isWellFormedBannerId(rows.cell(row, Uid)))
        return std::nullopt;
    return name;
}

platform::ErrorCode WriteCatalogue(const std::string& path, const RowTable& rows) {
    std::string text;
    for (int row = 0; row < rows.count(); ++row) text += catalogueLine(rows.row(row).cells);
    return platform::WriteFileAtomically(path, platform::ToCrLf(text));
}

// Gives every image that a placeholder row of the catalogue (rows, as on disk) names the row's
// name where it does not carry it yet. The rows of images that cannot take it go from the
// catalogue, then their pages, and a message names those images. False (after a message) when the
// catalogue cannot be rewritten; the record of pending renames then stays for the next start.
bool FinishRenames(const MarquetaPaths& paths, platform::MessageBoxes& boxes, RowTable& rows) {
    std::vector<int> dropped;
    std::vector<std::string> notRenamed;
    for (int row = 0; row < rows.count(); ++row) {
        const std::optional<std::string> oldName = OldImageName(rows, row);
        if (!oldName) continue;
        const std::string newPath = paths.imagesDir + rows.cell(row, Uid) + rows.cell(row, Ext);
        if (platform::PathExistsAsWritten(newPath)) continue;
        if (const platform::ErrorCode error = platform::MoveFileAsWritten(paths.imagesDir + *oldName, newPath)) {
            dropped.push_back(row);
            notRenamed.push_back(EscapedForLine(*oldName) + " (" + platform::SystemErrorText(error) + ")");
        }
    }
    std::vector<std::string> pages;
    for (auto it = dropped.rbegin(); it != dropped.rend(); ++it) {
        pages.push_back(bannerPagePath(paths, rows.cell(*it, Uid)));
        rows.removeRow(*it);
    }
    if (!dropped.empty() && WriteCatalogue(paths.dataFilePath, rows) != 0) {
        boxes.ok("Unable to save file " + paths.dataFilePath);
        return false;
    }
    for (const std::string& page : pages) platform::DeleteFileAsWritten(page);
    platform::DeleteFileAsWritten(RenamesPendingPath(paths));
    if (!notRenamed.empty())
        boxes.ok("These images could not be given their new names and were left out of the catalogue; they keep "
                 "their names:\n" + NamesList(notRenamed));
    return true;
}

bool GenerateCatalogueLocked(const MarquetaPaths& paths, platform::MessageBoxes& boxes) {
    // Only a catalogue that does not exist is built anew: one that cannot be opened for another
    // reason is a live catalogue, which a bootstrap would replace by placeholders.
    if (const platform::ErrorCode error = platform::OpenErrorForReading(paths.dataFilePath); error == 0) {
        // A first run killed while it renamed the images: this start finishes it.
        if (!platform::PathExistsAsWritten(RenamesPendingPath(paths))) return true;  // the list reads it later
        RowTable rows;
        CatalogueFileState read;
        std::ostream quiet(nullptr);  // the list traces its own load
        // A catalogue not read whole is not believed: the list says why, and no image is touched.
        if (loadCatalogue(rows, paths.dataFilePath, quiet, &read) != 0) return true;
        if (!RenamesPendingFor(paths, read.contentHash)) {
            platform::DeleteFileAsWritten(RenamesPendingPath(paths));  // another catalogue's record
            return true;
        }
        return FinishRenames(paths, boxes, rows);
    } else if (!platform::IsMissingFileError(error)) {
        boxes.ok(UnableToOpenText(paths.dataFilePath, error));
        return false;
    }

    // The lines go to a temporary file beside the catalogue, which takes its name at the end. It is
    // made first, so that a catalogue that cannot be written costs no page and no image name.
    platform::AtomicFile catalogue(paths.dataFilePath);
    if (!catalogue.isOpen()) {
        boxes.ok("Could not create data file '" + paths.dataFilePath + "'");
        return false;
    }

    // Every page of an earlier catalogue goes: names containing ".htm", folders skipped.
    DeleteMatchingFiles(paths.bannersDir + "*.htm*");
    const FoundImages images = ListImages(paths);
    BannerIdSet used = IdsInUse(paths);

    bool everyPageWritten = true;
    RowTable rows;        // the lines written, as the catalogue will hold them
    std::string written;  // and their bytes
    for (std::size_t i = 0; i < images.names.size(); ++i) {
        const std::string& name = images.names[i];
        const std::string url = "http://Url" + std::to_string(i + 1);
        const std::string ext = platform::ExtensionOf(name);
        const std::optional<std::string> uid = used.drawFree();
        if (!uid) {
            boxes.ok("No free banner id is left.");
            everyPageWritten = false;
            break;
        }
        used.take(*uid);
        // A line that cannot be written fails the commit below, which reports it.
        const Cells line = PlaceholderRecord(name, url, *uid, ext);
        const std::string bytes = platform::ToCrLf(catalogueLine(line));
        if (!catalogue.write(bytes)) break;
        written += bytes;
        rows.insertRow(rows.count(), line, static_cast<int>(i));
        const std::string pagePath = bannerPagePath(paths, *uid);
        if (platform::WriteFileAtomically(pagePath, platform::ToCrLf(pageText(url, *uid + ext))) != 0) {
            boxes.ok("Cannot create HTML file " + pagePath);
            everyPageWritten = false;
            break;
        }
    }

    // The images take their new names only once the catalogue that records them is in place, and
    // the record of pending renames comes before it: killed at any moment, the next start either
    // builds the catalogue anew or finishes the renames.
    if (platform::WriteFileAtomically(RenamesPendingPath(paths), RenamesPendingText(CatalogueHash(written))) != 0 ||
        catalogue.commit() != 0) {
        platform::DeleteFileAsWritten(RenamesPendingPath(paths));
        boxes.ok("Could not create data file '" + paths.dataFilePath + "'");
        return false;
    }
    if (!images.leftOut.empty()) {
        std::vector<std::string> names;
        for (const std::string& name : images.leftOut) names.push_back(EscapedForLine(name));
        boxes.ok("These images were left out of the catalogue and keep their names, because a catalogue line "
                 "cannot hold them:\n" + NamesList(names));
    }
    return FinishRenames(paths, boxes, rows) && everyPageWritten;
}

}  // namespace

bool generateCatalogue(const MarquetaPaths& paths, platform::MessageBoxes& boxes) {
    // Two first starts at once would each rename the images by a catalogue of their own, and the
    // later catalogue would not name the images the earlier one renamed: the second start waits,
    // then finds the first one's catalogue.
    const std::string folder = platform::DirectoryOf(paths.dataFilePath);
    platform::CreateDirectory(folder);
    const platform::FolderLock lock(folder, platform::FolderLock::Wait::Yes);
    return GenerateCatalogueLocked(paths, boxes);
}
