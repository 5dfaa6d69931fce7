#pragma once
// A fixed font for tests that measure text: every character is equally wide.
#include <QFont>
#include <QString>

inline QFont TestFont() {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(12);
    font.setStyleHint(QFont::Monospace);
    font.setHintingPreference(QFont::PreferFullHinting);  // whole-pixel advances
    return font;
}
