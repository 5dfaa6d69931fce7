#include "dormix/keyindex/KeyRemoval.h"

#include "dormix/keyindex/KeyFile.h"
#include "dormix/keyindex/KeyLookup.h"

namespace keyindex {

RemovalResult RetryWhileChanged(const std::function<RemovalResult()>& attempt) {
    RemovalResult result = attempt();
    for (int redo = 0; redo < kMaxRedos && result == RemovalResult::FileChanged; ++redo) result = attempt();
    return result;
}

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
        if (expected && hit->value != *expected) return RemovalResult::FileChanged;
        return RemoveRecordFromOpenFile(file, path, hit->position, &removal.error);
    });
    return removal;
}

}  // namespace keyindex
