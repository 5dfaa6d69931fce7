#include "marqueta/ui/HeadingMarks.h"

#include <gtest/gtest.h>

namespace {

TEST(HeadingMarks, DirectionCutAndMark) {
    struct Case {
        const char* heading;
        bool ascendingNext;
        const char* plain;
    };
    const Case cases[] = {
        {"Company", true, "Company"},
        {"Company (asc)", false, "Company"},
        {"Company (desc)", true, "Company"},
        {"Rate (USD)", true, "Rate"},
        {"Rate (USD) (asc)", false, "Rate"},
        {"URL  Link", true, "URL  Link"},
        {"Ext   ", true, "Ext"},
        {"(asc)", true, ""},
    };
    for (const Case& c : cases) {
        const QString heading = QString::fromLatin1(c.heading);
        EXPECT_EQ(SortsAscendingNext(heading), c.ascendingNext) << c.heading;
        EXPECT_EQ(PlainHeading(heading).toStdString(), c.plain) << c.heading;
        EXPECT_EQ(MarkedHeading(heading, true).toStdString(), std::string(c.plain) + " (asc)") << c.heading;
        EXPECT_EQ(MarkedHeading(heading, false).toStdString(), std::string(c.plain) + " (desc)") << c.heading;
    }
}

}  // namespace
