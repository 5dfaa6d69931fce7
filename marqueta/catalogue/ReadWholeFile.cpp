#include "marqueta/catalogue/CatalogueFile.h"

#include "platform/FileOps.h"

platform::ErrorCode ReadWholeFile(const std::string& path, std::string& text, std::uint64_t* hash) {
    // A catalogue of several GiB would take all memory: it is refused before it is read.
    const platform::ErrorCode error = platform::ReadFileLimited(path, text, kMaxCatalogueBytes);
    if (hash) *hash = CatalogueHash(text);
    if (error) return error;
    // The text ends at its first zero byte, as a C string would; the rest is not lost, since the
    // file then counts as not read whole and nothing is written over it.
    const auto zero = text.find('\0');
    if (zero == std::string::npos) return 0;
    text.resize(zero);
    return kCatalogueHoldsZeroByte;
}

std::uint64_t CatalogueHash(std::string_view bytes) {
    std::uint64_t hash = kEmptyCatalogueHash;  // the FNV-1a offset basis
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}
