#include "marqueta/ui/SortRows.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

#include <QLocale>
#include <gtest/gtest.h>

#include "marqueta/catalogue/CatalogueFile.h"

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

struct Case {
    const char* first;
    const char* second;
    int expected;  // -1 first sorts before, 0 level, 1 after
};

void ExpectComparisons(SortKind kind, const std::vector<Case>& cases, std::time_t now) {
    const QCollator collator = TextCollator();
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(CompareCells(kind, c.first, c.second, now, collator)), c.expected)
            << "\"" << c.first << "\" vs \"" << c.second << "\"";
        EXPECT_EQ(Sign(CompareCells(kind, c.second, c.first, now, collator)), -c.expected)
            << "\"" << c.second << "\" vs \"" << c.first << "\"";
    }
}

TEST(CompareCells, NumberKindReadsTextsAsAtolDoes) {
    ExpectComparisons(SortKind::Number,
                      {{"9", "10", -1},
                       {"12abc", "12", 0},
                       {"12abc", "13", -1},
                       {"abc", "0", 0},
                       {"", "0", 0},
                       {"", "abc", 0},
                       {"  -5", "3", -1},
                       {"+7", "7", 0},
                       {"100", "99", 1}},
                      0);
}

TEST(CompareCells, DateKindReadsMonthDayYear) {
    const std::time_t now = ParseDateText("6/15/2005", 0);
    ExpectComparisons(SortKind::Date,
                      {{"12/1/1998", "1/2/1999", -1},
                       {"2/30/1999", "3/1/1999", 1},
                       {"2/30/1999", "3/2/1999", 0},
                       {"13/5/1999", "12/5/1999", 0},
                       {"1/5/1960", "1/5/1970", 0},
                       {"03/07/1999", "3/7/1999", 0},
                       {"1999", "", 0},
                       {"1999", "6/15/2005", 0},
                       {"1999", "1/1/2000", 1},
                       {"", "1/1/2010", -1},
                       {"1999", "12/31/2038", -1}},
                      now);
}

TEST(CompareCells, TextKindIgnoresCase) {
    ExpectComparisons(SortKind::Text,
                      {{"apple", "Banana", -1},
                       {"ACME", "acme", 0},
                       {"Zeta", "alpha", 1},
                       {"", "a", -1},
                       {"http://a", "HTTP://A", 0}},
                      0);
}

TEST(CompareRows, KeysAgreeWithTheCellComparisonAndDescendingNegates) {
    RowTable rows;
    const char* companies[] = {"delta", "Alpha", "charlie", "ALPHA", "bravo"};
    for (const char* company : companies) {
        const int p = rows.insertRow(rows.count());
        rows.setCell(p, Company, company);
    }
    const RowSortKeys keys(rows, Company, 0);
    const QCollator collator = TextCollator();
    for (int a = 0; a < rows.count(); ++a) {
        for (int b = 0; b < rows.count(); ++b) {
            const int expected = Sign(CompareCells(SortKind::Text, rows.cell(a, Company), rows.cell(b, Company), 0, collator));
            const SortRequest up{Company, &keys, true};
            const SortRequest down{Company, &keys, false};
            EXPECT_EQ(Sign(CompareRows(a, b, up)), expected) << a << " " << b;
            EXPECT_EQ(Sign(CompareRows(a, b, down)), -expected) << a << " " << b;
        }
    }
}

TEST(CompareRows, RowsSharingATagAreComparedByTheirOwnTexts) {
    // More rows than there are tags: several rows carry the same tag.
    RowTable rows;
    const char* sequences[] = {"30", "10", "20", "10", "5"};
    const int tags[] = {7, 7, 9, 9, 9};
    for (int i = 0; i < 5; ++i) {
        Cells cells;
        cells[Sequence] = sequences[i];
        rows.insertRow(rows.count(), cells, tags[i]);
    }
    const RowSortKeys keys(rows, Sequence, 0);
    const SortRequest up{Sequence, &keys, true};
    EXPECT_GT(CompareRows(0, 1, up), 0);
    EXPECT_LT(CompareRows(1, 2, up), 0);
    EXPECT_EQ(CompareRows(1, 3, up), 0);
    EXPECT_LT(CompareRows(4, 3, up), 0);
    rows.reorder(SortedOrder(up));
    std::vector<std::string> sorted;
    for (int i = 0; i < rows.count(); ++i) sorted.push_back(rows.cell(i, Sequence));
    EXPECT_EQ(sorted, (std::vector<std::string>{"5", "10", "10", "20", "30"}));
}

// The keyed sort gives exactly the order of a stable sort that compares the cells themselves,
// on every kind, in both directions, with level rows, case variants, punctuation, control
// characters and texts beyond ASCII, in locales that read two letters as one (Czech "ch",
// Danish "aa") as well as in English, and in random texts of every printable character.
TEST(SortedOrder, SameOrderAsComparingTheCellsThemselves) {
    const std::vector<std::string> words = {"Acme", "acme", "ACME", "zeta", "Éclair", "eclair", "bravo 10", "bravo 9", "",
                                            " lead", "12", "12abc", "-3", "1/2/1999", "12/1/1998", "2/30/1999", "1999",
                                            "chata", "hrad", "Aarhus", "Zulu", "co-op", "coop", "a\tb", "\x01x", "\xC9t\xE9"};
    std::uint32_t seed = 2024;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    auto randomText = [&next] {
        std::string text(next() % 7, ' ');
        for (char& c : text) c = static_cast<char>(' ' + next() % 95);
        return text;
    };
    const QLocale before;
    for (const char* locale : {"en_US", "cs_CZ", "da_DK"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        for (const bool ascii : {true, false}) {
            RowTable rows;
            for (int i = 0; i < 400; ++i) {
                Cells cells;
                for (std::string& cell : cells) cell = ascii ? randomText() : words[next() % words.size()];
                rows.insertRow(rows.count(), cells, static_cast<int>(next() % 50));  // tags shared, as in a large list
            }
            const std::time_t now = ParseDateText("6/15/2005", 0);
            const QCollator collator = TextCollator();
            for (const int column : {Company, Sequence, BeginDate}) {
                for (const bool ascending : {true, false}) {
                    const RowSortKeys keys(rows, column, now);
                    std::vector<int> reference(static_cast<std::size_t>(rows.count()));
                    std::iota(reference.begin(), reference.end(), 0);
                    const SortKind kind = kColumns[static_cast<std::size_t>(column)].kind;
                    std::stable_sort(reference.begin(), reference.end(), [&](int a, int b) {
                        const int c = CompareCells(kind, rows.cell(a, column), rows.cell(b, column), now, collator);
                        return (ascending ? c : -c) < 0;
                    });
                    EXPECT_EQ(SortedOrder({column, &keys, ascending}), reference) << locale << " " << ascii << " " << column << " " << ascending;
                }
            }
        }
    }
    QLocale::setDefault(before);
}

}  // namespace
