#pragma once
// The catalogue's texts are 8-bit texts of the system code page; Qt shows them as QString.
#include <string>

#include <QString>

inline QString ToQt(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string FromQt(const QString& text) { return text.toLocal8Bit().toStdString(); }
