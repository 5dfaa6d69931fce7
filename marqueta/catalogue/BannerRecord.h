#pragma once
// One banner of the catalogue: one line of the catalogue file and one row of the list.
#include <array>
#include <string>

inline constexpr int kColumnCount = 10;

// Column i of the list holds field i of the record.
enum Field : int { Image = 0, Company, Product, Sequence, Url, BeginDate, EndDate, Rate, Uid, Ext };

enum class SortKind : int { Text = 0, Number = 1, Date = 2 };

struct ColumnSpec {
    const char* caption;
    int width;  // initial width in pixels
    SortKind kind;
};

// Captions, widths and sort kinds of the ten columns, in field order.
extern const std::array<ColumnSpec, kColumnCount> kColumns;

using Cells = std::array<std::string, kColumnCount>;

struct BannerRecord {
    std::string image, company, product, sequence, url, beginDate, endDate, rate, uid, ext;

    Cells toCells() const;
    static BannerRecord fromCells(const Cells& cells);
};
