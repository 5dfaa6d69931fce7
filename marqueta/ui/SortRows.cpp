#include "marqueta/ui/SortRows.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <optional>
#include <string_view>
#include <utility>

#include <QLocale>
#include <QString>

#include "common/Atol.h"
#include "marqueta/catalogue/CatalogueFile.h"
#include "marqueta/ui/LocalText.h"

namespace {

template <typename T>
int Order(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

int Sign(int value) { return (value > 0) - (value < 0); }

}  // namespace

QCollator TextCollator() {
    // The C locale would compare code points with case; its users get the default Unicode order.
    const QLocale user;
    QCollator collator{user.language() == QLocale::C ? QLocale(QLocale::English) : user};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

int CompareCells(SortKind kind, const std::string& first, const std::string& second, std::time_t now,
                 const QCollator& collator) {
    switch (kind) {
    case SortKind::Number: return Order(AtolLike(first), AtolLike(second));
    case SortKind::Date: return Order(ParseDateText(first, now), ParseDateText(second, now));
    case SortKind::Text: break;
    }
    return Sign(collator.compare(ToQt(first), ToQt(second)));
}

namespace {

// The rank of each slot's key, given as (key, slot): equal ranks for keys that compare level,
// rising by one from 0. The keys themselves are sorted, not positions into them, so that each
// comparison reaches its keys one step sooner.
template <typename Key, typename Compare>
std::vector<int> RanksOf(std::vector<std::pair<Key, int>> keyed, Compare compare, int& rankCount) {
    std::sort(keyed.begin(), keyed.end(), [&compare](const auto& a, const auto& b) { return compare(a.first, b.first) < 0; });
    std::vector<int> rank(keyed.size());
    int next = 0;
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        if (i > 0 && compare(keyed[i - 1].first, keyed[i].first) != 0) ++next;
        rank[static_cast<std::size_t>(keyed[i].second)] = next;
    }
    rankCount = keyed.empty() ? 0 : next + 1;
    return rank;
}

// The distinct texts of a column, and for each position the slot of its text among them. The
// table is open-addressed, so that a large list costs no allocation per text.
struct DistinctTexts {
    std::vector<const std::string*> texts;
    std::vector<int> slotOfPosition;

    DistinctTexts(const RowTable& rows, int column) {
        const auto count = static_cast<std::size_t>(rows.count());
        std::size_t capacity = 16;
        while (capacity < 2 * count) capacity *= 2;
        std::vector<int> table(capacity, -1);
        const std::hash<std::string_view> hash;
        slotOfPosition.reserve(count);
        for (int position = 0; position < rows.count(); ++position) {
            const std::string& text = rows.cell(position, column);
            std::size_t at = hash(text) & (capacity - 1);
            while (table[at] >= 0 && *texts[static_cast<std::size_t>(table[at])] != text) at = (at + 1) & (capacity - 1);
            if (table[at] < 0) {
                table[at] = static_cast<int>(texts.size());
                texts.push_back(&text);
            }
            slotOfPosition.push_back(table[at]);
        }
    }
};

// A guess at each plain ASCII character's place in the collator's order, taken from the
// collator itself: 0 for a character it ignores, equal weights for characters it holds level.
std::array<unsigned char, 128> AsciiWeights(const QCollator& collator) {
    std::vector<char> characters;
    for (int c = 1; c < 128; ++c) characters.push_back(static_cast<char>(c));
    const auto text = [](char c) { return QString(QChar(static_cast<char16_t>(c))); };
    std::sort(characters.begin(), characters.end(), [&](char a, char b) { return collator.compare(text(a), text(b)) < 0; });
    std::array<unsigned char, 128> weights{};
    unsigned char weight = 1;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        if (collator.compare(text(characters[i]), QString()) == 0) continue;  // ignored
        if (i > 0 && collator.compare(text(characters[i - 1]), text(characters[i])) != 0) ++weight;
        weights[static_cast<std::size_t>(characters[i])] = weight;
    }
    return weights;
}

// The ranks of the texts in the collator's order, found cheaply where that can be shown to hold:
// the texts are put in order by their characters' guessed weights, and the order is then checked
// with the collator between neighbours, which proves it (the collator's order being transitive)
// and gives the ranks. None when a neighbour is out of order, as in a locale that reads two
// letters as one; the caller then ranks by collation keys.
std::optional<std::vector<int>> RanksByGuess(const std::vector<const std::string*>& texts, const QCollator& collator,
                                             int& rankCount) {
    const std::array<unsigned char, 128> weights = AsciiWeights(collator);
    std::string guesses;  // every text's weights, one after the other
    std::vector<std::size_t> ends;  // where each text's weights end
    ends.reserve(texts.size());
    for (const std::string* text : texts) {
        for (const char c : *text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 128) guesses += static_cast<char>(0xFF);  // after every ASCII weight; checked below
            else if (weights[byte] != 0) guesses += static_cast<char>(weights[byte]);
        }
        ends.push_back(guesses.size());
    }
    std::vector<std::pair<std::string_view, int>> order;  // each text's guess, sorted with its slot
    order.reserve(texts.size());
    for (std::size_t slot = 0; slot < texts.size(); ++slot) {
        const std::size_t start = slot == 0 ? 0 : ends[slot - 1];
        order.emplace_back(std::string_view(guesses).substr(start, ends[slot] - start), static_cast<int>(slot));
    }
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<int> rank(texts.size());
    int next = 0;
    QString previous;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const auto slot = static_cast<std::size_t>(order[i].second);
        QString current = ToQt(*texts[slot]);
        if (i > 0) {
            const int c = collator.compare(previous, current);
            if (c > 0) return std::nullopt;
            if (c < 0) ++next;
        }
        rank[slot] = next;
        previous = std::move(current);
    }
    rankCount = texts.empty() ? 0 : next + 1;
    return rank;
}

