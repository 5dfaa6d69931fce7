#include "marqueta/catalogue/CatalogueFile.h"

#include "platform/FileOps.h"

platform::ErrorCode ReadWholeFile(const std::string& path, std::string& text) {
    if (const platform::ErrorCode error = platform::ReadWholeFileBytes(path, text)) return error;
    // The text ends at its first zero byte, as a C string would.
    const auto zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    return 0;
}
