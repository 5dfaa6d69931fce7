#include "dormix/keyindex/OnePassLookup.h"

#include <algorithm>
#include <array>
#include <memory>

#include "dormix/keyindex/KeyCompare.h"

namespace keyindex {

namespace {

constexpr std::size_t kPieceRecords = 4096;  // a mebibyte
std::size_t pieceRecords = kPieceRecords;

// The records of the file in order, a piece at a time, each piece checked for order as it comes.
class RecordReader {
public:
    explicit RecordReader(const KeyFile& file)
        : file_(file), records_(static_cast<std::size_t>(file.size() / kRecordSize)),
          piece_(std::make_unique_for_overwrite<char[]>(pieceRecords * kRecordSize)) {}

    // Record p, p never less than the one asked for before; null past the last whole record, or
    // when a read failed or the records are out of order.
    const char* at(std::size_t p) {
        while (good() && p >= first_ + count_ && first_ + count_ < records_) load();
        return good() && p >= first_ && p < first_ + count_ ? piece_.get() + (p - first_) * kRecordSize : nullptr;
    }

    // Reads the rest of the file; whether it was read whole and in order.
    bool sortedToEnd() {
        while (good() && first_ + count_ < records_) load();
        return good();
    }

    bool good() const { return !failed_ && sorted_; }

private:
    void load() {
        const bool any = count_ > 0;
        if (any) std::copy_n(piece_.get() + (count_ - 1) * kRecordSize, kRecordSize, last_.data());
        first_ += count_;
        count_ = std::min(pieceRecords, records_ - first_);
        const std::size_t bytes = count_ * kRecordSize;
        failed_ = file_.readAt(first_ * kRecordSize, piece_.get(), bytes) != static_cast<long long>(bytes);
        if (failed_) return;
        const char* before = any ? last_.data() : nullptr;
        for (std::size_t i = 0; i < count_ && sorted_; ++i) {
            const char* record = piece_.get() + i * kRecordSize;
            sorted_ = !before || !KeyGreater(before, record);
            before = record;
        }
    }

    const KeyFile& file_;
    const std::size_t records_;
    std::unique_ptr<char[]> piece_;
    std::array<char, kRecordSize> last_{};  // the last record of the piece before
    std::size_t first_ = 0;                 // the piece's first record
    std::size_t count_ = 0;                 // records in the piece
    bool failed_ = false;
    bool sorted_ = true;
};

}  // namespace

void SetPieceRecordsForTests(std::size_t records) { pieceRecords = records == 0 ? kPieceRecords : records; }

std::vector<std::size_t> AscendingOrder(const std::vector<const char*>& keys) {
    std::vector<std::size_t> order(keys.size());
    for (std::size_t j = 0; j < keys.size(); ++j) order[j] = j;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return KeyGreater(keys[b], keys[a]); });
    return order;
}

bool LookUpInOnePass(const KeyFile& file, const std::vector<const char*>& keys, const FoundRecord& found) {
    RecordReader reader(file);
    // p: the first record not less than the keys so far that was not taken. In a sorted file the
    // search for k ends at the first record whose key is not less than k, found when it is k.
    std::size_t p = 0;
    for (const std::size_t j : AscendingOrder(keys)) {
        const char* record = reader.at(p);
        while (record && KeyGreater(keys[j], record)) record = reader.at(++p);
        if (!reader.good()) return false;
        if (record && MatchKey(record, keys[j]) == KeyMatch::Exact && found(j, p, record)) ++p;
    }
    return reader.sortedToEnd();
}

}  // namespace keyindex