// The ranks of the texts in the collator's order, by its collation keys. Qt's keys on Windows
// are not whole: the system's key fills half of one, and uninitialised memory the rest, so that
// even a text's key differs from itself. There the texts themselves are compared.
std::vector<int> RanksByCollation(const std::vector<const std::string*>& texts, const QCollator& collator,
                                  int& rankCount) {
#ifdef _WIN32
    std::vector<std::pair<QString, int>> keyed;
    keyed.reserve(texts.size());
    for (std::size_t slot = 0; slot < texts.size(); ++slot) keyed.emplace_back(ToQt(*texts[slot]), static_cast<int>(slot));
    return RanksOf(std::move(keyed), [&collator](const QString& a, const QString& b) { return collator.compare(a, b); },
                   rankCount);
#else
    std::vector<std::pair<QCollatorSortKey, int>> keyed;
    keyed.reserve(texts.size());
    for (std::size_t slot = 0; slot < texts.size(); ++slot)
        keyed.emplace_back(collator.sortKey(ToQt(*texts[slot])), static_cast<int>(slot));
    return RanksOf(std::move(keyed), [](const QCollatorSortKey& a, const QCollatorSortKey& b) { return a.compare(b); },
                   rankCount);
#endif
}

}  // namespace

RowSortKeys::RowSortKeys(const RowTable& rows, int column, std::time_t now) {
    const SortKind kind = kColumns.at(static_cast<std::size_t>(column)).kind;
    const DistinctTexts distinct(rows, column);
    const std::size_t count = distinct.texts.size();
    std::vector<int> rankOfSlot;
    if (kind == SortKind::Text) {
        const QCollator collator = TextCollator();
        if (std::optional<std::vector<int>> ranks = RanksByGuess(distinct.texts, collator, rankCount_)) {
            rankOfSlot = std::move(*ranks);
        } else {
            rankOfSlot = RanksByCollation(distinct.texts, collator, rankCount_);
        }
    } else {
        std::vector<std::pair<long long, int>> keyed;
        keyed.reserve(count);
        for (std::size_t slot = 0; slot < count; ++slot) {
            const std::string& text = *distinct.texts[slot];
            keyed.emplace_back(kind == SortKind::Number ? AtolLike(text) : ParseDateText(text, now), static_cast<int>(slot));
        }
        rankOfSlot = RanksOf(std::move(keyed), Order<long long>, rankCount_);
    }
    rankOfPosition_.reserve(distinct.slotOfPosition.size());
    for (const int slot : distinct.slotOfPosition) rankOfPosition_.push_back(rankOfSlot[static_cast<std::size_t>(slot)]);
}

int RowSortKeys::compare(int first, int second) const { return Order(rank(first), rank(second)); }

int CompareRows(int first, int second, const SortRequest& request) {
    const int result = request.keys->compare(first, second);
    return request.ascending ? result : -result;
}

std::vector<int> SortedOrder(const SortRequest& request) {
    // A counting sort by rank: stable, and descending merely takes the ranks from the top.
    const RowSortKeys& keys = *request.keys;
    const auto bucketOf = [&](int position) {
        const int rank = keys.rank(position);
        return static_cast<std::size_t>(request.ascending ? rank : keys.rankCount() - 1 - rank);
    };
    std::vector<int> start(static_cast<std::size_t>(keys.rankCount()) + 1, 0);
    for (int position = 0; position < keys.count(); ++position) ++start[bucketOf(position) + 1];
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<int> order(static_cast<std::size_t>(keys.count()));
    for (int position = 0; position < keys.count(); ++position)
        order[static_cast<std::size_t>(start[bucketOf(position)]++)] = position;
    return order;
}
