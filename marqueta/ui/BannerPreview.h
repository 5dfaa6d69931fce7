#pragma once
// The banner's picture in the editor, at most the page's 468 by 60 pixels, with its real size
// beside it; "No preview" for a file that does not read as a picture.
#include <cstddef>
#include <string>

#include <QSize>
#include <QWidget>

class QLabel;

// The largest image file the preview reads: far beyond any banner picture. A larger file shows
// "No preview" and is not read at all; it can still be chosen, since publication copies it in pieces.
inline constexpr std::size_t kMaxPreviewBytes = std::size_t{16} << 20;

// The page shows banners in a box of this size.
inline constexpr QSize kBannerBox{468, 60};

// The size a picture is shown at: scaled down to fit kBannerBox with its aspect kept, never up.
QSize PreviewSize(const QSize& picture);

class BannerPreview : public QWidget {
    Q_OBJECT
public:
    explicit BannerPreview(QWidget* parent = nullptr);

    // Shows the picture in the file at path; an empty path, a missing file, one larger than
    // kMaxPreviewBytes or one that does not read as a picture shows "No preview".
    void showFile(const std::string& path);

    QLabel* picture() const { return picture_; }
    QLabel* sizeLabel() const { return size_; }

private:
    void showNone();

    QLabel* picture_ = nullptr;
    QLabel* size_ = nullptr;
};
