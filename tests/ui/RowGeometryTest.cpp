#include "marqueta/ui/RowGeometry.h"

#include <gtest/gtest.h>

namespace {

RowGeometryInput ThreeColumns() {
    RowGeometryInput in;
    in.left = 0;
    in.top = 20;
    in.height = 18;
    in.columnWidths = {120, 70, 100};
    in.stateImageWidth = 16;
    in.smallIconWidth = 16;
    in.clientWidth = 600;
    return in;
}

TEST(RowGeometry, PartsOfTheFirstCell) {
    const RowLayout l = LayoutRow(ThreeColumns());
    EXPECT_EQ(l.bounds, QRect(0, 20, 290, 18));
    EXPECT_EQ(l.stateImage, QRect(0, 20, 16, 18));
    EXPECT_EQ(l.icon, QRect(16, 20, 16, 18));
    EXPECT_EQ(l.label, QRect(32, 20, 88, 18));
    ASSERT_EQ(l.cells.size(), 3u);
    EXPECT_EQ(l.cells[0], l.label);
    EXPECT_EQ(l.cells[1], QRect(120, 20, 70, 18));
    EXPECT_EQ(l.cells[2], QRect(190, 20, 100, 18));
}

TEST(RowGeometry, HighlightStartsAtTheLabelAndRunsOnToTheClientWidth) {
    struct Case {
        const char* name;
        int left;
        int clientWidth;
        bool clientWidthSelection;
        QRect expected;
    };
    const Case cases[] = {
        {"columns end before the client area", 0, 600, true, QRect(32, 20, 568, 18)},
        {"without client-width selection", 0, 600, false, QRect(32, 20, 258, 18)},
        {"columns wider than the client area", 0, 200, true, QRect(32, 20, 258, 18)},
        {"scrolled to the right", -50, 600, true, QRect(-18, 20, 618, 18)},
    };
    for (const Case& c : cases) {
        RowGeometryInput in = ThreeColumns();
        in.left = c.left;
        in.clientWidth = c.clientWidth;
        in.clientWidthSelection = c.clientWidthSelection;
        EXPECT_EQ(LayoutRow(in).highlight, c.expected) << c.name;
    }
}

TEST(RowGeometry, WithoutImagesTheLabelTakesTheWholeFirstCell) {
    RowGeometryInput in = ThreeColumns();
    in.stateImageWidth = 0;
    in.smallIconWidth = 0;
    const RowLayout l = LayoutRow(in);
    EXPECT_EQ(l.label, QRect(0, 20, 120, 18));
    EXPECT_EQ(l.highlight.left(), 0);
}

TEST(RowGeometry, RowHeightFitsTextAndImages) {
    EXPECT_EQ(RowHeight(13, 16), 18);
    EXPECT_EQ(RowHeight(20, 16), 22);
    EXPECT_EQ(RowHeight(14, 0), 16);
}

TEST(RowGeometry, TextRectsAndAlignment) {
    EXPECT_EQ(TextRect(QRect(120, 20, 70, 18), 6), QRect(126, 20, 58, 18));
    EXPECT_EQ(TextRect(QRect(32, 20, 88, 18), 2), QRect(34, 20, 84, 18));

    struct Case {
        Qt::Alignment column;
        bool shortened;
        Qt::Alignment expected;
    };
    const Case cases[] = {
        {Qt::AlignLeft, false, Qt::AlignLeft},          {Qt::AlignRight, false, Qt::AlignRight},
        {Qt::AlignHCenter, false, Qt::AlignHCenter},    {Qt::AlignRight | Qt::AlignVCenter, false, Qt::AlignRight},
        {Qt::AlignRight, true, Qt::AlignLeft},          {Qt::AlignHCenter, true, Qt::AlignLeft},
        {Qt::AlignJustify, false, Qt::AlignLeft},
    };
    for (const Case& c : cases) EXPECT_EQ(CellAlignment(c.column, c.shortened), c.expected);
}

}  // namespace
