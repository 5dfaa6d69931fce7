#include "marqueta/ui/BannerPreview.h"

#include <QByteArray>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include "platform/FileOps.h"

QSize PreviewSize(const QSize& picture) {
    if (picture.width() <= kBannerBox.width() && picture.height() <= kBannerBox.height()) return picture;
    return picture.scaled(kBannerBox, Qt::KeepAspectRatio);
}

BannerPreview::BannerPreview(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("bannerPreview"));
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("previewLabel"));
    picture_->setAccessibleName(QStringLiteral("Preview"));
    picture_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    picture_->setAlignment(Qt::AlignCenter);
    const int frame = 2 * picture_->frameWidth();
    picture_->setGeometry(0, 0, kBannerBox.width() + frame, kBannerBox.height() + frame);
    size_ = new QLabel(this);
    size_->setObjectName(QStringLiteral("previewSizeLabel"));
    size_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    size_->setGeometry(picture_->width() + 8, 0, 140, picture_->height());
    setFixedSize(size_->geometry().right() + 1, picture_->height());
    showNone();
}

void BannerPreview::showNone() {
    picture_->setPixmap(QPixmap());
    picture_->setText(QStringLiteral("No preview"));
    size_->clear();
}

void BannerPreview::showFile(const std::string& path) {
    std::string bytes;
    // Read through the platform layer, which finds the file whatever the case of its name.
    if (path.empty() || platform::ReadFileLimited(path, bytes, kMaxPreviewBytes) != 0) return showNone();
    const QImage image = QImage::fromData(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (image.isNull()) return showNone();
    const QSize shown = PreviewSize(image.size());
    picture_->setPixmap(QPixmap::fromImage(
        shown == image.size() ? image : image.scaled(shown, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    size_->setText(QStringLiteral("%1 x %2 pixels").arg(image.width()).arg(image.height()));
}
