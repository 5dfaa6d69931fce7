#include "dormix/keyindex/KeyRemoval.h"

#include "dormix/keyindex/KeyFile.h"
#include "dormix/keyindex/KeyLookup.h"

namespace keyindex {

RemovalResult RetryWhileChanged(const std::function<RemovalResult()>& attempt) {
    RemovalResult result = attempt();
    for (int redo = 0; redo < kMaxRedos && result == RemovalResult::FileChanged; ++redo) result = attempt();
    return result;
}

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
        return RemoveRecordFromOpenFile(file, path, hit->position);
    });
    return removal;
}

}  // namespace keyindex
