#pragma once
// The colours of the date cells by the row's schedule state, taken from the list's palette.
#include <QColor>
#include <QPalette>

#include "marqueta/catalogue/ScheduleState.h"

// Expired: the palette's disabled text; ending soon: a warm accent; scheduled: a cool accent;
// running: no colour of its own (invalid), the row's text colour.
QColor ScheduleTextColour(const QPalette& palette, ScheduleState state);
