#include "marqueta/ui/HeadingMarks.h"

bool SortsAscendingNext(const QString& heading) { return !heading.contains(QStringLiteral(" (asc)")); }

QString PlainHeading(const QString& heading) {
    QString plain = heading;
    const qsizetype bracket = plain.indexOf(QLatin1Char('('));
    if (bracket >= 0) plain.truncate(bracket);
    qsizetype end = plain.size();
    while (end > 0 && plain.at(end - 1).isSpace()) --end;
    plain.truncate(end);
    return plain;
}

QString MarkedHeading(const QString& heading, bool ascending) {
    return PlainHeading(heading) + (ascending ? QStringLiteral(" (asc)") : QStringLiteral(" (desc)"));
}
