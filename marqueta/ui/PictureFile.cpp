#include "marqueta/ui/PictureFile.h"

#include <QByteArray>

#include "platform/FileOps.h"

QSize FitSize(const QSize& picture, const QSize& box) {
    if (picture.width() <= box.width() && picture.height() <= box.height()) return picture;
    return picture.scaled(box, Qt::KeepAspectRatio);
}

Picture ReadPicture(const std::string& path, const QSize& box) {
    std::string bytes;
    if (path.empty() || platform::ReadFileLimited(path, bytes, kMaxPreviewBytes) != 0) return {};
    const QImage image = QImage::fromData(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (image.isNull()) return {};
    const QSize shown = FitSize(image.size(), box);
    return {shown == image.size() ? image : image.scaled(shown, Qt::KeepAspectRatio, Qt::SmoothTransformation),
            image.size()};
}

QString PictureSizeText(const QSize& size) {
    return QStringLiteral("%1 x %2 pixels").arg(size.width()).arg(size.height());
}
