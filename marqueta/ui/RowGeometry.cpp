#include "marqueta/ui/RowGeometry.h"

#include <algorithm>
#include <numeric>

RowLayout LayoutRow(const RowGeometryInput& in) {
    RowLayout out;
    const int total = std::accumulate(in.columnWidths.begin(), in.columnWidths.end(), 0);
    const int firstWidth = in.columnWidths.empty() ? 0 : in.columnWidths.front();
    out.bounds = QRect(in.left, in.top, total, in.height);
    out.picture = QRect(in.left, in.top, in.pictureWidth, in.height);
    out.stateImage = QRect(in.left + in.pictureWidth, in.top, in.stateImageWidth, in.height);
    out.icon = QRect(out.stateImage.left() + in.stateImageWidth, in.top, in.smallIconWidth, in.height);

    const int labelLeft = out.icon.left() + in.smallIconWidth;
    const int firstRight = in.left + firstWidth;
    out.label = QRect(labelLeft, in.top, std::max(0, firstRight - labelLeft), in.height);

    int right = in.left + total;
    if (in.clientWidthSelection && right < in.clientWidth) right = in.clientWidth;
    out.highlight = QRect(labelLeft, in.top, std::max(0, right - labelLeft), in.height);

    if (!in.columnWidths.empty()) out.cells.push_back(out.label);
    int x = out.label.left() + out.label.width();
    for (std::size_t i = 1; i < in.columnWidths.size(); ++i) {
        out.cells.emplace_back(x, in.top, in.columnWidths[i], in.height);
        x += in.columnWidths[i];
    }
    return out;
}

int RowHeight(int fontHeight, int imageHeight) { return std::max(fontHeight, imageHeight) + 2; }

QRect TextRect(const QRect& cell, int inset) { return cell.adjusted(inset, 0, -inset, 0); }

Qt::Alignment CellAlignment(Qt::Alignment columnAlignment, bool shortened) {
    if (shortened) return Qt::AlignLeft;
    if (columnAlignment & Qt::AlignRight) return Qt::AlignRight;
    if (columnAlignment & Qt::AlignHCenter) return Qt::AlignHCenter;
    return Qt::AlignLeft;
}
