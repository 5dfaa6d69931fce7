#pragma once
// The records of a key file held in memory while records are removed from it one after another:
// at every moment the file as the next one-record removal would find it on disk, without writing
// anything until the end.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "dormix/keyindex/KeyRecord.h"
#include "dormix/keyindex/RemoveKeyRecord.h"

namespace keyindex {

// What is left of a key file as records are removed from it one after another, by the rules of a
// one-record removal, without the records themselves.
class RemovalTally {
public:
    // size: the size in bytes of the file as read, records then a short tail.
    explicit RemovalTally(std::uint64_t size);

    std::size_t records() const { return records_; }  // whole records in the file that was read
    std::size_t count() const { return count_; }      // of them, the ones not removed

    // One record more removed: Unchanged, and nothing removed, when the copy would be empty (one
    // record and a short tail), else Removed; the file is deleted when its one record goes, and
    // a short tail is dropped by the first rewrite.
    RemovalResult remove();

    bool changed() const { return changed_; }
    bool deleted() const { return deleted_; }

private:
    std::size_t records_;
    std::size_t count_;
    std::uint64_t tail_;  // bytes after the last whole record
    bool changed_ = false;
    bool deleted_ = false;
};

// The runs of the records left when the records at the ascending positions removed are taken out,
// as byte spans of the file that was read.
std::vector<KeySpan> SpansWithout(std::size_t records, const std::vector<std::size_t>& removed);

class LiveRecords {
public:
    // bytes: the size bytes of the whole file, records then a short tail.
    LiveRecords(std::unique_ptr<char[]> bytes, std::uint64_t size);

    // Records are named by their index in the file that was read, removed ones included.
    std::size_t records() const { return tally_.records(); }
    const char* record(std::size_t p) const { return bytes_.get() + p * kRecordSize; }
    bool removed(std::size_t p) const { return removed_[p]; }
    // True when every record's key is not less than the one before; removals keep it so.
    bool sorted() const { return sorted_; }

    // The records now in the file: count() of them, the i-th being liveAt(i); rankOf(p) of them
    // come before record p.
    std::size_t count() const { return tally_.count(); }
    std::size_t liveAt(std::size_t i) const;
    std::size_t rankOf(std::size_t p) const;

    // Removes record p by the rules of RemovalTally::remove.
    RemovalResult remove(std::size_t p);

    bool changed() const { return tally_.changed(); }
    bool deleted() const { return tally_.deleted(); }
    // The runs of the records left, as byte spans of the file that was read, which bytes() holds.
    std::vector<KeySpan> spans() const;
    const char* bytes() const { return bytes_.get(); }

private:
    bool checkSorted() const;

    std::unique_ptr<char[]> bytes_;
    RemovalTally tally_;
    std::vector<std::uint32_t> counts_;   // binary indexed tree of records left, 1-based
    std::vector<bool> removed_;
    bool sorted_;
};

class KeyFile;

// The whole file as it was opened; none when it cannot be read whole.
std::optional<LiveRecords> ReadLiveRecords(const KeyFile& file);

}  // namespace keyindex
