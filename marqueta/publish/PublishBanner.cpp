#include "marqueta/publish/PublishBanner.h"

#include "marqueta/publish/BannerId.h"
#include "marqueta/publish/PageText.h"
#include "platform/CaseFold.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "platform/SafeWrite.h"
#include "platform/TextMode.h"
#include "platform/Volume.h"

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

// Decided by the folder itself, never by a name compared without regard to case: on a system that
// tells case apart, "Images" beside "images" is another folder, whose pictures are only copied.
bool ChosenInsideImagesFolder(const std::string& sourceImagePath, const MarquetaPaths& paths) {
    const std::string chosenFolder = platform::DirectoryOf(sourceImagePath);
    const std::string imagesFolder = platform::DirectoryOf(paths.imagesDir);
    return platform::AreSameFile(chosenFolder, imagesFolder).value_or(chosenFolder == imagesFolder);
}

// Copies the image under the new id and writes its page; the old files stay until the catalogue
// names the new ones. False after a reported failure.
bool WriteNewFiles(const BannerEdit& edit, const BannerPaths& files, const std::string& newUid,
                   CatalogueContext& context) {
    const BannerRecord& d = edit.values;
    platform::CreateDirectory(platform::DirectoryOf(files.newImage));
    if (const platform::ErrorCode error = platform::CopyFileNoReplace(edit.sourceImagePath, files.newImage)) {
        context.boxes.ok("Could not copy file " + edit.sourceImagePath + " to " + files.newImage +
                         ". Reason: " + platform::SystemErrorText(error));
        return false;
    }

    const std::string text = pageText(d.url, newUid + d.ext);
    platform::CreateDirectory(platform::DirectoryOf(files.newPage));
    if (platform::WriteFileAtomically(files.newPage, platform::ToCrLf(text)) != 0) {
        context.boxes.ok("Cannot open HTML file '" + files.newPage + "'");
        return false;
    }
    return true;
}

// Once the saved catalogue names the new files: the old ones go, and an image chosen inside the
// images folder is moved, but never a file that another row still names.
void RemoveOldFiles(int row, const BannerEdit& edit, const BannerPaths& files, const std::string& oldUid,
                    bool imageChosen, CatalogueContext& context) {
    const auto removable = [&](const std::string& path) {
        return !NamedByAnotherRow(platform::FileNameOf(path), row, context.rows);
    };
    // The row's own image, standing in when none was chosen, goes below as the old image or not at all.
    if (imageChosen && ChosenInsideImagesFolder(edit.sourceImagePath, context.paths) && removable(edit.sourceImagePath))
        platform::DeleteFile(edit.sourceImagePath);
    if (!files.oldFilesNamed) return;
    if (removable(files.oldPage)) platform::DeleteFile(files.oldPage);
    if (!oldUid.empty() && removable(files.oldImage)) platform::DeleteFile(files.oldImage);
}

// A reload at the save dropped the edit: it is said, and the files written for it belong to no
// row, so they go again unless a reloaded row names them; those that stay are named.
void ReportEditDropped(const BannerEdit& edit, const BannerPaths* written, CatalogueContext& context) {
    std::string text = "The banner " + edit.values.image + " was not saved: the catalogue file was reloaded without it.";
    if (written) {
        std::string stayed;
        for (const std::string& path : {written->newImage, written->newPage}) {
            if (NamedByAnotherRow(platform::FileNameOf(path), -1, context.rows)) continue;
            platform::DeleteFile(path);
            if (platform::PathExists(path)) stayed += "\n  " + path;
        }
        text += stayed.empty() ? " The image and page written for it were removed again."
                               : " These files written for it could not be removed:" + stayed;
    }
    context.boxes.ok(text);
}

void ReportNewBanner(const BannerEdit& edit, const BannerPaths& files, CatalogueContext& context) {
    context.boxes.ok("Created the following banner:\n  Source Image: " + edit.sourceImagePath +
                     "\n  Target Image: " + files.newImage + "\n  Source Html:  " + files.oldPage +
                     "\n  Target Html:  " + files.newPage + "\n");
}

}  // namespace

bool PublishBanner(int row, BannerEdit edit, CatalogueContext& context) {
    const MarquetaPaths& paths = context.paths;
    BannerRecord& d = edit.values;
    // The editor may have stood open while another program saved the catalogue: ask again before
    // any file changes. After a reload the edit goes on with the row as the file now holds it.
    const std::optional<int> found = rowMayBeWritten(context, row >= 0 && row < context.rows.count() ? row : -1);
    if (!found) return false;
    row = *found;

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

    // New files first, then the catalogue that names them, then the old files: whenever this
    // stops, every row names files that exist.
    const bool republish = imageChosen || linkChanged;
    const std::string oldUid = d.uid;
    if (republish) {
        if (const std::string refusal = RepublishRefusal(edit, files, drawn.has_value()); !refusal.empty()) {
            context.boxes.ok(refusal);
            return false;
        }
        if (!WriteNewFiles(edit, files, newUid, context)) return false;
        d.uid = newUid;
    }

    if (row < 0) row = context.rows.insertRow(context.rows.count());
    context.rows.setCells(row, d.toCells());
    const SaveOutcome saved = saveCatalogueWithOutcome(context);
    // The report and the removal of the old files come only for what was saved; a reload dropped
    // the edit, so its new files go again.
    if (republish && saved == SaveOutcome::Saved) {
        RemoveOldFiles(row, edit, files, oldUid, imageChosen, context);
        ReportNewBanner(edit, files, context);
    }
    if (saved == SaveOutcome::Reloaded) ReportEditDropped(edit, republish ? &files : nullptr, context);
    return saved != SaveOutcome::Reloaded;
}
