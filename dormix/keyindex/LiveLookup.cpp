#include "dormix/keyindex/LiveLookup.h"

#include <algorithm>

#include "dormix/keyindex/KeyCompare.h"
#include "dormix/keyindex/KeySearchSteps.h"

namespace keyindex {

namespace {

// The search of LookupKey step by step, over the records left: the first full block whose last
// key is not less than k (or the short block at the end), the slot in it, and the records from
// the slot on.
std::optional<std::size_t> SearchBlockByBlock(const LiveRecords& live, const char* k) {
    const auto at = [&](std::size_t i) { return live.record(live.liveAt(i)); };
    const std::size_t fullBlocks = live.count() / kBlockRecords;
    std::size_t first = 0;
    for (std::size_t b = 0; b < fullBlocks && KeyGreater(k, at(first + kBlockRecords - 1)); ++b) first += kBlockRecords;
    const std::size_t n = std::min(kBlockRecords, live.count() - first);
    const std::size_t from = first + FindKeySlotIn(n, [&](std::size_t i) { return at(first + i); }, k);
    const std::size_t count = std::min(kBlockRecords, live.count() - from);
    const auto exact = FirstExactFromSlot(count, [&](std::size_t i) { return at(from + i); }, k);
    if (!exact) return std::nullopt;
    return live.liveAt(from + *exact);
}

// In a sorted file that search ends at the first record whose key is not less than k: found
// when its key is k. Removed records keep their place in the order, so one halving over all
// records of the file as read finds it.
std::optional<std::size_t> SearchSorted(const LiveRecords& live, const char* k) {
    std::size_t lo = 0;
    std::size_t hi = live.records();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (KeyGreater(k, live.record(mid))) lo = mid + 1;
        else hi = mid;
    }
    const std::size_t rank = live.rankOf(lo);
    if (rank == live.count()) return std::nullopt;
    const std::size_t p = live.removed(lo) ? live.liveAt(rank) : lo;
    if (MatchKey(live.record(p), k) != KeyMatch::Exact) return std::nullopt;
    return p;
}

}  // namespace

std::optional<std::size_t> LookupLiveKey(const LiveRecords& live, const char* k) {
    return live.sorted() ? SearchSorted(live, k) : SearchBlockByBlock(live, k);
}

}  // namespace keyindex
