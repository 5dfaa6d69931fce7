#include "dormix/keyindex/LiveLookup.h"

#include <algorithm>

#include "dormix/keyindex/KeyCompare.h"
#include "dormix/keyindex/KeySearchSteps.h"

namespace keyindex {

namespace {

// The first block that the search does not pass over: a full block is passed over when its last
// key is less than k.
std::size_t FirstBlockSearched(const LiveRecords& live, const char* k) {
    const std::size_t fullBlocks = live.count() / kBlockRecords;
    const auto passedOver = [&](std::size_t b) { return KeyGreater(k, live.record(b * kBlockRecords + kBlockRecords - 1)); };
    if (!live.sorted()) {
        std::size_t b = 0;
        while (b < fullBlocks && passedOver(b)) ++b;
        return b;
    }
    // In a sorted file the blocks passed over come first, so halving finds the same block.
    std::size_t lo = 0;
    std::size_t hi = fullBlocks;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (passedOver(mid)) lo = mid + 1;
        else hi = mid;
    }
    return lo;
}

}  // namespace

std::optional<std::size_t> LookupLiveKey(const LiveRecords& live, const char* k) {
    const std::size_t first = FirstBlockSearched(live, k) * kBlockRecords;
    const std::size_t n = std::min(kBlockRecords, live.count() - first);
    const std::size_t slot = FindKeySlotIn(n, [&](std::size_t i) { return live.record(first + i); }, k);
    // The records from the slot on, at most a block's worth, as the search reads them again.
    const std::size_t from = first + slot;
    const std::size_t count = std::min(kBlockRecords, live.count() - from);
    const auto exact = FirstExactFromSlot(count, [&](std::size_t i) { return live.record(from + i); }, k);
    if (!exact) return std::nullopt;
    return from + *exact;
}

}  // namespace keyindex
