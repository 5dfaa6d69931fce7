#include "marqueta/publish/PageText.h"

namespace {

// A double quote would end the attribute it stands in; everything else goes in as typed.
std::string QuoteSafe(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '"') out += "&quot;";
        else out += c;
    }
    return out;
}

}  // namespace

std::string pageText(const std::string& url, const std::string& imageName) {
    const std::string link = QuoteSafe(url);
    std::string page;
    page += "<HTML><HEAD><TITLE></TITLE><META HTTP-EQUIV=\"Refresh\"\n"
            "CONTENT=\"5;URL=/scripts/velta/banner.dll?TYPE=BANNER&COUNT=@ZZZZ\"></HEAD>"
            "<BODY BGCOLOR=\"#00105a\" TEXT=\"#000000\" LINK=\"#FF0000\" VLINK=\"#FFFFFF\" ALINK=\"#FFFFFF\" "
            "topmargin=\"0\" leftmargin=\"0\">\n"
            "<CENTER><TABLE border=0 cellpadding=0 cellspacing=0>\n"
            "<tr><td><a href=\"";
    page += link;
    page += "\" target=\"_top\"><img src=\"/Velta/banners/images/";
    page += QuoteSafe(imageName);
    page += "\" name=\"MyImage\" alt=\"";
    page += link;
    page += "\" WIDTH=\"468\" HEIGHT=\"60\" BORDER=\"0\">\n</A></tr></td></table></CENTER></BODY></HTML>\n";
    return page;
}
