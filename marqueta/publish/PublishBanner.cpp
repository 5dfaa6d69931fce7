#include "marqueta/publish/PublishBanner.h"

#include "marqueta/publish/PageText.h"
#include "platform/CaseFold.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "platform/SafeWrite.h"
#include "platform/TextMode.h"

namespace {

// The four files a republication touches.
struct BannerPaths {
    std::string oldImage, newImage, oldPage, newPage;
};

// The image as the row names it now: for an existing row its own extension, which a new image
// chosen with Browse may already have replaced in the editor's values.
std::string OriginalExtension(int row, const BannerEdit& edit, const RowTable& rows) {
    return row >= 0 && row < rows.count() ? rows.cell(row, Ext) : edit.values.ext;
}

// True when the file is another row's image: that banner must keep it.
bool NamedByAnotherRow(const std::string& path, int row, const RowTable& rows) {
    const std::string name = platform::FileNameOf(path);
    for (int position = 0; position < rows.count(); ++position) {
        if (position == row) continue;
        const std::string image = rows.cell(position, Uid) + rows.cell(position, Ext);
        if (platform::EqualsIgnoringCase(name, image)) return true;
    }
    return false;
}

bool ChosenInsideImagesFolder(const std::string& sourceImagePath, const MarquetaPaths& paths) {
    return platform::EqualsIgnoringCase(platform::DirectoryOf(sourceImagePath),
                                        platform::DirectoryOf(paths.imagesDir));
}

// Copies the image under the new id and writes its page, then moves the old files out of the
// way. False after a reported failure.
bool Republish(int row, BannerEdit& edit, const BannerPaths& files, const std::string& newUid,
               CatalogueContext& context, std::string& publishedImageName) {
    const MarquetaPaths& paths = context.paths;
    BannerRecord& d = edit.values;

    platform::CreateDirectory(platform::DirectoryOf(files.newImage));
    if (const platform::ErrorCode error = platform::CopyFileNoReplace(edit.sourceImagePath, files.newImage)) {
        context.boxes.ok("Could not copy file " + edit.sourceImagePath + " to " + files.newImage +
                         ". Reason: " + platform::SystemErrorText(error));
        return false;
    }

    publishedImageName = newUid + d.ext;
    const std::string text = pageText(d.url, publishedImageName);
    platform::CreateDirectory(platform::DirectoryOf(files.newPage));
    if (platform::WriteFileAtomically(files.newPage, platform::ToCrLf(text)) != 0) {
        context.boxes.ok("Cannot open HTML file '" + files.newPage + "'");
        return false;
    }

    // An image chosen inside the images folder is moved, unless another banner shows it.
    if (ChosenInsideImagesFolder(edit.sourceImagePath, paths) &&
        !NamedByAnotherRow(edit.sourceImagePath, row, context.rows))
        platform::DeleteFile(edit.sourceImagePath);
    platform::DeleteFile(files.oldPage);
    if (!d.uid.empty()) platform::DeleteFile(files.oldImage);
    d.uid = newUid;

    context.boxes.ok("Created the following banner:\n  Source Image: " + edit.sourceImagePath +
                     "\n  Target Image: " + files.newImage + "\n  Source Html:  " + files.oldPage +
                     "\n  Target Html:  " + files.newPage + "\n");
    return true;
}

}  // namespace

bool PublishBanner(int row, BannerEdit& edit, CatalogueContext& context, std::string& publishedImageName) {
    const MarquetaPaths& paths = context.paths;
    BannerRecord& d = edit.values;

    const std::string newUid = drawBannerId(paths, context.rows);
    const bool linkChanged = !platform::EqualsIgnoringCase(d.url, edit.loadedUrl);
    const bool imageChosen = !edit.sourceImagePath.empty();

    BannerPaths files;
    files.oldImage = bannerImagePath(paths, d.uid, OriginalExtension(row, edit, context.rows));
    files.newImage = bannerImagePath(paths, newUid, d.ext);
    files.oldPage = bannerPagePath(paths, d.uid);
    files.newPage = bannerPagePath(paths, newUid);
    if (!imageChosen) edit.sourceImagePath = files.oldImage;

    if ((imageChosen || linkChanged) && !Republish(row, edit, files, newUid, context, publishedImageName))
        return false;

    if (row < 0 || row >= context.rows.count()) row = context.rows.insertRow(context.rows.count());
    context.rows.setCells(row, d.toCells());
    saveCatalogue(context);
    return true;
}
