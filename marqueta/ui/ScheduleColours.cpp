#include "marqueta/ui/ScheduleColours.h"

namespace {

// An accent of the given hue that stays readable on the palette's background: deep on a light
// background, pale on a dark one.
QColor Accent(const QPalette& palette, int hue) {
    const bool lightBackground = palette.color(QPalette::Active, QPalette::Base).lightness() >= 128;
    return lightBackground ? QColor::fromHsv(hue, 255, 160) : QColor::fromHsv(hue, 110, 255);
}

constexpr int kWarmHue = 28;   // orange
constexpr int kCoolHue = 210;  // blue

}  // namespace

QColor ScheduleTextColour(const QPalette& palette, ScheduleState state) {
    switch (state) {
    case ScheduleState::Expired: return palette.color(QPalette::Disabled, QPalette::Text);
    case ScheduleState::EndsSoon: return Accent(palette, kWarmHue);
    case ScheduleState::Scheduled: return Accent(palette, kCoolHue);
    case ScheduleState::Running: break;
    }
    return {};
}
