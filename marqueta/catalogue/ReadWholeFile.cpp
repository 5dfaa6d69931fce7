#include "marqueta/catalogue/CatalogueFile.h"

#include "platform/FileOps.h"

std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    if (!platform::ReadFileBytes(path, bytes)) return {};
    // The text ends at its first zero byte, as a C string would.
    const auto zero = bytes.find('\0');
    if (zero != std::string::npos) bytes.resize(zero);
    return bytes;
}
