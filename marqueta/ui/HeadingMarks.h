#pragma once
// The sort state lives only in the column headings: the sorted column ends in " (asc)" or
// " (desc)".
#include <QString>

// True when a click on this heading sorts ascending: unless it already carries " (asc)".
bool SortsAscendingNext(const QString& heading);

// The heading cut before its first "(" and without trailing white space.
QString PlainHeading(const QString& heading);

// The plain heading with the mark of the sorted column.
QString MarkedHeading(const QString& heading, bool ascending);
