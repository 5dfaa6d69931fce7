#include "dormix/keyindex/LiveRecords.h"

#include "dormix/keyindex/KeyCompare.h"
#include "dormix/keyindex/KeyFile.h"

namespace keyindex {

namespace {
std::size_t LowestBit(std::size_t i) { return i & (~i + 1); }
}  // namespace

RemovalTally::RemovalTally(std::uint64_t size)
    : records_(static_cast<std::size_t>(size / kRecordSize)), count_(records_), tail_(size % kRecordSize) {}

RemovalResult RemovalTally::remove() {
    // With one record left, it is the first and has no whole record after it: the copy would be
    // empty, unless the file is just that record and goes.
    const bool soleRecord = count_ == 1 && tail_ == 0;
    if (count_ == 1 && !soleRecord) return RemovalResult::Unchanged;
    --count_;
    tail_ = 0;
    changed_ = true;
    deleted_ = soleRecord;
    return RemovalResult::Removed;
}

std::vector<KeySpan> SpansWithout(std::size_t records, const std::vector<std::size_t>& removed) {
    std::vector<KeySpan> spans;
    std::size_t first = 0;
    for (std::size_t p : removed) {
        if (p > first) spans.push_back({first * kRecordSize, (p - first) * kRecordSize});
        first = p + 1;
    }
    if (records > first) spans.push_back({first * kRecordSize, (records - first) * kRecordSize});
    return spans;
}

LiveRecords::LiveRecords(std::unique_ptr<char[]> bytes, std::uint64_t size)
    : bytes_(std::move(bytes)),
      tally_(size),
      counts_(tally_.records() + 1),
      removed_(tally_.records(), false) {
    for (std::size_t i = 1; i <= records(); ++i) counts_[i] = static_cast<std::uint32_t>(LowestBit(i));
    sorted_ = checkSorted();
}

bool LiveRecords::checkSorted() const {
    for (std::size_t p = 1; p < records(); ++p)
        if (KeyGreater(record(p - 1), record(p))) return false;
    return true;
}

std::size_t LiveRecords::liveAt(std::size_t i) const {
    // Descends the tree to the record with i records left before it.
    std::size_t top = 1;
    while (top * 2 <= records()) top *= 2;
    std::size_t position = 0;
    std::size_t rest = i + 1;
    for (std::size_t step = top; step > 0; step /= 2) {
        if (position + step <= records() && counts_[position + step] < rest) {
            position += step;
            rest -= counts_[position];
        }
    }
    return position;
}

std::size_t LiveRecords::rankOf(std::size_t p) const {
    std::size_t rank = 0;
    for (std::size_t i = p; i > 0; i -= LowestBit(i)) rank += counts_[i];
    return rank;
}

RemovalResult LiveRecords::remove(std::size_t p) {
    const RemovalResult result = tally_.remove();
    if (result != RemovalResult::Removed) return result;
    removed_[p] = true;
    for (std::size_t i = p + 1; i <= records(); i += LowestBit(i)) --counts_[i];
    return result;
}

std::vector<KeySpan> LiveRecords::spans() const {
    std::vector<std::size_t> removed;
    for (std::size_t p = 0; p < records(); ++p)
        if (removed_[p]) removed.push_back(p);
    return SpansWithout(records(), removed);
}

std::optional<LiveRecords> ReadLiveRecords(const KeyFile& file) {
    const std::uint64_t size = file.size();
    auto bytes = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(size));
    const long long got = file.readAt(0, bytes.get(), static_cast<std::size_t>(size));
    if (got != static_cast<long long>(size)) return std::nullopt;
    return LiveRecords(std::move(bytes), size);
}

}  // namespace keyindex
