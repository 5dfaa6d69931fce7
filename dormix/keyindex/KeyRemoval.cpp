#include "dormix/keyindex/KeyRemoval.h"

#include "dormix/keyindex/KeyFile.h"
#include "dormix/keyindex/KeyLookup.h"

namespace keyindex {

KeyRemoval RemoveKeyFromFile(const std::string& path, const char* key, const KeyValue* expected) {
    KeyRemoval removal;
    removal.result = RetryWhileChanged([&] {
        removal.found = false;
        removal.error = 0;
        KeyFile file;
        if (!file.open(path)) return RemovalResult::Unchanged;
        const auto hit = LookupKey(file, key);
        if (!hit) return RemovalResult::Unchanged;
        removal.found = true;
        removal.value = hit->value;
        removal.record = hit->record;
        if (expected && hit->value != *expected) return RemovalResult::FileChanged;
        return RemoveRecordFromOpenFile(file, path, hit->position, &removal.error);
    });
    return removal;
}

}  // namespace keyindex
