// The list drawn offscreen: the highlight of a selected row, images, and cell texts.
#include <QImage>
#include <QItemSelectionModel>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include "marqueta/ui/CListViewEx.h"
#include "marqueta/ui/RowPainting.h"
#include "tests/ui/ListRows.h"
#include "tests/ui/TestFont.h"

namespace {

struct RenderedList {
    RowTable rows;
    CListViewEx view{rows};

    RenderedList() {
        view.setFont(TestFont());
        view.setImageLists(LoadListImages());
        view.setShowSelectionAlways(true);
        view.setFocusPolicy(Qt::NoFocus);  // no focus frame unless a test asks for it
        view.resize(1300, 220);            // wider than the ten columns
    }

    QImage grab() {
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    int middleOf(int row) { return view.rowLayout(row).bounds.center().y(); }
    QColor highlight() const { return view.palette().color(QPalette::Active, QPalette::Highlight); }
    QColor base() const { return view.palette().color(QPalette::Active, QPalette::Base); }
};

// x of the first (or last) pixel in the row's band between left and right that differs from
// the background; -1 when there is none.
int InkEdge(const QImage& image, int top, int bottom, int left, int right, const QColor& background, bool first) {
    const QRgb bg = background.rgb();
    for (int i = 0; i <= right - left; ++i) {
        const int x = first ? left + i : right - i;
        for (int y = top; y <= bottom; ++y)
            if (image.pixel(x, y) != bg) return x;
    }
    return -1;
}

TEST(ListRendering, SelectedRowIsHighlightedToTheRightEdgeOfTheView) {
    RenderedList list;
    for (const char* company : {"alpha", "bravo", "charlie"}) AppendRow(list.view.rows(), ListRow(company));
    list.view.selectionModel()->select(list.view.shownIndex(1),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QImage image = list.grab();

    const RowLayout layout = list.view.rowLayout(1);
    ASSERT_LT(layout.bounds.right(), image.width() - 20) << "the columns must end before the view does";
    const int y = list.middleOf(1);
    EXPECT_EQ(image.pixelColor(image.width() - 1, y), list.highlight());
    EXPECT_EQ(image.pixelColor(layout.bounds.right() + 10, y), list.highlight());
    EXPECT_EQ(image.pixelColor(layout.label.left() + 1, layout.bounds.top()), list.highlight());
    // Rows not selected keep the background there; the images' area stays out of the highlight.
    EXPECT_EQ(image.pixelColor(image.width() - 1, list.middleOf(0)), list.base());
    EXPECT_EQ(image.pixelColor(image.width() - 1, list.middleOf(2)), list.base());
    EXPECT_NE(image.pixelColor(layout.stateImage.left() + 1, layout.bounds.bottom()), list.highlight());
}

TEST(ListRendering, SelectedRowsStayHighlightedWithoutTheFocusOnlyWhenAskedTo) {
    RenderedList list;
    AppendRow(list.view.rows(), ListRow("alpha"));
    list.view.selectionModel()->select(list.view.shownIndex(0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list.view.setShowSelectionAlways(false);
    QImage image = list.grab();
    ASSERT_FALSE(list.view.hasFocus());
    EXPECT_EQ(image.pixelColor(image.width() - 1, list.middleOf(0)), list.base());

    list.view.setShowSelectionAlways(true);
    image = list.view.viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(image.width() - 1, list.middleOf(0)), list.highlight());
}

TEST(ListRendering, RightAlignedColumnDrawsAShortenedTextLeftAligned) {
    RenderedList list;
    list.view.rowModel().setHeaderData(Rate, Qt::Horizontal, QVariant::fromValue(Qt::Alignment(Qt::AlignRight)),
                                       Qt::TextAlignmentRole);
    AppendRow(list.view.rows(), ListRow("short", "1", "1/1/1999", "12"));
    AppendRow(list.view.rows(), ListRow("long", "1", "1/1/1999", "1234567890123456"));
    const QImage image = list.grab();

    const QRect shortCell = list.view.rowLayout(0).cells.at(Rate);
    const QRect longCell = list.view.rowLayout(1).cells.at(Rate);
    const QFontMetrics metrics(TestFont());

    const int shortLast = InkEdge(image, shortCell.top(), shortCell.bottom(), shortCell.left(), shortCell.right(),
                                  list.base(), false);
    const int shortFirst = InkEdge(image, shortCell.top(), shortCell.bottom(), shortCell.left(), shortCell.right(),
                                   list.base(), true);
    ASSERT_GE(shortLast, 0);
    EXPECT_GE(shortLast, shortCell.right() - kCellInset - 2) << "a text that fits keeps the right alignment";
    EXPECT_GT(shortFirst, shortCell.center().x());

    const int longFirst = InkEdge(image, longCell.top(), longCell.bottom(), longCell.left(),
                                  longCell.right() + 40, list.base(), true);
    ASSERT_GE(longFirst, 0);
    EXPECT_GE(longFirst, longCell.left() + kCellInset);
    EXPECT_LE(longFirst, longCell.left() + kCellInset + 2) << "a shortened text is drawn from the left";
}

TEST(ListRendering, StateImageAndItemImageSitAtTheRowsLeft) {
    RenderedList list;
    AppendRow(list.view.rows(), ListRow("marked"));
    AppendRow(list.view.rows(), ListRow("plain"));
    list.view.rows().setStateImage(0, 2);
    const QImage image = list.grab();

    const ListImages& images = list.view.imageLists();
    EXPECT_EQ(list.view.rowLayout(0).bounds.height(), RowHeight(QFontMetrics(TestFont()).height(), 16));
    EXPECT_EQ(list.view.rowLayout(1).bounds.top(), list.view.rowLayout(0).bounds.bottom() + 1);
    for (int row = 0; row < 2; ++row) {
        const RowLayout layout = list.view.rowLayout(row);
        const QImage drawnState = image.copy(QRect(layout.bounds.topLeft(), QSize(16, 16)));
        const QImage drawnIcon = image.copy(QRect(layout.icon.topLeft(), QSize(16, 16)));
        QImage expectedIcon(16, 16, QImage::Format_RGB32);
        expectedIcon.fill(list.base());
        QPainter(&expectedIcon).drawPixmap(0, 0, images.small.at(0));
        EXPECT_EQ(drawnIcon, expectedIcon) << "row " << row;

        QImage expectedState(16, 16, QImage::Format_RGB32);
        expectedState.fill(list.base());
        if (row == 0) QPainter(&expectedState).drawPixmap(0, 0, images.state.at(1));
        EXPECT_EQ(drawnState, expectedState) << "row " << row;
    }
}

TEST(ListRendering, FocusFrameOnlyWhileTheViewHasTheFocus) {
    RenderedList list;
    AppendRow(list.view.rows(), ListRow("alpha"));
    AppendRow(list.view.rows(), ListRow("bravo"));
    list.view.selectionModel()->setCurrentIndex(list.view.shownIndex(1), QItemSelectionModel::NoUpdate);
    const RowLayout layout = list.view.rowLayout(1);
    const int x = layout.bounds.right() + 40;  // right of the columns, where no text is drawn

    QImage image = list.grab();
    EXPECT_EQ(InkEdge(image, layout.bounds.top(), layout.bounds.bottom(), x, x + 20, list.base(), true), -1);

    list.view.setFocusPolicy(Qt::StrongFocus);
    list.view.activateWindow();
    list.view.setFocus();
    ASSERT_TRUE(list.view.hasFocus());
    image = list.view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_NE(InkEdge(image, layout.bounds.top(), layout.bounds.top(), x, x + 20, list.base(), true), -1)
        << "the dotted frame runs along the row's top edge";
    EXPECT_EQ(InkEdge(image, list.view.rowLayout(0).bounds.top(), list.view.rowLayout(0).bounds.top(), x, x + 20,
                      list.base(), true), -1) << "only around the current row";
}

TEST(RowPainting, BlendingMixesOpaquePixelsHalfAndHalf) {
    QImage source(2, 1, QImage::Format_ARGB32);
    source.setPixelColor(0, 0, QColor(255, 0, 0));
    source.setPixelColor(1, 0, Qt::transparent);
    const QImage out = BlendedImage(QPixmap::fromImage(source), QColor(0, 0, 255)).toImage();
    const QColor mixed = out.pixelColor(0, 0);
    EXPECT_NEAR(mixed.red(), 127, 2);
    EXPECT_NEAR(mixed.blue(), 128, 2);
    EXPECT_EQ(mixed.alpha(), 255);
    EXPECT_EQ(out.pixelColor(1, 0).alpha(), 0);
}

}  // namespace
