#include "marqueta/ui/BannerPreview.h"

#include <QLabel>
#include <QPixmap>

#include "marqueta/publish/BannerId.h"
#include "marqueta/publish/PublishBanner.h"

QSize PreviewSize(const QSize& picture) { return FitSize(picture, kBannerBox); }

std::string BannerPicturePath(const MarquetaPaths& paths, const std::string& uid, const std::string& ext) {
    return isWellFormedBannerId(uid) && isPlainExtension(ext) ? bannerImagePath(paths, uid, ext) : std::string();
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
    const Picture read = ReadPicture(path, kBannerBox);
    if (read.image.isNull()) return showNone();
    picture_->setPixmap(QPixmap::fromImage(read.image));
    size_->setText(PictureSizeText(read.size));
}
