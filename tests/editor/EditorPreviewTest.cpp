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
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

TEST(EditorPreview, PicturesAreScaledDownToThePagesBoxWithTheirAspectKept) {
    const std::pair<QSize, QSize> cases[] = {
        {{468, 60}, {468, 60}}, {{100, 30}, {100, 30}}, {{936, 120}, {468, 60}},
        {{468, 120}, {234, 60}}, {{1000, 60}, {468, 28}}, {{1, 1}, {1, 1}},
    };
    for (const auto& [picture, shown] : cases) EXPECT_EQ(PreviewSize(picture), shown) << picture.width() << "x" << picture.height();
}

TEST(EditorPreview, ShowsTheBannersOwnImageThenTheChosenFileOrNoPreview) {
    TempDir tmp;
    MarquetaPaths paths;
    paths.imagesDir = tmp.file("images") + "/";
    std::filesystem::create_directories(paths.imagesDir);
    WriteBytes(paths.imagesDir + "00004A2F.png", Png(936, 120));
    WriteBytes(tmp.file("new.gif"), Png(120, 30));
    WriteBytes(tmp.file("broken.gif"), "GIF89a but no picture");
    ScriptedMessageBoxes boxes;
    CBannerEditorDlg dlg(paths, boxes);
    dlg.uid = "00004A2F";
    dlg.ext = ".png";
    dlg.image = "old";
    RunModal(dlg, [&](QWidget* active) {
        auto* picture = active->findChild<QLabel*>(QStringLiteral("previewLabel"));
        auto* size = active->findChild<QLabel*>(QStringLiteral("previewSizeLabel"));
        ASSERT_TRUE(picture && size);
        EXPECT_EQ(picture->pixmap().size(), QSize(468, 60));
        EXPECT_EQ(size->text(), QStringLiteral("936 x 120 pixels"));

        SetNextChosenImageFile(tmp.file("new.gif"));
        active->findChild<QPushButton*>(QStringLiteral("browsePushButton"))->click();
        EXPECT_EQ(picture->pixmap().size(), QSize(120, 30));
        EXPECT_EQ(size->text(), QStringLiteral("120 x 30 pixels"));

        SetNextChosenImageFile(tmp.file("broken.gif"));
        active->findChild<QPushButton*>(QStringLiteral("browsePushButton"))->click();
        EXPECT_EQ(picture->text(), QStringLiteral("No preview"));
        EXPECT_TRUE(size->text().isEmpty());
        EXPECT_EQ(dlg.sourceImagePath, tmp.file("broken.gif")) << "still accepted";
        dlg.reject();
    });
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
