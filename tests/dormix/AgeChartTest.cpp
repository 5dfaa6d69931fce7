// The age chart: where its bars and threshold go, and in the Preview the same counts as the dry
// run's judging, told to accessibility tools.
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "dormix/app/AgeChartLayout.h"
#include "dormix/app/CAgeChart.h"
#include "dormix/app/CDormixDialog.h"
#include "dormix/app/CPreviewWindow.h"
#include "dormix/scan/RunPlan.h"
#include "tests/scan/fixture/DormixInstallation.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

TEST(AgeChartLayout, BarsGrowWithTheirCountsAndTheThresholdLiesAtItsDay) {
    AccountAges ages;
    ages.counts = {4, 2, 0, 1, 0, 0, 0, 1};
    // 8 rows of 10 pixels; 280 pixels for the longest bar.
    const struct {
        std::int32_t days;
        int thresholdY;
    } cases[] = {{0, 0}, {30, 10}, {45, 15}, {90, 30}, {365, 50}, {366, 50}, {730, 60}, {5000, 70}, {INT32_MAX, 70}};
    for (const auto& c : cases) {
        ages.days = c.days;
        const AgeChartLayout layout = LayOutAgeChart(ages, 400, 80, 100, 20);
        EXPECT_EQ(layout.thresholdY, c.thresholdY) << c.days;
    }
    const AgeChartLayout layout = LayOutAgeChart(ages, 400, 80, 100, 20);
    const int widths[] = {280, 140, 0, 70, 0, 0, 0, 70};
    for (std::size_t i = 0; i < kAgeBandCount; ++i) {
        EXPECT_EQ(layout.bars[i].width, widths[i]) << i;
        EXPECT_EQ(layout.bars[i].x, 100);
        EXPECT_EQ(layout.rows[i].y, static_cast<int>(i) * 10);
    }
    ages.counts = {1000000, 1, 0, 0, 0, 0, 0, 0};  // one beside a million still shows
    EXPECT_EQ(LayOutAgeChart(ages, 400, 80, 100, 20).bars[1].width, 1);
    EXPECT_EQ(LayOutAgeChart(AccountAges{}, 400, 80, 100, 20).bars[0].width, 0);
}

TEST(AgeChart, ThePreviewShowsTheDryRunsCountsToEveryone) {
    TempDir dir;
    DormixInstallation install{dir.path().string()};
    ScopedEnv env{"ACCTKIT_DB", dir.file("no-tervox.db")};
    ScriptedMessageBoxes boxes;
    const std::time_t now = LocalTime(2024, 3, 15, 23);
    for (const auto& [name, days] : {std::pair{"forty", 40}, {"fifty", 50}, {"hundred", 100}, {"today", 0}})
        install.addAccount(name, LogonDaysBefore(now, days));
    install.addAccount("nina", std::nullopt);
    const int dryRun = PlanRun(45, install.paths(), ProtectedAccounts{}, now).toDelete();
    ASSERT_EQ(dryRun, 2);

    CDormixDialog dialog(install.paths(), boxes, &boxes, [&] { return now; });
    dialog.show();
    dialog.findChild<QComboBox*>(QStringLiteral("daysComboBox"))->setEditText(QStringLiteral("45 Days"));
    bool seen = false;
    QTimer::singleShot(0, &dialog, [&] {
        auto* preview = qobject_cast<CPreviewWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        auto* chart = preview->findChild<CAgeChart*>(QStringLiteral("ageChart"));
        ASSERT_NE(chart, nullptr);
        const QString going = QStringLiteral("More than 45 days: %1 account(s) would be deleted.").arg(dryRun);
        EXPECT_EQ(preview->findChild<QLabel*>(QStringLiteral("agesThresholdLabel"))->text(), going);
        QAccessibleInterface* told = QAccessible::queryAccessibleInterface(chart);
        ASSERT_NE(told, nullptr);
        EXPECT_EQ(told->text(QAccessible::Name), QStringLiteral("Accounts by time since their last logon:"));
        EXPECT_EQ(told->text(QAccessible::Description),
                  QStringLiteral("up to 30 days: 1; 31-60 days: 2; 61-90 days: 0; 91-180 days: 1; 181-365 days: 0; "
                                 "1-2 years: 0; more than 2 years: 0; never logged on / no date: 1. ") + going);
        ASSERT_EQ(told->childCount(), static_cast<int>(kAgeBandCount));  // every bar on its own
        EXPECT_EQ(told->child(1)->text(QAccessible::Name), QStringLiteral("31-60 days: 2"));
        EXPECT_FALSE(chart->grab().isNull());  // paints
        seen = true;
        preview->findChild<QPushButton*>(QStringLiteral("closeButton"))->click();
    });
    dialog.findChild<QPushButton*>(QStringLiteral("previewButton"))->click();
    EXPECT_TRUE(seen);
}
