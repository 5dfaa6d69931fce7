#include "dormix/app/AgeChartLayout.h"

#include <algorithm>
#include <cstdint>

AgeChartLayout LayOutAgeChart(const AccountAges& ages, int width, int height, int labelWidth, int countWidth) {
    AgeChartLayout layout;
    const int rowHeight = std::max(1, height / static_cast<int>(kAgeBandCount));
    const int room = std::max(0, width - labelWidth - countWidth);
    const int most = *std::max_element(ages.counts.begin(), ages.counts.end());
    for (std::size_t i = 0; i < kAgeBandCount; ++i) {
        const int top = static_cast<int>(i) * rowHeight;
        layout.rows[i] = {0, top, width, rowHeight};
        const int count = ages.counts[i];
        // A band with accounts shows at least a sliver, so that a few beside many are not lost.
        const int length = most == 0 ? 0 : std::max(count > 0 ? 1 : 0, static_cast<int>(static_cast<long long>(room) * count / most));
        layout.bars[i] = {labelWidth, top + rowHeight / 6, length, std::max(1, rowHeight * 2 / 3)};
    }
    // The first dormant day is days + 1; its place within its band's rows, proportionally.
    // Counted wide: the days box takes the largest int.
    const std::int64_t firstDormant = static_cast<std::int64_t>(ages.days) + 1;
    const std::size_t dated = kAgeBandCount - 1;
    layout.thresholdY = static_cast<int>(dated) * rowHeight;
    for (std::size_t i = 0; i < dated; ++i) {
        const auto band = static_cast<AgeBand>(i);
        const std::int32_t first = AgeBandFirstDay(band);
        const std::int32_t last = AgeBandLastDay(band);
        if (firstDormant > last && i + 1 < dated) continue;
        const auto into = std::clamp<std::int64_t>(firstDormant - first, 0, last - first + 1);
        layout.thresholdY = layout.rows[i].y + static_cast<int>(static_cast<long long>(rowHeight) * into / (last - first + 1));
        break;
    }
    return layout;
}
