#include "marqueta/publish/BannerId.h"
#include "marqueta/publish/PublishBanner.h"
#include "platform/CaseFold.h"
#include "platform/Paths.h"

// The folders end with a separator and one more is put between, as the programs always built
// these paths; the doubled separator is harmless and shows in the messages as built.
std::string bannerImagePath(const MarquetaPaths& paths, const std::string& uid, const std::string& ext) {
    return paths.imagesDir + platform::kSepText + uid + ext;
}

std::string bannerPagePath(const MarquetaPaths& paths, const std::string& uid) {
    return paths.bannersDir + platform::kSepText + uid + ".html";
}

bool NamedByAnotherRow(const std::string& fileName, int row, const RowTable& rows) {
    for (int position = 0; position < rows.count(); ++position) {
        if (position == row) continue;
        const std::string& uid = rows.cell(position, Uid);
        if (uid.empty()) continue;
        if (platform::EqualsIgnoringCase(fileName, uid + rows.cell(position, Ext)) ||
            platform::EqualsIgnoringCase(fileName, uid + ".html"))
            return true;
    }
    return false;
}

BannerIdSet IdsInUse(const MarquetaPaths& paths) {
    BannerIdSet used;
    used.takeFilesIn(paths.imagesDir);
    used.takeFilesIn(paths.bannersDir);
    return used;
}

std::optional<std::string> drawBannerId(const MarquetaPaths& paths, const RowTable& rows) {
    BannerIdSet used = IdsInUse(paths);
    for (int position = 0; position < rows.count(); ++position) used.take(rows.cell(position, Uid));
    return used.drawFree();
}
