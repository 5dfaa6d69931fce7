// The banner preview: the picture scaled down to the page's box, its real size, "No preview".
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include "marqueta/ui/BannerPreview.h"
#include "marqueta/ui/CBannerEditorDlg.h"
#include "marqueta/ui/FileDialogHook.h"
#include "tests/editor/RunModal.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace {

std::string Png(int width, int height) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage(width, height, QImage::Format_RGB32).save(&buffer, "PNG");
    return bytes.toStdString();
}

TEST(EditorPreview, ShowsTheBannersOwnImageThenTheChosenFileOrNoPreview) {
    EXPECT_EQ(PreviewSize({468, 120}), QSize(234, 60));
    EXPECT_EQ(PreviewSize({1000, 60}), QSize(468, 28));
    TempDir tmp;
    MarquetaPaths paths;
    paths.imagesDir = tmp.file("images") + "/";
    std::filesystem::create_directories(paths.imagesDir);
    WriteBytes(tmp.file("images/00004A2F.png"), Png(936, 120));
    WriteBytes(tmp.file("new.gif"), Png(120, 30));
    WriteBytes(tmp.file("broken.gif"), "GIF89a but no picture");
    ScriptedMessageBoxes boxes;
    CBannerEditorDlg dlg(paths, boxes);
    dlg.uid = "00004A2F";
    dlg.ext = ".png";
    RunModal(dlg, [&](QWidget* active) {
        auto* picture = active->findChild<QLabel*>(QStringLiteral("previewLabel"));
        auto* size = active->findChild<QLabel*>(QStringLiteral("previewSizeLabel"));
        const auto browse = [&](const char* name, QSize shown, const char* sizeText) {
            if (name) {
                SetNextChosenImageFile(tmp.file(name));
                active->findChild<QPushButton*>(QStringLiteral("browsePushButton"))->click();
            }
            EXPECT_EQ(picture->pixmap().size(), shown);
            EXPECT_EQ(size->text(), QString::fromLatin1(sizeText));
        };
        browse(nullptr, {468, 60}, "936 x 120 pixels");
        browse("new.gif", {120, 30}, "120 x 30 pixels");
        // A picture with more bytes behind it than any banner has is not read at all.
        WriteBytes(tmp.file("huge.png"), Png(120, 30));
        std::filesystem::resize_file(tmp.file("huge.png"), kMaxPreviewBytes + 1);
        browse("huge.png", {0, 0}, "");
        EXPECT_EQ(dlg.sourceImagePath, tmp.file("huge.png")) << "still accepted";
        browse("broken.gif", {0, 0}, "");
        EXPECT_EQ(picture->text(), QStringLiteral("No preview"));
        EXPECT_EQ(dlg.sourceImagePath, tmp.file("broken.gif")) << "still accepted";
        dlg.reject();
    });
}

}  // namespace
