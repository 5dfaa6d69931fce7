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

// The first record from `from` on whose key is not less than k: steps that double while the
// keys are less, then halving, so that keys looked up in ascending order stay near each other.
std::size_t LowerBoundFrom(const LiveRecords& live, std::size_t from, const char* k) {
    std::size_t lo = from;
    std::size_t hi = from;
    for (std::size_t step = 1; hi < live.records() && KeyGreater(k, live.record(hi)); step *= 2) {
        lo = hi + 1;
        hi += step;
    }
    hi = std::min(hi, live.records());
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (KeyGreater(k, live.record(mid))) lo = mid + 1;
        else hi = mid;
    }
    return lo;
}

// In a sorted file that search ends at the first record whose key is not less than k: found
// when its key is k. Removed records keep their place in the order, so the records as read are
// searched and the first one left from there on is taken.
std::optional<std::size_t> SearchSorted(const LiveRecords& live, const char* k, std::size_t& from) {
    from = LowerBoundFrom(live, from, k);
    const std::size_t rank = live.rankOf(from);
    if (rank == live.count()) return std::nullopt;
    const std::size_t p = live.removed(from) ? live.liveAt(rank) : from;
    if (MatchKey(live.record(p), k) != KeyMatch::Exact) return std::nullopt;
    return p;
}

}  // namespace

std::optional<std::size_t> LookupLiveKey(const LiveRecords& live, const char* k, std::size_t& from) {
    return live.sorted() ? SearchSorted(live, k, from) : SearchBlockByBlock(live, k);
}

}  // namespace keyindex
