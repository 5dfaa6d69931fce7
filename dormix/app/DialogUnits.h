#pragma once
// Dialog templates give places in dialog units: a quarter of the font's average character
// width across and an eighth of its height down, so the layout keeps its proportions in
// whatever font the system substitutes.
#include <QFont>
#include <QRect>

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    QRect toPixels(int x, int y, int width, int height) const;
    QSize toPixels(int width, int height) const;

private:
    int baseWidth_;
    int baseHeight_;
};
