#pragma once
// Rows for list tests: a banner with the fields that the sort and drawing tests look at.
#include <string>

#include "marqueta/catalogue/BannerRecord.h"
#include "marqueta/catalogue/RowTable.h"

inline Cells ListRow(const std::string& company, const std::string& sequence = "1",
                     const std::string& beginDate = "1/1/1999", const std::string& rate = "10") {
    Cells cells;
    cells[Image] = "img-" + company;
    cells[Company] = company;
    cells[Product] = "product";
    cells[Sequence] = sequence;
    cells[Url] = "http://example.com/" + company;
    cells[BeginDate] = beginDate;
    cells[EndDate] = "12/31/1999";
    cells[Rate] = rate;
    cells[Uid] = "00000001";
    cells[Ext] = ".gif";
    return cells;
}

inline int AppendRow(RowTable& rows, const Cells& cells) {
    const int position = rows.insertRow(rows.count());
    rows.setCells(position, cells);
    return position;
}

// The texts of one column, top to bottom.
inline std::vector<std::string> ColumnTexts(const RowTable& rows, int column) {
    std::vector<std::string> out;
    for (int i = 0; i < rows.count(); ++i) out.push_back(rows.cell(i, column));
    return out;
}
