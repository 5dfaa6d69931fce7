#include "dormix/scan/AcctkitBlock.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

#include "acctkit/acctkit.h"

bool BlockNamesUser(const void* block) {
    const auto* bytes = static_cast<const unsigned char*>(block);
    return (bytes[0] | (bytes[1] << 8)) == 1;
}

std::string BlockUserFile(const void* block) {
    return static_cast<const char*>(block) + ACCTKIT_USER_FILE_OFFSET;
}

void ReleaseAcctkitBlock(void* block) {
#ifdef _WIN32
    HeapFree(GetProcessHeap(), 0, block);
#else
    std::free(block);
#endif
}
