#include "dormix/keyindex/KeyLookup.h"

#include <cstring>
#include <vector>

#include "dormix/keyindex/KeyCompare.h"

namespace keyindex {

namespace {

const char* RecordAt(const char* records, std::size_t i) { return records + i * kRecordSize; }

// From start downward, passes over every record not less than k; the slot just above the
// first record below k.
std::size_t WalkBackOverEqualKeys(const char* records, std::size_t start, const char* k) {
    std::size_t i = start + 1;
    while (i > 0 && !KeyGreater(k, RecordAt(records, i - 1))) --i;
    return i;
}

}  // namespace

std::size_t FindKeySlot(std::size_t n, const char* records, const char* k) {
    if (n == 0) return 0;
    if (n == 1) return KeyGreater(k, RecordAt(records, 0)) ? 1 : 0;
    if (KeyGreater(k, RecordAt(records, n - 1))) return n;
    if (!KeyGreater(k, RecordAt(records, 0))) return 0;

    std::size_t lo = 0;
    std::size_t hi = n - 1;
    for (std::size_t step = 0; step < n && hi - lo >= 2; ++step) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (KeyGreater(k, RecordAt(records, mid))) {
            lo = mid;
        } else if (KeyGreater(RecordAt(records, mid), k)) {
            hi = mid;
        } else {
            return WalkBackOverEqualKeys(records, mid, k);
        }
    }
    if (KeyGreater(k, RecordAt(records, hi))) return hi + 1;
    return WalkBackOverEqualKeys(records, KeyGreater(k, RecordAt(records, lo)) ? hi : lo, k);
}

BlockSearch SearchKeyBlock(const KeyFile& file, char* block, const char* k, FilePosition blockOffset,
                           std::size_t bytesRead) {
    BlockSearch result;
    const std::size_t n = bytesRead / kRecordSize;
    if (n == kBlockRecords && KeyGreater(k, RecordAt(block, kBlockRecords - 1))) {
        result.outcome = BlockSearch::Outcome::NextBlock;
        return result;
    }

    const std::size_t slot = FindKeySlot(n, block, k);
    const FilePosition slotOffset = blockOffset + slot * kRecordSize;
    const long long got = file.readAt(slotOffset, block, kBlockBytes);
    if (got < 0) return result;

    const std::size_t records = static_cast<std::size_t>(got) / kRecordSize;
    for (std::size_t i = 0; i < records; ++i) {
        const char* record = RecordAt(block, i);
        switch (MatchKey(record, k)) {
        case KeyMatch::Exact:
            result.outcome = BlockSearch::Outcome::Found;
            result.hit.position = slotOffset + i * kRecordSize;
            std::memcpy(result.hit.value.data(), record + kKeySize, kValueSize);
            result.hit.value[kValueSize] = '\0';
            return result;
        case KeyMatch::Prefix:
            continue;  // a longer key that starts with k; an equal one may follow
        case KeyMatch::None:
            return result;
        }
    }
    return result;
}

std::optional<KeyHit> LookupKey(const KeyFile& file, const char* k) {
    std::vector<char> block(kBlockBufferBytes, '\0');
    FilePosition blockOffset = 0;
    for (;;) {
        const long long got = file.readAt(blockOffset, block.data(), kBlockBytes);
        if (got < 0) return std::nullopt;
        const auto bytesRead = static_cast<std::size_t>(got);
        const BlockSearch search = SearchKeyBlock(file, block.data(), k, blockOffset, bytesRead);
        switch (search.outcome) {
        case BlockSearch::Outcome::NextBlock:
            blockOffset += bytesRead;
            continue;
        case BlockSearch::Outcome::Found:
            return search.hit;
        case BlockSearch::Outcome::NotFound:
            return std::nullopt;
        }
    }
}

}  // namespace keyindex
