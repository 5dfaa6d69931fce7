#include "dormix/app/DialogUnits.h"

#include <QFontMetrics>
#include <QString>

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average over the 52 letters, rounded as the system rounds it.
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseWidth_ = (letters / 26 + 1) / 2;
    baseHeight_ = metrics.height();
}

QRect DialogUnits::toPixels(int x, int y, int width, int height) const {
    return {x * baseWidth_ / 4, y * baseHeight_ / 8, width * baseWidth_ / 4, height * baseHeight_ / 8};
}

QSize DialogUnits::toPixels(int width, int height) const { return toPixels(0, 0, width, height).size(); }
