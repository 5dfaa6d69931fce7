#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "marqueta/catalogue/CatalogueFile.h"
#include "platform/Random.h"
#include "tests/support/TempDir.h"

namespace {

using Rows = std::vector<Cells>;

Rows Load(const std::string& bytes, std::string* trace = nullptr) {
    TempDir dir;
    const std::string path = dir.file("bannerfile.txt");
    WriteBytes(path, bytes);
    RowTable rows;
    std::ostringstream out;
    loadCatalogue(rows, path, out);
    if (trace) *trace = out.str();
    Rows loaded;
    for (int i = 0; i < rows.count(); ++i) loaded.push_back(rows.row(i).cells);
    return loaded;
}

Cells Fields(std::initializer_list<const char*> texts) {
    Cells cells;
    int i = 0;
    for (const char* t : texts) cells[i++] = t;
    return cells;
}

const Cells kFirst = Fields({"a.gif", "Acme", "Hammer", "1", "http://a/", "1/1/1999", "2/1/1999", "5", "00001234", ".gif"});
const Cells kSecond = Fields({"b.jpg", "Bolt", "Nut", "2", "http://b/", "03/07/1999", "04/07/1999", "6", "00000042", ".jpg"});
const std::string kFirstLine = "a.gif,Acme,Hammer,1,http://a/,1/1/1999,2/1/1999,5,00001234,.gif,";
const std::string kSecondLine = "b.jpg,Bolt,Nut,2,http://b/,03/07/1999,04/07/1999,6,00000042,.jpg,";

}  // namespace

TEST(LoadCatalogue, GrammarOfLinesAndFields) {
    struct Case {
        const char* name;
        std::string bytes;
        Rows expected;
    };
    const std::vector<Case> cases = {
        {"CR LF", kFirstLine + "\r\n" + kSecondLine + "\r\n", {kFirst, kSecond}},
        {"LF only", kFirstLine + "\n" + kSecondLine + "\n", {kFirst, kSecond}},
        {"CR only", kFirstLine + "\r" + kSecondLine + "\r", {kFirst, kSecond}},
        {"no line end at the end", kFirstLine + "\r\n" + kSecondLine, {kFirst, kSecond}},
        {"blank lines between", "\r\n  \r\n" + kFirstLine + "\r\n\r\n\t\r\n" + kSecondLine + "\n\n", {kFirst, kSecond}},
        {"blanks as shown", "a, b ,c,\r\n", {Fields({"a", "b ", "c"})}},
        {"without the final comma", "a, b ,c\r\n", {Fields({"a", "b ", "c"})}},
        {"a field of blanks reads as empty", "a,   ,c,\n", {Fields({"a", "", "c"})}},
        {"nine fields", "i,c,p,1,u,b,e,r,00000001,\r\n", {Fields({"i", "c", "p", "1", "u", "b", "e", "r", "00000001", ""})}},
        {"ten fields and an empty tenth", "i,c,p,1,u,b,e,r,00000001,,\r\n",
         {Fields({"i", "c", "p", "1", "u", "b", "e", "r", "00000001", ""})}},
        {"twelve fields", "i,c,p,1,u,b,e,r,00000001,.gif,x,y,\r\n",
         {Fields({"i", "c", "p", "1", "u", "b", "e", "r", "00000001", ".gif"})}},
        {"a zero byte ends the catalogue", kFirstLine + "\r\n" + std::string("b.jpg,Bo\0lt,", 12) + "\r\n" + kSecondLine,
         {kFirst, Fields({"b.jpg", "Bo"})}},
        {"empty file", "", {}},
        {"only blank lines", "\r\n \n\r\t\r\n", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Load(c.bytes), c.expected) << c.name;
}

TEST(LoadCatalogue, MissingFileGivesNoRows) {
    TempDir dir;
    RowTable rows;
    std::ostringstream trace;
    loadCatalogue(rows, dir.file("missing/bannerfile.txt"), trace);
    EXPECT_EQ(rows.count(), 0);
    EXPECT_EQ(trace.str(), "");
}

TEST(LoadCatalogue, TracesEveryFieldWithItsRowNumberCountedWithoutBlankLines) {
    std::string trace;
    Load("\r\nx, y\r\n\r\n12 ,a,b,c,d,e,f,g,h,i,j,\r\n", &trace);
    EXPECT_EQ(trace,
              "Line 0, field 0, word x\n"
              "Line 0, field 1, word y\n"
              "Line 1, field 0, word 12 \n"
              "Line 1, field 1, word a\n"
              "Line 1, field 2, word b\n"
              "Line 1, field 3, word c\n"
              "Line 1, field 4, word d\n"
              "Line 1, field 5, word e\n"
              "Line 1, field 6, word f\n"
              "Line 1, field 7, word g\n"
              "Line 1, field 8, word h\n"
              "Line 1, field 9, word i\n"
              "Line 1, field 10, word j\n");
}

TEST(LoadCatalogue, TraceOfALargeCatalogueAndOfAHugeFieldIsWhole) {
    std::string bytes, expected;
    for (int row = 0; row < 3000; ++row) {
        bytes += "abc,\r\n";
        expected += "Line " + std::to_string(row) + ", field 0, word abc\n";
    }
    const std::string huge(70000, 'w');
    bytes += huge + ",y\r\n";
    expected += "Line 3000, field 0, word " + huge + "\nLine 3000, field 1, word y\n";
    std::string trace;
    Load(bytes, &trace);
    EXPECT_EQ(trace, expected);
}

TEST(LoadCatalogue, EachRowKeepsTheDrawAfterItsLastFieldAndTagsStayDistinct) {
    platform::SeedRandom(4711);
    std::vector<int> draws;
    for (int i = 0; i < 5; ++i) draws.push_back(platform::NextRandom());

    TempDir dir;
    const std::string path = dir.file("bannerfile.txt");
    WriteBytes(path, "a,b,\r\nc,d,e,\r\n");
    platform::SeedRandom(4711);
    RowTable rows;
    std::ostringstream trace;
    loadCatalogue(rows, path, trace);
    ASSERT_EQ(rows.count(), 2);
    EXPECT_EQ(rows.row(0).tag, draws[1]);  // two fields: two draws
    EXPECT_EQ(rows.row(1).tag, draws[4]);  // three more

    // A row whose last draw another row already carries draws again.
    RowTable taken;
    taken.insertRow(0, {}, draws[1]);
    platform::SeedRandom(4711);
    std::ostringstream ignored;
    WriteBytes(path, "a,b,\r\n");
    loadCatalogue(taken, path, ignored);
    ASSERT_EQ(taken.count(), 2);
    EXPECT_EQ(taken.row(0).cells[0], "a");
    EXPECT_EQ(taken.row(0).tag, draws[2]);
}
