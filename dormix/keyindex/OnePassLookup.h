#pragma once
// The keys of a batch looked up in one pass over a sorted key file read piece by piece, so that a
// file of a million records (256 MB) is never held in memory. It finds what the searches one key
// at a time find, as LookupLiveKey does over the file held whole.
#include <cstddef>
#include <functional>
#include <vector>

#include "dormix/keyindex/KeyFile.h"

namespace keyindex {

// The order in which to look keys up in a sorted file: ascending, equal keys in their given order.
// A key's removal then changes only what later lookups of an equal key find.
std::vector<std::size_t> AscendingOrder(const std::vector<const char*>& keys);

// Told of the record that the search for key j finds: its index p among the records of the file
// as read, and its bytes. True takes the record out of the file for the keys after it.
using FoundRecord = std::function<bool(std::size_t j, std::size_t p, const char* record)>;

// Looks every key up in AscendingOrder, telling found of each key's record. False when the file
// turns out not to be sorted or cannot be read whole: what found was told then does not hold, and
// the caller searches the file another way.
bool LookUpInOnePass(const KeyFile& file, const std::vector<const char*>& keys, const FoundRecord& found);

// For tests: pieces of this many records, so that small files cross the pieces' edges; 0 restores
// the usual size.
void SetPieceRecordsForTests(std::size_t records);

}  // namespace keyindex
