// The banners' schedule states as the list shows them: words per cell, date colours, the
// status-bar counts, and a new day read at midnight.
#include <cstdlib>

#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include "marqueta/ui/ScheduleColours.h"
#include "tests/support/ExpectSoon.h"
#include "tests/ui/ListRows.h"
#include "tests/ui/MarquetaWindow.h"

namespace {

// Today is 15 June 2005 in MarquetaWindow: running, ends soon, scheduled, expired.
std::vector<Cells> Periods() {
    std::vector<Cells> rows;
    for (const char* period : {"01/01/2005-12/31/2005", "01/01/2005-06/20/2005", "07/01/2005-07/31/2005", "01/01/2005-05/31/2005"}) {
        Cells cells = ListRow("c" + std::to_string(rows.size()), "1", std::string(period, 10));
        cells[EndDate] = period + 11;
        rows.push_back(cells);
    }
    return rows;
}

TEST(ScheduleList, CellsSayTheStateThePaneCountsAndDatesTakeTheirColour) {
    MarquetaWindow w(Periods());
    CRowListView& view = w.view();
    EXPECT_EQ(view.model()->index(3, Rate).data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("Expired on 05/31/2005"));
    EXPECT_EQ(view.model()->index(1, Image).data(Qt::ToolTipRole).toString(), QStringLiteral("Ends soon, on 06/20/2005"));
    auto* pane = w.frame->statusBar()->findChild<QLabel*>(QStringLiteral("scheduleCountLabel"));
    ExpectSoon([pane] { return pane->text(); }, QStringLiteral("4 banners: 1 running, 1 ends soon, 1 scheduled, 1 expired"));

    const QColor warm = ScheduleTextColour(view.palette(), ScheduleState::EndsSoon);
    const auto inked = [&view, &warm](int row, int column) {  // by hue, however the glyph edges are smoothed
        const QImage image = view.viewport()->grab().toImage();
        const QRect cell = view.rowLayout(row).cells.at(static_cast<std::size_t>(column));
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                if (const QColor ink(image.pixel(x, y)); ink.hsvSaturation() > 100 && std::abs(ink.hsvHue() - warm.hsvHue()) < 15)
                    return true;
        return false;
    };
    EXPECT_TRUE(inked(1, EndDate) && inked(1, BeginDate));
    EXPECT_FALSE(inked(1, Company) || inked(0, EndDate));
    view.selectionModel()->select(view.shownIndex(1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_FALSE(inked(1, EndDate)) << "the highlight draws as always";
}

TEST(ScheduleList, TodayIsReadAgainWhenTheDayTurns) {
    std::time_t now = ParseDateText("12/31/2005", 0) + 23 * 3600;
    RowTable rows;
    RowTableModel model(rows, [&now] { return now; });
    rows.insertRow(0, ListRow("a", "1", "01/01/2005"), 1);
    rows.setCell(0, EndDate, "12/31/2005");
    EXPECT_EQ(model.index(0, 0).data(Qt::ToolTipRole).toString(), QStringLiteral("Ends soon, on 12/31/2005"));
    EXPECT_EQ(MidnightTimer::UntilNextMidnight(now), 3601 * 1000);
    now += 3600;
    model.readToday();
    EXPECT_EQ(model.index(0, 0).data(Qt::ToolTipRole).toString(), QStringLiteral("Expired on 12/31/2005"));
}

}  // namespace
