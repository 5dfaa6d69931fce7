#include "marqueta/publish/PublishBanner.h"

#include "marqueta/publish/BannerId.h"
#include "marqueta/publish/PageText.h"
#include "platform/CaseFold.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "platform/SafeWrite.h"
#include "platform/TextMode.h"

namespace {

// The four files a republication touches. The old ones exist for publication only when the row
// names them inside the images and banners folders.
struct BannerPaths {
    std::string oldImage, newImage, oldPage, newPage;
    bool oldFilesNamed = false;
};

// A row whose id or extension a hand edit has bent could name files anywhere: such a row has no
// old files, and it needs an image chosen with Browse to be published again.
bool NamesOwnFiles(const std::string& uid, const std::string& ext) {
    return (uid.empty() || isWellFormedBannerId(uid)) && isPlainExtension(ext);
}

// Why a republication cannot start; empty when it can.
std::string RepublishRefusal(const BannerEdit& edit, const BannerPaths& files, bool haveNewId) {
    if (!haveNewId) return "No free banner id is left.";
    const bool haveSource = !edit.sourceImagePath.empty() || files.oldFilesNamed;
    if (!haveSource || !isPlainExtension(edit.values.ext))
        return "The catalogue line of this banner does not name an image in the images folder. "
               "Please choose the banner's image with Browse.";
    return {};
}

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
    if (files.oldFilesNamed) {
        platform::DeleteFile(files.oldPage);
        if (!d.uid.empty()) platform::DeleteFile(files.oldImage);
    }
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

    const std::optional<std::string> drawn = drawBannerId(paths, context.rows);
    const std::string newUid = drawn.value_or(std::string());
    const bool linkChanged = !platform::EqualsIgnoringCase(d.url, edit.loadedUrl);
    const bool imageChosen = !edit.sourceImagePath.empty();

    BannerPaths files;
    const std::string oldExt = OriginalExtension(row, edit, context.rows);
    files.oldFilesNamed = NamesOwnFiles(d.uid, oldExt);
    files.oldImage = bannerImagePath(paths, d.uid, oldExt);
    files.newImage = bannerImagePath(paths, newUid, d.ext);
    files.oldPage = bannerPagePath(paths, d.uid);
    files.newPage = bannerPagePath(paths, newUid);
    if (!imageChosen && files.oldFilesNamed) edit.sourceImagePath = files.oldImage;

    // The editor may have stood open while another program saved the catalogue: ask again before
    // any file changes, so that a reload never meets files this publication already replaced.
    if (!catalogueMayBeWritten(context)) return false;
    if (imageChosen || linkChanged) {
        if (const std::string refusal = RepublishRefusal(edit, files, drawn.has_value()); !refusal.empty()) {
            context.boxes.ok(refusal);
            return false;
        }
        if (!Republish(row, edit, files, newUid, context, publishedImageName)) return false;
    }

    if (row < 0 || row >= context.rows.count()) row = context.rows.insertRow(context.rows.count());
    context.rows.setCells(row, d.toCells());
    saveCatalogue(context);
    return true;
}
