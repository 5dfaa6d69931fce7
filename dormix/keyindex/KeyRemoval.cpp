#include "dormix/keyindex/KeyRemoval.h"

#include "dormix/keyindex/KeyFile.h"
#include "dormix/keyindex/KeyLookup.h"

namespace keyindex {

KeyRemoval RemoveKeyFromFile(const std::string& path, const char* key) {
    KeyRemoval removal;
    removal.result = RetryWhileChanged([&] {
        removal.found = false;
        KeyFile file;
        if (!file.open(path)) return RemovalResult::Unchanged;
        const auto hit = LookupKey(file, key);
        if (!hit) return RemovalResult::Unchanged;
        removal.found = true;
        removal.value = hit->value;
        removal.record = hit->record;
        return RemoveRecordFromOpenFile(file, path, hit->position);
    });
    return removal;
}

}  // namespace keyindex
