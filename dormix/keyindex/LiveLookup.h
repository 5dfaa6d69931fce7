#pragma once
// LookupKey over the records of a key file held in memory: the same blocks, the same comparisons
// and so the same record, without reading each block before the right one.
#include <cstddef>
#include <optional>

#include "dormix/keyindex/LiveRecords.h"

namespace keyindex {

// The record (its index in the file that was read) that LookupKey would find for k in the file
// as it now stands; none when it would find none. In a sorted file the search starts at record
// `from` (every record before it must have a key less than k) and leaves there the first record
// whose key is not less than k; otherwise from is left alone.
std::optional<std::size_t> LookupLiveKey(const LiveRecords& live, const char* k, std::size_t& from);

}  // namespace keyindex
