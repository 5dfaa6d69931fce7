#pragma once
// A banner's picture read from its file, for the editor's preview and the list alike: one size
// limit, one decoder. Safe off the interface thread (it makes no pixmap).
#include <cstddef>
#include <string>

#include <QImage>
#include <QSize>
#include <QString>

// The largest image file that is read: far beyond any banner picture. A larger file is not read
// at all; it can still be chosen, since publication copies it in pieces.
inline constexpr std::size_t kMaxPreviewBytes = std::size_t{16} << 20;

// picture scaled down to fit box with its aspect kept, never up.
QSize FitSize(const QSize& picture, const QSize& box);

struct Picture {
    QImage image;  // fitted to the box asked for; null when the file gives no picture
    QSize size;    // the picture's own size
};

// The picture in the file at path (found whatever the case of its name), fitted to box; a null
// image for an empty path, a missing file, one larger than kMaxPreviewBytes or one that does not
// read as a picture.
Picture ReadPicture(const std::string& path, const QSize& box);

// "468 x 60 pixels".
QString PictureSizeText(const QSize& size);
