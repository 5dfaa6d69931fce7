// The banners' schedule states as the list shows them: words per cell, date colours, the
// status-bar counts, and a new day read at midnight.
#include <cstdlib>

#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include "marqueta/ui/ScheduleColours.h"
#include "tests/ui/ListRows.h"
#include "tests/ui/MarquetaWindow.h"

namespace {

// Today is 15 June 2005 in MarquetaWindow.
std::vector<Cells> Periods() {
    const std::pair<const char*, const char*> periods[] = {
        {"01/01/2005", "12/31/2005"}, {"01/01/2005", "06/20/2005"}, {"07/01/2005", "07/31/2005"},
        {"01/01/2005", "05/31/2005"}, {"", ""}};
    std::vector<Cells> rows;
    for (const auto& [begin, end] : periods) {
        Cells cells = ListRow("c" + std::to_string(rows.size()));
        cells[BeginDate] = begin;
        cells[EndDate] = end;
        rows.push_back(cells);
    }
    return rows;
}

TEST(ScheduleList, EveryCellSaysTheStateAndThePaneCountsThem) {
    MarquetaWindow w(Periods());
    const char* const words[] = {"Running until 12/31/2005", "Ends soon, on 06/20/2005", "Scheduled from 07/01/2005",
                                 "Expired on 05/31/2005", "Running"};
    QAbstractItemModel& shown = *w.view().model();
    for (int row = 0; row < 5; ++row) {
        for (const int column : {Image, EndDate}) {
            EXPECT_EQ(shown.index(row, column).data(Qt::AccessibleDescriptionRole).toString().toStdString(), words[row]);
            EXPECT_EQ(shown.index(row, column).data(Qt::ToolTipRole).toString().toStdString(), words[row]);
        }
    }
    auto* pane = w.frame->statusBar()->findChild<QLabel*>(QStringLiteral("scheduleCountLabel"));
    ASSERT_TRUE(pane);
    QTRY_COMPARE(pane->text(), QStringLiteral("5 banners: 2 running, 1 ends soon, 1 scheduled, 1 expired"));
    w.view().rows().removeRow(3);
    QTRY_COMPARE(pane->text(), QStringLiteral("4 banners: 2 running, 1 ends soon, 1 scheduled, 0 expired"));
}

TEST(ScheduleList, DatesOfARowEndingSoonAreDrawnInTheWarmAccentButNotWhenSelected) {
    MarquetaWindow w(Periods());
    CRowListView& view = w.view();
    EXPECT_EQ(ScheduleTextColour(view.palette(), ScheduleState::Expired), view.palette().color(QPalette::Disabled, QPalette::Text));
    const QColor warm = ScheduleTextColour(view.palette(), ScheduleState::EndsSoon);
    const auto inkOf = [&view](int row, int column, const QColor& colour) {
        const QImage image = view.viewport()->grab().toImage();
        const QRect cell = view.rowLayout(row).cells.at(static_cast<std::size_t>(column));
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                if (const QColor ink(image.pixel(x, y)); ink.hsvSaturation() > 100 && std::abs(ink.hsvHue() - colour.hsvHue()) < 15)
                    return true;  // its hue, however the edges of the glyphs are smoothed
        return false;
    };
    EXPECT_TRUE(inkOf(1, EndDate, warm));
    EXPECT_TRUE(inkOf(1, BeginDate, warm));
    EXPECT_FALSE(inkOf(1, Company, warm));
    EXPECT_FALSE(inkOf(0, EndDate, warm));
    view.selectionModel()->select(view.shownIndex(1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_FALSE(inkOf(1, EndDate, warm)) << "the highlight draws as always";
}

TEST(ScheduleList, TodayIsReadAgainWhenTheDayTurns) {
    std::time_t now = ParseDateText("12/31/2005", 0) + 23 * 3600;
    RowTable rows;
    RowTableModel model(rows, [&now] { return now; });
    rows.insertRow(0, ListRow("a", "1", "01/01/2005"), 1);
    rows.setCell(0, EndDate, "12/31/2005");
    EXPECT_EQ(model.index(0, 0).data(Qt::ToolTipRole).toString().toStdString(), "Ends soon, on 12/31/2005");
    EXPECT_EQ(MidnightTimer::UntilNextMidnight(now), 3601 * 1000);
    int changes = 0;
    QObject::connect(&model, &QAbstractItemModel::dataChanged, [&changes] { ++changes; });
    model.readToday();
    EXPECT_EQ(changes, 0) << "the same day changes nothing";
    now += 3600;
    model.readToday();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(model.index(0, 0).data(Qt::ToolTipRole).toString().toStdString(), "Expired on 12/31/2005");
}

}  // namespace
