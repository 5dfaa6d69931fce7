#pragma once
// Key order of the key index files. Only the first 128 bytes of a key take part; bytes are
// compared as unsigned values and a key that is a proper prefix of another sorts before it.
// Either text may be a 128-byte record field without a terminator.

namespace keyindex {

// True when a sorts strictly after b.
bool KeyGreater(const char* a, const char* b);

enum class KeyMatch {
    Exact,   // the keys are equal
    Prefix,  // the search key is a proper prefix of the record key
    None,
};

// How a record's key r compares with the search key k.
KeyMatch MatchKey(const char* r, const char* k);

}  // namespace keyindex
