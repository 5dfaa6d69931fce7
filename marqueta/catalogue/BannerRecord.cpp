#include "marqueta/catalogue/BannerRecord.h"

const std::array<ColumnSpec, kColumnCount> kColumns = {{
    {"Banner", 120, SortKind::Text},
    {"Company", 120, SortKind::Text},
    {"Product", 110, SortKind::Text},
    {"Sequence", 70, SortKind::Number},
    {"URL  Link", 150, SortKind::Text},
    {"Begin Date", 100, SortKind::Date},
    {"End Date", 100, SortKind::Date},
    {"Rate", 60, SortKind::Text},
    {"UID", 70, SortKind::Text},
    {"Ext", 50, SortKind::Text},
}};

Cells BannerRecord::toCells() const {
    return {image, company, product, sequence, url, beginDate, endDate, rate, uid, ext};
}

BannerRecord BannerRecord::fromCells(const Cells& cells) {
    BannerRecord r;
    r.image = cells[Image];
    r.company = cells[Company];
    r.product = cells[Product];
    r.sequence = cells[Sequence];
    r.url = cells[Url];
    r.beginDate = cells[BeginDate];
    r.endDate = cells[EndDate];
    r.rate = cells[Rate];
    r.uid = cells[Uid];
    r.ext = cells[Ext];
    return r;
}
