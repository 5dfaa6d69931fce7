#include "dormix/keyindex/RemoveKeysFromFile.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "dormix/keyindex/KeyCompare.h"
#include "dormix/keyindex/KeyFile.h"
#include "dormix/keyindex/KeyLookup.h"
#include "dormix/keyindex/LiveLookup.h"
#include "dormix/keyindex/LiveRecords.h"
#include "dormix/keyindex/RemoveKeyRecord.h"
#include "platform/SafeWrite.h"

namespace keyindex {

namespace {

std::uint64_t maxBatchFileBytes = kMaxBatchFileBytes;

// The order in which to look the keys up. In a sorted file a key's removal changes only what
// later lookups of an equal key find, so the keys may go in ascending order, equal ones in
// their given order; each search then starts where the one before it ended.
std::vector<std::size_t> LookupOrder(const LiveRecords& live, const std::vector<const char*>& keys) {
    std::vector<std::size_t> order(keys.size());
    for (std::size_t j = 0; j < keys.size(); ++j) order[j] = j;
    const auto ascending = [&](std::size_t a, std::size_t b) { return KeyGreater(keys[b], keys[a]); };
    if (live.sorted()) std::stable_sort(order.begin(), order.end(), ascending);
    return order;
}

// Looks each key up in the records and removes its record, as the one-key removals would.
void RemoveEach(LiveRecords& live, const std::vector<const char*>& keys, std::vector<KeyRemoval>& removals) {
    std::size_t from = 0;
    for (const std::size_t j : LookupOrder(live, keys)) {
        const auto hit = LookupLiveKey(live, keys[j], from);
        if (!hit) continue;
        removals[j].found = true;
        removals[j].value = ValueOfRecord(live.record(*hit));
        removals[j].record = RecordBytesAt(live.record(*hit));
        removals[j].result = live.remove(*hit);
    }
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
    tooLarge = file.size() > maxBatchFileBytes;
    if (tooLarge) return RemovalResult::Unchanged;
    auto live = ReadLiveRecords(file);
    if (!live) {
        file.close();
        return platform::StampOf(path) == file.stamp() ? RemovalResult::Unchanged : RemovalResult::FileChanged;
    }
    RemoveEach(*live, keys, removals);
    if (!live->changed()) return RemovalResult::Unchanged;
    if (beforeReplace && !AskWithFileClosed(file, path, removals, beforeReplace)) {
        for (KeyRemoval& removal : removals) removal.result = RemovalResult::Unchanged;
        return RemovalResult::Unchanged;
    }

    platform::ErrorCode error = 0;
    const RemovalResult written = !file.isOpen()   ? RemovalResult::FileChanged
                                  : live->deleted() ? DeleteKeyFile(file, path, &error)
                                                    : ReplaceKeyFile(file, path, live->spans(), live->bytes(), &error);
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
