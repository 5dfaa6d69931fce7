#pragma once
// The banner's picture in the editor, at most the page's 468 by 60 pixels, with its real size
// beside it; "No preview" for a file that does not read as a picture.
#include <string>

#include <QSize>
#include <QWidget>

#include "marqueta/catalogue/MarquetaPaths.h"
#include "marqueta/ui/PictureFile.h"

class QLabel;

// The page shows banners in a box of this size.
inline constexpr QSize kBannerBox{468, 60};

// The size a picture is shown at: scaled down to fit kBannerBox with its aspect kept, never up.
QSize PreviewSize(const QSize& picture);

// The banner's own image in the images folder; empty when the id or the extension is not one the
// program makes, since a hand-edited one could name any file.
std::string BannerPicturePath(const MarquetaPaths& paths, const std::string& uid, const std::string& ext);

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
