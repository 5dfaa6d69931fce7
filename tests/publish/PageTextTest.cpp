#include <gtest/gtest.h>

#include "marqueta/publish/PageText.h"

namespace {

// The page as the web-mail product expects it, line for line.
std::string ExpectedPage(const std::string& url, const std::string& image) {
    return "<HTML><HEAD><TITLE></TITLE><META HTTP-EQUIV=\"Refresh\"\n"
           "CONTENT=\"5;URL=/scripts/velta/banner.dll?TYPE=BANNER&COUNT=@ZZZZ\"></HEAD><BODY BGCOLOR=\"#00105a\" "
           "TEXT=\"#000000\" LINK=\"#FF0000\" VLINK=\"#FFFFFF\" ALINK=\"#FFFFFF\" topmargin=\"0\" leftmargin=\"0\">\n"
           "<CENTER><TABLE border=0 cellpadding=0 cellspacing=0>\n"
           "<tr><td><a href=\"" +
           url + "\" target=\"_top\"><img src=\"/Velta/banners/images/" + image + "\" name=\"MyImage\" alt=\"" + url +
           "\" WIDTH=\"468\" HEIGHT=\"60\" BORDER=\"0\">\n"
           "</A></tr></td></table></CENTER></BODY></HTML>\n";
}

}  // namespace

TEST(PageText, ComposesTheFiveLinesByteForByte) {
    EXPECT_EQ(pageText("http://www.acme.example/tools", "00004A2F.gif"),
              "<HTML><HEAD><TITLE></TITLE><META HTTP-EQUIV=\"Refresh\"\nCONTENT=\"5;URL=/scripts/velta/banner.dll?TYPE="
              "BANNER&COUNT=@ZZZZ\"></HEAD><BODY BGCOLOR=\"#00105a\" TEXT=\"#000000\" LINK=\"#FF0000\" VLINK=\"#FFFFFF\" "
              "ALINK=\"#FFFFFF\" topmargin=\"0\" leftmargin=\"0\">\n<CENTER><TABLE border=0 cellpadding=0 cellspacing="
              "0>\n<tr><td><a href=\"http://www.acme.example/tools\" target=\"_top\"><img src=\"/Velta/banners/images/"
              "00004A2F.gif\" name=\"MyImage\" alt=\"http://www.acme.example/tools\" WIDTH=\"468\" HEIGHT=\"60\" BORDER="
              "\"0\">\n</A></tr></td></table></CENTER></BODY></HTML>\n");
}

TEST(PageText, InsertsLinkAndImageAsTypedExceptDoubleQuotes) {
    struct Case {
        std::string url, image, expectedUrl, expectedImage;
    };
    const Case cases[] = {
        {"http://acme.example/big%20hammer?x=1&y=%d%s", "00001C07.jpg", "http://acme.example/big%20hammer?x=1&y=%d%s",
         "00001C07.jpg"},
        {"", "00000001", "", "00000001"},
        {"http://a.example/<b>'it'", "0000ABCD.png", "http://a.example/<b>'it'", "0000ABCD.png"},
        {"http://a.example/\" onclick=\"x", "0000000A.gif", "http://a.example/&quot; onclick=&quot;x", "0000000A.gif"},
        {"http://a.example/", "say\"cheese\".gif", "http://a.example/", "say&quot;cheese&quot;.gif"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pageText(c.url, c.image), ExpectedPage(c.expectedUrl, c.expectedImage)) << c.url;
}
