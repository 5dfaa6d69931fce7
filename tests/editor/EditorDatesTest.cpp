// Date texts into the pickers and back into the members.
#include <ctime>

#include <QDateEdit>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "marqueta/ui/CBannerEditorDlg.h"
#include "tests/editor/RunModal.h"
#include "tests/support/ScriptedMessageBoxes.h"

namespace {

// Local noon of a day, away from any daylight-saving edge.
std::time_t LocalNoon(int year, int month, int day) {
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = 12;
    parts.tm_isdst = -1;
    return std::mktime(&parts);
}

struct DateCase {
    const char* text;
    QDate shown;
    const char* stored;
};

// "Today" for the cases below whose text names no day.
const QDate kToday{2004, 6, 15};

const DateCase kDateCases[] = {
    {"1/1/1999", {1999, 1, 1}, "01/01/1999"},
    {"03/07/1999", {1999, 3, 7}, "03/07/1999"},
    {"13/45/1960", {1970, 12, 31}, "12/31/1970"},
    {"2/30/1999", {1999, 3, 2}, "03/02/1999"},
    {"0/0/2100", {2038, 1, 1}, "01/01/2038"},
    {"12/31/2038", {2038, 12, 31}, "12/31/2038"},
    {"2/29/2000", {2000, 2, 29}, "02/29/2000"},
    {"no date", kToday, "06/15/2004"},
    {"6/15", kToday, "06/15/2004"},
    {"", kToday, "06/15/2004"},
};

// A banner with these dates and the other fields filled so that Submit passes them.
BannerRecord Dated(const std::string& beginDate, const std::string& endDate) {
    BannerRecord record;
    record.company = "Acme";
    record.product = "Anvil";
    record.url = "http://acme.example/";
    record.beginDate = beginDate;
    record.endDate = endDate;
    return record;
}

}  // namespace

TEST(EditorDates, AStoredEndBeforeBeginIsRefusedOnlyOnceADateIsEnteredHere) {
    for (const bool dateEntered : {false, true}) {
        MarquetaPaths paths;
        ScriptedMessageBoxes boxes;
        CBannerEditorDlg dlg(paths, boxes);
        dlg.setRecord(Dated("06/02/2024", "06/01/2024"));
        const int result = RunModal(dlg, [&](QWidget* active) {
            if (dateEntered) active->findChild<QDateEdit*>(QStringLiteral("endDateEdit"))->setDate({2024, 5, 31});
            dlg.accept();  // Submit
            if (dlg.isVisible()) dlg.reject();
        });
        EXPECT_EQ(result == QDialog::Accepted, !dateEntered);
    }
}

TEST(EditorDates, TextToPickerDateAndBack) {
    const std::time_t now = LocalNoon(kToday.year(), kToday.month(), kToday.day());
    for (const DateCase& c : kDateCases) {
        const QDate shown = PickerDateOf(c.text, now);
        EXPECT_EQ(shown, c.shown) << c.text;
        EXPECT_EQ(DateTextOf(shown), c.stored) << c.text;
        EXPECT_GE(shown, EarliestPickerDate()) << c.text;
        EXPECT_LE(shown, LatestPickerDate()) << c.text;
    }
}

TEST(EditorDates, PickersShowRowDatesAndSubmitStoresThem) {
    const std::time_t now = LocalNoon(kToday.year(), kToday.month(), kToday.day());
    for (const DateCase& c : kDateCases) {
        MarquetaPaths paths;
        ScriptedMessageBoxes boxes;
        CBannerEditorDlg dlg(paths, boxes);
        dlg.setClock([now] { return now; });
        dlg.setRecord(Dated(c.text, "12/31/2038"));  // ends after every begin, so Submit passes
        const int result = RunModal(dlg, [&](QWidget* active) {
            auto* begin = active->findChild<QDateEdit*>(QStringLiteral("beginDateEdit"));
            auto* end = active->findChild<QDateEdit*>(QStringLiteral("endDateEdit"));
            ASSERT_TRUE(begin && end);
            EXPECT_EQ(begin->date(), c.shown) << c.text;
            EXPECT_EQ(end->date(), QDate(2038, 12, 31)) << c.text;
            EXPECT_EQ(begin->text(), QString::fromLatin1(c.stored)) << "display format, " << c.text;
            dlg.accept();
        });
        EXPECT_EQ(result, QDialog::Accepted) << c.text;
        EXPECT_EQ(dlg.record().beginDate, c.stored) << c.text;
        EXPECT_EQ(dlg.record().endDate, "12/31/2038") << c.text;
        EXPECT_TRUE(boxes.shown.empty()) << c.text;
    }
}

