#include "marqueta/ui/RowPainting.h"

#include <QPainter>
#include <QPen>
#include <QString>

#include "marqueta/ui/LocalText.h"
#include "marqueta/ui/ShortenToFit.h"

QPixmap BlendedImage(const QPixmap& image, const QColor& colour) {
    QPixmap out = image;
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    QColor half = colour;
    half.setAlpha(128);
    p.fillRect(out.rect(), half);
    return out;
}

namespace {

void DrawStateImage(QPainter& painter, const RowLayout& layout, const RowLook& look, const ImageList& state) {
    if (look.stateImage <= 0 || look.stateImage > state.size()) return;
    painter.drawPixmap(layout.stateImage.topLeft(), state.at(look.stateImage - 1));
}

// The picture centred in its room; a box of the room's size while it is read, so that the row
// does not change its look more than once.
void DrawPicture(QPainter& painter, const QRect& room, const RowPictureLook& picture, const RowColours& colours) {
    const QRect inner = room.adjusted(kFirstCellInset, 1, -kFirstCellInset, -1);
    switch (picture.kind) {
    case RowPictureLook::Shown: {
        QRect at(QPoint(), picture.pixmap.deviceIndependentSize().toSize());
        at.moveCenter(inner.center());
        painter.drawPixmap(at.topLeft(), picture.pixmap);
        break;
    }
    case RowPictureLook::Reading: painter.fillRect(inner, colours.placeholder); break;
    case RowPictureLook::Missing:
        painter.setPen(colours.mutedText);
        painter.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine, QString::fromLatin1(kNoPictureText));
        break;
    }
}

// A selected row's image is blended with the highlight.
void DrawItemImage(QPainter& painter, const RowLayout& layout, const RowLook& look, const RowColours& colours,
                   const ImageList& small) {
    if (small.isEmpty() || layout.bounds.width() < 2 || look.image < 0 || look.image >= small.size()) return;
    const QPixmap& image = small.at(look.image);
    const QPoint at = layout.icon.topLeft();
    if (look.selected) painter.drawPixmap(at, BlendedImage(image, colours.highlight));
    else painter.drawPixmap(at, image);
}

void DrawCellText(QPainter& painter, const QRect& cell, int inset, int margin, const std::string& text,
                  Qt::Alignment columnAlignment) {
    if (text.empty()) return;
    const std::string drawn = text.substr(0, kMaxDrawnText);
    const std::string fitted = ShortenToFit(painter.fontMetrics(), drawn, cell.width(), margin);
    const Qt::Alignment align = CellAlignment(columnAlignment, fitted != drawn);
    const int flags = Qt::TextSingleLine | Qt::TextDontClip | Qt::AlignVCenter | static_cast<int>(align);
    painter.drawText(TextRect(cell, inset), flags, ToQt(fitted));
}

void DrawFocusFrame(QPainter& painter, const QRect& area, const QColor& colour) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, 1, Qt::DotLine));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    painter.restore();
}

}  // namespace

void DrawRow(QPainter& painter, const RowLayout& layout, const RowLook& look, const RowContent& content,
             const RowColours& colours, const ListImages& images) {
    painter.save();
    painter.fillRect(layout.highlight, look.selected ? colours.highlight : colours.textBackground);
    const QColor textColour = look.selected ? colours.highlightedText : colours.text;
    painter.setPen(textColour);

    if (!layout.picture.isEmpty()) DrawPicture(painter, layout.picture, look.picture, colours);
    DrawStateImage(painter, layout, look, images.state);
    DrawItemImage(painter, layout, look, colours, images.small);

    for (std::size_t column = 0; column < layout.cells.size() && column < content.texts.size(); ++column) {
        const Qt::Alignment align = column < content.alignments.size() ? content.alignments[column] : Qt::AlignLeft;
        // A cell's own colour gives way to the highlight, so a selected row looks as it always did.
        const bool ownColour = !look.selected && column < content.textColours.size() && content.textColours[column].isValid();
        painter.setPen(ownColour ? content.textColours[column] : textColour);
        if (column == 0)
            DrawCellText(painter, layout.cells[0], kFirstCellInset, kFirstCellMargin, content.texts[0], Qt::AlignLeft);
        else
            DrawCellText(painter, layout.cells[column], kCellInset, kCellMargin, content.texts[column], align);
    }

    if (look.drawFocus) DrawFocusFrame(painter, layout.highlight, textColour);
    painter.restore();
}
