#pragma once
// The two steps of a search inside one block of records, over any way of reaching the block's
// records: the records of a block read from disk, or the remaining records of a file held in
// memory while many keys are removed from it. Both searches must agree to the byte.
#include <cstddef>
#include <optional>

#include "dormix/keyindex/KeyCompare.h"

namespace keyindex {

// recordAt(i) gives the bytes of the i-th record of the block.
template <typename RecordAt>
std::size_t WalkBackOverEqualKeys(const RecordAt& recordAt, std::size_t start, const char* k) {
    std::size_t i = start + 1;
    while (i > 0 && !KeyGreater(k, recordAt(i - 1))) --i;
    return i;
}

// Position, 0 to n, of the first of the n records whose key is not less than k: a binary search
// of at most n halving steps, then a walk back over the records not less than k.
template <typename RecordAt>
std::size_t FindKeySlotIn(std::size_t n, const RecordAt& recordAt, const char* k) {
    if (n == 0) return 0;
    if (n == 1) return KeyGreater(k, recordAt(0)) ? 1 : 0;
    if (KeyGreater(k, recordAt(n - 1))) return n;
    if (!KeyGreater(k, recordAt(0))) return 0;

    std::size_t lo = 0;
    std::size_t hi = n - 1;
    for (std::size_t step = 0; step < n && hi - lo >= 2; ++step) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (KeyGreater(k, recordAt(mid))) {
            lo = mid;
        } else if (KeyGreater(recordAt(mid), k)) {
            hi = mid;
        } else {
            return WalkBackOverEqualKeys(recordAt, mid, k);
        }
    }
    if (KeyGreater(k, recordAt(hi))) return hi + 1;
    return WalkBackOverEqualKeys(recordAt, KeyGreater(k, recordAt(lo)) ? hi : lo, k);
}

// Of the count records from the slot on, the first whose key is k: records whose key merely
// starts with k are passed over, and the first record that differs ends the search.
template <typename RecordAt>
std::optional<std::size_t> FirstExactFromSlot(std::size_t count, const RecordAt& recordAt, const char* k) {
    for (std::size_t i = 0; i < count; ++i) {
        switch (MatchKey(recordAt(i), k)) {
        case KeyMatch::Exact:
            return i;
        case KeyMatch::Prefix:
            continue;  // a longer key that starts with k; an equal one may follow
        case KeyMatch::None:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace keyindex
