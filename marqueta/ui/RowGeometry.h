#pragma once
// Where the parts of one list row go: plain arithmetic, in the view's viewport coordinates.
#include <vector>

#include <QRect>
#include <Qt>

inline constexpr int kFirstCellInset = 2;  // the first cell's text keeps 2 pixels each side
inline constexpr int kCellInset = 6;       // further cells keep 6

struct RowGeometryInput {
    int left = 0;    // column 0's left edge (negative when scrolled)
    int top = 0;
    int height = 0;
    std::vector<int> columnWidths;  // in display order
    int pictureWidth = 0;           // 0 without pictures
    int stateImageWidth = 0;        // 0 without state images
    int smallIconWidth = 0;         // 0 without small icons
    int clientWidth = 0;            // width of the viewport
    bool clientWidthSelection = true;
};

struct RowLayout {
    QRect bounds;      // the whole row: column 0's left edge to the last column's right edge
    QRect picture;     // the banner's picture, where the row starts (empty without pictures)
    QRect stateImage;  // left of the icon: where the state image sits and a press marks the row
    QRect icon;        // the item image
    QRect label;       // the first cell's text area
    QRect highlight;   // from the label's left edge to the row's right edge, or on to clientWidth
    std::vector<QRect> cells;  // cells[0] is the label; cell i starts where cell i - 1 ends
};

RowLayout LayoutRow(const RowGeometryInput& input);

// Every row is as high as the taller of its text and its images, with a pixel to spare each side.
int RowHeight(int fontHeight, int imageHeight);

// The rectangle a cell's text is drawn in: the cell narrowed by inset on the left and the right.
QRect TextRect(const QRect& cell, int inset);

// A text keeps its column's alignment (right, centred, else left) unless it was shortened.
Qt::Alignment CellAlignment(Qt::Alignment columnAlignment, bool shortened);
