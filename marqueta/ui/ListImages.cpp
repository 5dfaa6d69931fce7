#include "marqueta/ui/ListImages.h"

#include <QString>

ImageList SliceStrip(const QPixmap& strip, int imageWidth) {
    ImageList images;
    if (imageWidth <= 0) return images;
    for (int x = 0; x + imageWidth <= strip.width(); x += imageWidth)
        images.append(strip.copy(x, 0, imageWidth, strip.height()));
    return images;
}

ListImages LoadListImages() {
    ListImages lists;
    lists.large = SliceStrip(QPixmap(QStringLiteral(":/marqueta/large_icons.png")), 32);
    lists.small = SliceStrip(QPixmap(QStringLiteral(":/marqueta/small_icons.png")), 16);
    lists.state = SliceStrip(QPixmap(QStringLiteral(":/marqueta/state_images.png")), 16);
    return lists;
}
