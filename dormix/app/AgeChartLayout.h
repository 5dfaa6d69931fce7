#pragma once
// Where the age chart's parts go, as plain arithmetic: one row per band, top to bottom, its bar
// growing to the right in proportion to the band's count, and the threshold a line across the
// rows at the place of its number of days.
#include <array>

#include "dormix/scan/AccountAges.h"

struct ChartBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct AgeChartLayout {
    std::array<ChartBox, kAgeBandCount> rows;  // the whole row: label, bar and count
    std::array<ChartBox, kAgeBandCount> bars;
    int thresholdY = 0;  // the line between the last day kept and the first day dormant
};

// labelWidth and countWidth: the room the texts take left and right of the bars.
AgeChartLayout LayOutAgeChart(const AccountAges& ages, int width, int height, int labelWidth, int countWidth);
