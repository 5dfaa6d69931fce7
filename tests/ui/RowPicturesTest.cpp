// View > Show Pictures: each row starts with its banner's picture, read in the background; a file
// that is missing, broken or too large shows "No picture", and a changed file is read again.
#include <filesystem>

#include <QAction>
#include <QBuffer>
#include <QHeaderView>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include "common/VeltaSettings.h"
#include "marqueta/ui/PictureFile.h"
#include "tests/support/Named.h"
#include "tests/ui/ListRows.h"
#include "tests/ui/MarquetaWindow.h"

namespace {

std::string Png(QSize size, Qt::GlobalColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

Cells Banner(const std::string& company, const std::string& uid) {
    Cells cells = ListRow(company);
    cells[Uid] = uid;
    cells[Ext] = ".png";
    return cells;
}

// The colour at the middle of the row's picture.
QColor PictureMiddle(CRowListView& view, int row) {
    return view.viewport()->grab().toImage().pixelColor(view.rowLayout(row).picture.center());
}

// Waits until get() gives want (the pictures are read in the background), then compares.
template <class Get, class Want>
void ExpectSoon(const Get& get, const Want& want) {
    if (!QTest::qWaitFor([&] { return get() == want; }, 5000)) {
        EXPECT_EQ(get(), want);
    }
}

void TurnPicturesOn(MarquetaWindow& w) {
    Named<QAction>(*w.frame, "showPicturesAction")->trigger();
    ASSERT_TRUE(w.view().showPictures());
}

TEST(RowPictures, TurnedOnEachRowShowsItsPictureOrNoPicture) {
    MarquetaWindow w({Banner("b", "00000001"), Banner("a", "00000002"), Banner("c", "00000003"), Banner("d", "1")});
    WriteBytes(w.imageFile("00000001.png"), Png({468, 60}, Qt::red));
    WriteBytes(w.imageFile("00000003.png"), "not a picture");
    CRowListView& view = w.view();
    const int plainHeight = view.rowLayout(0).bounds.height();
    const int plainFirstWidth = view.header()->sectionSize(0);
    EXPECT_TRUE(view.rowLayout(0).picture.isEmpty()) << "off by default";

    TurnPicturesOn(w);
    EXPECT_EQ(ReadVeltaSetting("BANNER", "SHOWPICTURES"), "1");
    const char* const described[] = {"00000001.png, 468 x 60 pixels", "00000002.png, No picture",
                                     "00000003.png, No picture", "No picture"};
    for (int row = 0; row < 4; ++row)
        ExpectSoon([&] { return view.pictureDescription(row); }, QString::fromLatin1(described[row]));
    EXPECT_EQ(view.rowLayout(0).bounds.height(), kRowPictureBox.height() + 2);
    EXPECT_EQ(PictureMiddle(view, 0), QColor(Qt::red));
    EXPECT_NE(PictureMiddle(view, 1), QColor(Qt::red));
    EXPECT_TRUE(view.model()->index(0, 0).data(Qt::AccessibleDescriptionRole).toString().startsWith(
        QStringLiteral("00000001.png, 468 x 60 pixels. ")));

    // Sorting moves the pictures with their rows; a press on a picture selects, it does not mark.
    view.OnColumnClick(Company);
    ExpectSoon([&] { return PictureMiddle(view, 1); }, QColor(Qt::red));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.rowLayout(1).picture.center());
    EXPECT_EQ(view.markedRow(), -1);
    EXPECT_EQ(view.firstSelectedRow(), 1);

    Named<QAction>(*w.frame, "showPicturesAction")->trigger();
    EXPECT_EQ(ReadVeltaSetting("BANNER", "SHOWPICTURES"), "0");
    ExpectSoon([&] { return view.rowLayout(0).bounds.height(); }, plainHeight);
    EXPECT_EQ(view.header()->sectionSize(0), plainFirstWidth);
    EXPECT_FALSE(view.model()->index(0, 0).data(Qt::AccessibleDescriptionRole).toString().contains(QStringLiteral("png")));
}

TEST(RowPictures, AChangedFileIsReadAgain) {
    MarquetaWindow w({Banner("a", "00000001")});
    WriteBytes(w.imageFile("00000001.png"), Png({468, 60}, Qt::red));
    TurnPicturesOn(w);
    CRowListView& view = w.view();
    ExpectSoon([&] { return PictureMiddle(view, 0); }, QColor(Qt::red));
    WriteBytes(w.imageFile("00000001.png"), Png({100, 20}, Qt::blue));
    view.checkPictures();
    ExpectSoon([&] { return PictureMiddle(view, 0); }, QColor(Qt::blue));
    EXPECT_EQ(view.pictureDescription(0), QStringLiteral("00000001.png, 100 x 20 pixels"));
}

TEST(RowPictures, AFileOverTheLimitIsNotDecoded) {
    MarquetaWindow w({Banner("a", "00000001")});
    // A picture that reads whole, with more bytes behind it than any banner has.
    WriteBytes(w.imageFile("00000001.png"), Png({468, 60}, Qt::red));
    std::filesystem::resize_file(w.imageFile("00000001.png"), kMaxPreviewBytes + 1);
    TurnPicturesOn(w);
    ExpectSoon([&] { return w.view().pictureDescription(0); }, QStringLiteral("00000001.png, No picture"));
    EXPECT_NE(PictureMiddle(w.view(), 0), QColor(Qt::red));
}

}  // namespace
