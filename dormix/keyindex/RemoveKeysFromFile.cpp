#include "dormix/keyindex/RemoveKeysFromFile.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "dormix/keyindex/KeyCompare.h"
#include "dormix/keyindex/KeyFile.h"
#include "dormix/keyindex/KeyLookup.h"
#include "dormix/keyindex/LiveLookup.h"
#include "dormix/keyindex/LiveRecords.h"
#include "dormix/keyindex/OnePassLookup.h"
#include "dormix/keyindex/RemoveKeyRecord.h"
#include "platform/SafeWrite.h"

namespace keyindex {

namespace {

std::uint64_t maxBatchFileBytes = kMaxBatchFileBytes;

// The order in which to look the keys up: in a sorted file ascending, so that each search starts
// where the one before it ended.
std::vector<std::size_t> LookupOrder(const LiveRecords& live, const std::vector<const char*>& keys) {
    if (live.sorted()) return AscendingOrder(keys);
    std::vector<std::size_t> order(keys.size());
    for (std::size_t j = 0; j < keys.size(); ++j) order[j] = j;
    return order;
}

// A record found and what became of its removal.
KeyRemoval FoundForRemoval(const char* record, RemovalResult result) {
    KeyRemoval removal;
    removal.found = true;
    removal.value = ValueOfRecord(record);
    removal.record = RecordBytesAt(record);
    removal.result = result;
    return removal;
}

// Looks each key up in the records and removes its record, as the one-key removals would.
void RemoveEach(LiveRecords& live, const std::vector<const char*>& keys, std::vector<KeyRemoval>& removals) {
    std::size_t from = 0;
    for (const std::size_t j : LookupOrder(live, keys)) {
        const auto hit = LookupLiveKey(live, keys[j], from);
        if (!hit) continue;
        removals[j] = FoundForRemoval(live.record(*hit), live.remove(*hit));
    }
}

// The records to write back: the runs of the file as read that are left, with the bytes of the
// file when it is held in memory.
struct Remainder {
    std::vector<KeySpan> spans;
    const char* held = nullptr;
    bool changed = false;
    bool deleted = false;
};

// The removals in one pass over a sorted file, nothing of it held; false when the file is not
// sorted or cannot be read so.
bool RemoveInOnePass(const KeyFile& file, const std::vector<const char*>& keys, std::vector<KeyRemoval>& removals,
                     Remainder& left) {
    RemovalTally tally(file.size());
    std::vector<std::size_t> removed;
    const bool done = LookUpInOnePass(file, keys, [&](std::size_t j, std::size_t p, const char* record) {
        removals[j] = FoundForRemoval(record, tally.remove());
        if (removals[j].result != RemovalResult::Removed) return false;
        removed.push_back(p);
        return true;
    });
    if (!done) return false;
    left = {SpansWithout(tally.records(), removed), nullptr, tally.changed(), tally.deleted()};
    return true;
}

// Asks beforeReplace with the key file closed: on Windows an open key file shuts every writer out,
// and the web-mail product is not to wait while the caller writes and syncs files of its own.
// The file is then opened again; left closed when it is no longer the version that was read.
bool AskWithFileClosed(KeyFile& file, const std::string& path, const std::vector<KeyRemoval>& removals,
                       const BeforeReplace& beforeReplace) {
    const platform::FileStamp read = file.stamp();
    file.close();
    if (!beforeReplace(removals)) return false;
    if (file.open(path) && file.stamp() != read) file.close();
    return true;
}

// One read of the file, the removals in memory and one write; tooLarge, and nothing done, when
// the file is too large to hold.
RemovalResult RemoveOnce(const std::string& path, const std::vector<const char*>& keys,
                         std::vector<KeyRemoval>& removals, bool& tooLarge, const BeforeReplace& beforeReplace) {
    removals.assign(keys.size(), KeyRemoval{});
    KeyFile file;
    if (!file.open(path)) return RemovalResult::Unchanged;
    Remainder left;
    std::optional<LiveRecords> live;
    if (!RemoveInOnePass(file, keys, removals, left)) {
        // Not sorted: the searches need the whole file at hand.
        removals.assign(keys.size(), KeyRemoval{});
        tooLarge = file.size() > maxBatchFileBytes;
        if (tooLarge) return RemovalResult::Unchanged;
        live = ReadLiveRecords(file);
        if (!live) {
            file.close();
            return platform::StampOf(path) == file.stamp() ? RemovalResult::Unchanged : RemovalResult::FileChanged;
        }
        RemoveEach(*live, keys, removals);
        left = {live->spans(), live->bytes(), live->changed(), live->deleted()};
    }
    if (!left.changed) return RemovalResult::Unchanged;
    if (beforeReplace && !AskWithFileClosed(file, path, removals, beforeReplace)) {
        for (KeyRemoval& removal : removals) removal.result = RemovalResult::Unchanged;
        return RemovalResult::Unchanged;
    }

    platform::ErrorCode error = 0;
    const RemovalResult written = !file.isOpen() ? RemovalResult::FileChanged
                                  : left.deleted ? DeleteKeyFile(file, path, &error)
                                                 : ReplaceKeyFile(file, path, left.spans, left.held, &error);
    for (KeyRemoval& removal : removals) {
        if (removal.result != RemovalResult::Removed) continue;
        removal.result = written;
        removal.error = error;
    }
    return written;
}

// The file too large to hold, one removal per key. With beforeReplace, every key is looked up
// first and beforeReplace told what is to go, so that no record is lost before the caller has
// written down what it will lose.
std::vector<KeyRemoval> RemoveOneAtATime(const std::string& path, const std::vector<const char*>& keys,
                                         const BeforeReplace& beforeReplace) {
    std::vector<KeyRemoval> removals(keys.size());
    if (!beforeReplace) {
        for (std::size_t j = 0; j < keys.size(); ++j) removals[j] = RemoveKeyFromFile(path, keys[j]);
        return removals;
    }
    const std::vector<KeyRemoval> planned = LookUpKeys(path, keys);
    if (!AnyFound(planned) || !beforeReplace(planned)) return planned;
    for (std::size_t j = 0; j < keys.size(); ++j)
        if (planned[j].found) removals[j] = RemoveKeyFromFile(path, keys[j], &planned[j].value);
    return removals;
}

}  // namespace

std::vector<KeyRemoval> LookUpKeys(const std::string& path, const std::vector<const char*>& keys) {
    std::vector<KeyRemoval> found(keys.size());
    KeyFile file;
    if (!file.open(path)) return found;
    for (std::size_t j = 0; j < keys.size(); ++j) {
        const auto hit = LookupKey(file, keys[j]);
        if (!hit) continue;
        found[j].found = true;
        found[j].value = hit->value;
    }
    return found;
}

void SetMaxBatchFileBytesForTests(std::uint64_t bytes) { maxBatchFileBytes = bytes == 0 ? kMaxBatchFileBytes : bytes; }

std::vector<KeyRemoval> RemoveKeysFromFile(const std::string& path, const std::vector<const char*>& keys,
                                           const BeforeReplace& beforeReplace) {
    std::vector<KeyRemoval> removals;
    if (keys.empty()) return removals;
    bool tooLarge = false;
    RetryWhileChanged([&] { return RemoveOnce(path, keys, removals, tooLarge, beforeReplace); });
    if (!tooLarge) return removals;
    return RemoveOneAtATime(path, keys, beforeReplace);
}

}  // namespace keyindex
