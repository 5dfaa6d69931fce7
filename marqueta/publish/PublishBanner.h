#pragma once
// Applying a submitted banner edit: new id, image copy, page, old files, row and save.
#include <optional>
#include <string>

#include "marqueta/catalogue/BannerRecord.h"
#include "marqueta/catalogue/CatalogueFile.h"
#include "marqueta/publish/BannerId.h"

// The editor's values as the publication step reads and changes them.
struct BannerEdit {
    BannerRecord values;          // the ten fields as submitted
    std::string loadedUrl;        // the row's link when the editor was filled; empty for a new banner
    std::string sourceImagePath;  // image chosen with Browse; empty when none was chosen
};

// row: the row's position, or -1 for a new banner appended at the end. True when the row was
// written (whatever the save's result); false after a reported failure, and when the user chose to
// reload at the save, which drops the edit (its new files are removed again). The report of the
// new files comes only after a save. The result is the row:
// a republished banner carries its new id there. For an existing row the old image is found
// under the row's own extension, so a new image with another extension leaves no orphan behind.
bool PublishBanner(int row, BannerEdit edit, CatalogueContext& context);

// Path of a banner's image and page, as the programs build them.
std::string bannerImagePath(const MarquetaPaths& paths, const std::string& uid, const std::string& ext);
std::string bannerPagePath(const MarquetaPaths& paths, const std::string& uid);

// True when a row other than the one at position row (-1: none) names the file, compared without
// regard to case: as its image (id and extension) or as its page (id and ".html").
bool NamedByAnotherRow(const std::string& fileName, int row, const RowTable& rows);

// The ids that the images and pages already carry: a drawn id never takes another file's name.
BannerIdSet IdsInUse(const MarquetaPaths& paths);

// A fresh "%08X" id that no row carries and that names no image (any extension) and no page;
// none when every id is taken.
std::optional<std::string> drawBannerId(const MarquetaPaths& paths, const RowTable& rows);