TEST(EditorDates, ADatePickedInThePickerIsStoredWithinTheReadableYears) {
    const std::pair<QDate, const char*> picks[] = {
        {{2001, 11, 9}, "11/09/2001"},
        {{2101, 1, 1}, "12/31/2038"},  // the catalogue reads no year past 2038 back
        {{1960, 5, 5}, "01/01/1970"},
    };
    for (const auto& [picked, stored] : picks) {
        MarquetaPaths paths;
        ScriptedMessageBoxes boxes;
        CBannerEditorDlg dlg(paths, boxes);
        dlg.setRecord(Dated("1/1/1970", "1/1/1999"));  // begins before every pick, so Submit passes
        RunModal(dlg, [&](QWidget* active) {
            auto* end = active->findChild<QDateEdit*>(QStringLiteral("endDateEdit"));
            ASSERT_TRUE(end);
            EXPECT_TRUE(end->calendarPopup());
            end->setDate(picked);
            dlg.accept();
        });
        EXPECT_EQ(dlg.record().beginDate, "01/01/1970");
        EXPECT_EQ(dlg.record().endDate, stored);
    }
}

// Dates typed over the begin picker after a click into it, as an operator types them. A date the
// field cannot hold leaves the old one and says so.
TEST(EditorDates, ATypedDateIsTakenAsTypedOrRefusedAloud) {
    const std::string refusal = " was refused: it is not a day of the calendar between 01/01/1970 and 12/31/2038. "
                                "The date stays 04/07/2027.";
    const struct {
        const char* shown;
        const char* typed;
        const char* stored;
        bool refused;
    } cases[] = {
        {"04/07/2027", "01/15/2027", "01/15/2027", false},
        {"04/07/2027", "12/31/2030", "12/31/2030", false},
        {"04/07/2027", "1/5/2028", "01/05/2028", false},
        {"04/07/2027", "01152027", "01/15/2027", false},
        {"04/07/2027", "2/29/2028", "02/29/2028", false},  // a leap day typed before its year
        {"01/31/2027", "02/15/2027", "02/15/2027", false},
        {"04/07/2027", "11", "11/07/2027", false},          // the month alone
        {"04/07/2027", "02/30/2027", "04/07/2027", true},   // no such day: the date stays
        {"04/07/2027", "02302027", "04/07/2027", true},
        {"04/07/2027", "01/15/2040", "04/07/2027", true},   // past the years a catalogue reads back
    };
    for (const auto& c : cases) {
        MarquetaPaths paths;
        ScriptedMessageBoxes boxes;
        CBannerEditorDlg dlg(paths, boxes);
        dlg.setRecord(Dated(c.shown, "12/31/2038"));  // ends after every begin, so Submit passes
        RunModal(dlg, [&](QWidget* active) {
            auto* begin = active->findChild<QDateEdit*>(QStringLiteral("beginDateEdit"));
            ASSERT_TRUE(begin);
            QTest::mouseClick(begin->findChild<QLineEdit*>(), Qt::LeftButton, {}, QPoint(4, begin->height() / 2));
            QTest::keyClicks(begin, QString::fromLatin1(c.typed));
            dlg.accept();
        });
        EXPECT_EQ(dlg.record().beginDate, c.stored) << c.typed << " over " << c.shown;
        EXPECT_EQ(boxes.texts(), c.refused ? std::vector<std::string>{"The typed date " + std::string(c.typed) + refusal}
                                           : std::vector<std::string>{})
            << c.typed;
    }
}
