#include "dormix/keyindex/KeyCompare.h"

#include "dormix/keyindex/KeyRecord.h"

namespace keyindex {

namespace {
unsigned char ByteAt(const char* text, std::size_t i) { return static_cast<unsigned char>(text[i]); }
}  // namespace

bool KeyGreater(const char* a, const char* b) {
    for (std::size_t i = 0; i < kKeySize; ++i) {
        const unsigned char x = ByteAt(a, i);
        const unsigned char y = ByteAt(b, i);
        if (x == 0) return false;
        if (y == 0) return true;
        if (x > y) return true;
        if (x < y) return false;
    }
    return false;
}

KeyMatch MatchKey(const char* r, const char* k) {
    for (std::size_t i = 0; i < kKeySize; ++i) {
        if (k[i] == '\0') return r[i] == '\0' ? KeyMatch::Exact : KeyMatch::Prefix;
        if (r[i] != k[i]) return KeyMatch::None;
    }
    return KeyMatch::Exact;
}

}  // namespace keyindex
