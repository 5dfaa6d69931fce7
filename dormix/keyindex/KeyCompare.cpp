#include "dormix/keyindex/KeyCompare.h"

#include <cstring>

#include "dormix/keyindex/KeyRecord.h"

namespace keyindex {

bool KeyGreater(const char* a, const char* b) {
    // strncmp stops where a (or b) ends or the two differ and compares those bytes unsigned, so
    // within the first 128 bytes a key that ends first is the smaller: exactly the key order.
    return std::strncmp(a, b, kKeySize) > 0;
}

KeyMatch MatchKey(const char* r, const char* k) {
    for (std::size_t i = 0; i < kKeySize; ++i) {
        if (k[i] == '\0') return r[i] == '\0' ? KeyMatch::Exact : KeyMatch::Prefix;
        if (r[i] != k[i]) return KeyMatch::None;
    }
    return KeyMatch::Exact;
}

}  // namespace keyindex
