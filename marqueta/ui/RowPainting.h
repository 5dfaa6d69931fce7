#pragma once
// Drawing one list row: the whole row highlighted when selected, images, and every cell's text
// shortened to fit its column.
#include <string>
#include <vector>

#include <QColor>
#include <QPixmap>
#include <Qt>

#include "marqueta/ui/ListImages.h"
#include "marqueta/ui/RowGeometry.h"

class QPainter;

struct RowColours {
    QColor highlight;            // fill of a selected row
    QColor highlightedText;      // text of a selected row
    QColor text;                 // text of an unselected row
    QColor textBackground;       // fill of an unselected row
    QColor placeholder;          // where a picture is still being read
    QColor mutedText;            // "No picture"
};

// The picture at the start of a row, drawn when the layout gives it room.
struct RowPictureLook {
    enum Kind { Reading, Missing, Shown } kind = Reading;
    QPixmap pixmap;  // for Shown
};

// Drawn where a row's picture file is missing or does not read as a picture.
inline constexpr const char* kNoPictureText = "No picture";

struct RowLook {
    bool selected = false;
    bool drawFocus = false;  // the row is the current one and the view has the focus
    int stateImage = 0;      // 0 none, else the 1-based number of the state image
    int image = 0;           // index into the small images
    RowPictureLook picture;
};

struct RowContent {
    std::vector<std::string> texts;          // one per column, 8-bit
    std::vector<Qt::Alignment> alignments;   // one per column
    std::vector<QColor> textColours;         // per column; invalid: the row's text colour
};

// Longest cell text that is drawn, in bytes.
inline constexpr std::size_t kMaxDrawnText = 259;

// image with every opaque pixel mixed half and half with colour.
QPixmap BlendedImage(const QPixmap& image, const QColor& colour);

// Draws the row as laid out; painter carries the list's font.
void DrawRow(QPainter& painter, const RowLayout& layout, const RowLook& look, const RowContent& content,
             const RowColours& colours, const ListImages& images);
