#include "marqueta/ui/PictureFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include "platform/FileOps.h"

QSize FitSize(const QSize& picture, const QSize& box) {
    if (picture.width() <= box.width() && picture.height() <= box.height()) return picture;
    return picture.scaled(box, Qt::KeepAspectRatio);
}

Picture ReadPicture(const std::string& path, const QSize& box) {
    std::string bytes;
    if (path.empty() || platform::ReadFileLimited(path, bytes, kMaxPreviewBytes) != 0) return {};
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // The size the file declares is checked before decoding; the allocation limit holds for the
    // formats that declare none.
    const QSize declared = reader.size();
    if (declared.isValid() && qint64{declared.width()} * declared.height() > kMaxPicturePixels) return {};
    reader.setAllocationLimit(static_cast<int>(kMaxPicturePixels * 4 >> 20));
    const QImage image = reader.read();
    if (image.isNull()) return {};
    const QSize shown = FitSize(image.size(), box);
    return {shown == image.size() ? image : image.scaled(shown, Qt::KeepAspectRatio, Qt::SmoothTransformation),
            image.size()};
}

QString PictureSizeText(const QSize& size) {
    return QStringLiteral("%1 x %2 pixels").arg(size.width()).arg(size.height());
}
