#pragma once
// Block-wise search of a key file: blocks of at most 100 records, one comparison to pass over a
// full block that ends below the key, a binary search inside the block, then a short scan.
#include <cstddef>
#include <optional>

#include "dormix/keyindex/KeyFile.h"
#include "dormix/keyindex/KeyRecord.h"

namespace keyindex {

struct KeyHit {
    FilePosition position = 0;  // byte position of the record in the file
    KeyValue value{};           // its 128 value bytes, zero-ended
    KeyRecordBytes record{};    // the whole record
};

// Position, 0 to n, of the first of the n records at `records` whose key is not less than k.
std::size_t FindKeySlot(std::size_t n, const char* records, const char* k);

struct BlockSearch {
    enum class Outcome { NextBlock, Found, NotFound, ReadFailed };
    Outcome outcome = Outcome::NotFound;
    KeyHit hit;             // set when found
    FilePosition slot = 0;  // where the search ended: the first record whose key is not less than k
};

// Searches the block of bytesRead bytes that was read at blockOffset into block (a buffer of
// kBlockBufferBytes). Re-reads the records from the key's slot on into block.
BlockSearch SearchKeyBlock(const KeyFile& file, char* block, const char* k, FilePosition blockOffset,
                           std::size_t bytesRead);

// The search of LookupKey, block by block, to its end: Found, NotFound (at slot) or ReadFailed.
BlockSearch SearchKey(const KeyFile& file, const char* k);

// The record whose key is k; none when there is none or a read fails.
std::optional<KeyHit> LookupKey(const KeyFile& file, const char* k);

}  // namespace keyindex
