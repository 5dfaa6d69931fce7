// The checks of Submit, on values alone.
#include <gtest/gtest.h>

#include "marqueta/ui/CBannerEditorDlg.h"

namespace {

BannerRecord Valid() {
    BannerRecord r;
    r.image = "logo.gif";
    r.company = "Acme";
    r.product = "Anvil";
    r.sequence = "3";
    r.url = "http://acme.example/";
    r.rate = "0.25";
    return r;
}

}  // namespace

TEST(SubmitChecks, MessagesInCheckOrder) {
    struct Case {
        const char* name;
        void (*change)(BannerRecord&);
        const char* expected;
    };
    const Case cases[] = {
        {"all valid", [](BannerRecord&) {}, ""},
        {"company comma and empty product",
         [](BannerRecord& r) {
             r.company = "Acme, Inc.";
             r.product.clear();
         },
         "Commas not allowed in Company field.\nPlease enter a value in the product field.\n"},
        {"banner comma comes first",
         [](BannerRecord& r) {
             r.company = "a,b";
             r.image = "x,y.gif";
         },
         "Commas not allowed in Banner field.\nCommas not allowed in Company field.\n"},
        {"every comma",
         [](BannerRecord& r) {
             r.image = r.company = r.product = r.url = r.sequence = r.rate = ",";
         },
         "Commas not allowed in Banner field.\nCommas not allowed in Company field.\n"
         "Commas not allowed in Product field.\nCommas not allowed in URL Link field.\n"
         "Commas not allowed in Group Sequence field.\nCommas not allowed in Rate field.\n"},
        {"every emptiness",
         [](BannerRecord& r) { r.company = r.product = r.url = ""; },
         "Please enter a value in the Company field.\nPlease enter a value in the product field.\n"
         "Please enter a value in the URL Link field.\n"},
        {"url comma before sequence comma",
         [](BannerRecord& r) {
             r.sequence = "1,2";
             r.url = "http://a,b";
         },
         "Commas not allowed in URL Link field.\nCommas not allowed in Group Sequence field.\n"},
        {"blanks count as a value", [](BannerRecord& r) { r.company = r.product = r.url = " "; }, ""},
        {"untested fields may be anything",
         [](BannerRecord& r) {
             r.image.clear();
             r.sequence.clear();
             r.rate.clear();
             r.beginDate = r.endDate = r.uid = r.ext = "a,b";
         },
         ""},
        {"end before begin comes last",
         [](BannerRecord& r) {
             r.url.clear();
             r.beginDate = "06/02/2024";
             r.endDate = "06/01/2024";
         },
         "Please enter a value in the URL Link field.\nThe End Display Date is before the Begin Display Date.\n"},
        {"one day is a period", [](BannerRecord& r) { r.beginDate = r.endDate = "06/01/2024"; }, ""},
    };
    for (const Case& c : cases) {
        BannerRecord r = Valid();
        c.change(r);
        EXPECT_EQ(SubmitCheckErrors(r), c.expected) << c.name;
    }
}
