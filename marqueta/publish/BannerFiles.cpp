#include "marqueta/publish/BannerId.h"
#include "marqueta/publish/PublishBanner.h"
#include "platform/CaseFold.h"
#include "platform/DirectorySearch.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"

// The folders end with a separator and one more is put between, as the programs always built
// these paths; the doubled separator is harmless and shows in the messages as built.
std::string bannerImagePath(const MarquetaPaths& paths, const std::string& uid, const std::string& ext) {
    return paths.imagesDir + platform::kSepText + uid + ext;
}

std::string bannerPagePath(const MarquetaPaths& paths, const std::string& uid) {
    return paths.bannersDir + platform::kSepText + uid + ".html";
}

namespace {

bool RowCarriesId(const RowTable& rows, const std::string& uid) {
    for (int position = 0; position < rows.count(); ++position)
        if (platform::EqualsIgnoringCase(rows.cell(position, Uid), uid)) return true;
    return false;
}

bool ImageWithIdExists(const MarquetaPaths& paths, const std::string& uid) {
    return !platform::FindEntries(paths.imagesDir + uid + ".*").empty();
}

bool IdIsFree(const MarquetaPaths& paths, const RowTable& rows, const std::string& uid) {
    return !RowCarriesId(rows, uid) && !ImageWithIdExists(paths, uid) &&
           !platform::PathExists(bannerPagePath(paths, uid));
}

}  // namespace

std::string drawBannerId(const MarquetaPaths& paths, const RowTable& rows) {
    return DrawFreeBannerId([&](const std::string& uid) { return IdIsFree(paths, rows, uid); });
}
