// Draws Marqueta's pictures: the program picture, the list icons, the check boxes, the tool-bar
// faces and the program icon. Run once with the target folder as argument; the PNGs it writes
// are kept beside marqueta.qrc.
#include <cmath>

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>

namespace {

const QColor kDarkBlue(0x00, 0x10, 0x5a);
const QColor kGold(0xf2, 0xb7, 0x05);

QImage blank(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

QFont boldSans(int pixelSize) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(true);
    return f;
}

// A little banner: a coloured card with a symbol, different for each of the eight images.
void drawIcon(QPainter& p, QRectF cell, int which) {
    static const QColor fills[8] = {QColor(0x1f, 0x6f, 0xd1), QColor(0xd1, 0x3b, 0x2f), QColor(0x2f, 0x9e, 0x44),
                                    QColor(0xe0, 0x8a, 0x00), QColor(0x7b, 0x3f, 0xb5), QColor(0x00, 0x96, 0x9e),
                                    QColor(0xc2, 0x18, 0x7a), QColor(0x55, 0x5b, 0x66)};
    const qreal s = cell.width();
    const QRectF card = cell.adjusted(s * 0.06, s * 0.16, -s * 0.06, -s * 0.16);
    p.setPen(QPen(fills[which].darker(150), s / 16.0));
    p.setBrush(fills[which]);
    p.drawRoundedRect(card, s / 10.0, s / 10.0);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const QPointF c = card.center();
    const qreal r = card.height() * 0.3;
    switch (which) {
    case 0: p.drawEllipse(c, r, r); break;
    case 1: p.drawRect(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r)); break;
    case 2: p.drawPolygon(QPolygonF({QPointF(c.x(), c.y() - r), QPointF(c.x() + r, c.y() + r), QPointF(c.x() - r, c.y() + r)})); break;
    case 3: p.drawPolygon(QPolygonF({QPointF(c.x(), c.y() - r), QPointF(c.x() + r, c.y()), QPointF(c.x(), c.y() + r), QPointF(c.x() - r, c.y())})); break;
    case 4: {
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const qreal a = -M_PI / 2 + i * M_PI / 5;
            const qreal rr = (i % 2) ? r * 0.45 : r * 1.1;
            star << QPointF(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
        }
        p.drawPolygon(star);
        break;
    }
    case 5: p.drawRect(QRectF(c.x() - r * 1.4, c.y() - r * 0.35, 2.8 * r, 0.7 * r)); break;
    case 6: {
        QPainterPath heart;
        heart.moveTo(c.x(), c.y() + r);
        heart.cubicTo(c.x() - 2 * r, c.y() - 0.2 * r, c.x() - 0.6 * r, c.y() - 1.4 * r, c.x(), c.y() - 0.4 * r);
        heart.cubicTo(c.x() + 0.6 * r, c.y() - 1.4 * r, c.x() + 2 * r, c.y() - 0.2 * r, c.x(), c.y() + r);
        p.drawPath(heart);
        break;
    }
    default:
        for (int i = -1; i <= 1; ++i) p.drawEllipse(QPointF(c.x() + i * r * 0.9, c.y()), r * 0.3, r * 0.3);
        break;
    }
}

QImage iconStrip(int size) {
    QImage img = blank(size * 8, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 8; ++i) drawIcon(p, QRectF(i * size, 0, size, size), i);
    return img;
}

// Image 0 an empty check box, image 1 a ticked one.
QImage checkBoxes() {
    QImage img = blank(32, 16);
    QPainter p(&img);
    for (int i = 0; i < 2; ++i) {
        const QRect box(i * 16 + 2, 2, 12, 12);
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.setBrush(Qt::white);
        p.drawRect(box.adjusted(0, 0, -1, -1));
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x10, 0x10, 0x10), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(16 + 4.5, 8), QPointF(16 + 7, 10.5), QPointF(16 + 11.5, 5)}));
    return img;
}

// The three tool-bar faces, 45 by 15 each: the word in white on dark blue.
QImage toolBarFaces() {
    QImage img(135, 15, QImage::Format_ARGB32);
    img.fill(kDarkBlue);
    QPainter p(&img);
    p.setFont(boldSans(10));
    p.setPen(Qt::white);
    const char* words[3] = {"Add", "Delete", "Modify"};
    for (int i = 0; i < 3; ++i)
        p.drawText(QRect(i * 45, 0, 45, 15), Qt::AlignCenter, QString::fromLatin1(words[i]));
    return img;
}

// The program picture: the name on a dark-blue banner with a gold rule.
QImage programPicture() {
    QImage img(100, 23, QImage::Format_ARGB32);
    img.fill(kDarkBlue);
    QPainter p(&img);
    p.fillRect(QRect(0, 19, 100, 2), kGold);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(kGold);
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(4, 4), QPointF(14, 9.5), QPointF(4, 15)}));
    p.setFont(boldSans(13));
    p.setPen(Qt::white);
    p.drawText(QRect(17, 0, 83, 19), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("MARQUETA"));
    return img;
}

QImage programIcon() {
    QImage img = blank(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(kDarkBlue);
    p.setPen(QPen(kGold, 2));
    p.drawRoundedRect(QRectF(2, 6, 28, 20), 3, 3);
    p.setFont(boldSans(16));
    p.setPen(Qt::white);
    p.drawText(QRect(2, 6, 28, 20), Qt::AlignCenter, QStringLiteral("M"));
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const bool ok = programPicture().save(dir + QStringLiteral("/about.png")) &&
                    iconStrip(16).save(dir + QStringLiteral("/small_icons.png")) &&
                    iconStrip(32).save(dir + QStringLiteral("/large_icons.png")) &&
                    checkBoxes().save(dir + QStringLiteral("/state_images.png")) &&
                    toolBarFaces().save(dir + QStringLiteral("/toolbar.png")) &&
                    programIcon().save(dir + QStringLiteral("/marqueta.png"));
    return ok ? 0 : 1;
}
