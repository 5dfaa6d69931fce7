#include "acctkit/standin/UserBlock.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

#include "acctkit/acctkit.h"

namespace acctkit {
namespace {

constexpr std::size_t kNameOffset = 2;

void* AllocateZeroed(std::size_t size) {
#ifdef _WIN32
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
#else
    return std::calloc(1, size);
#endif
}

}  // namespace

void* MakeUserBlock(bool found, const std::string& name, const std::string& filePath) {
    const std::size_t size = ACCTKIT_USER_FILE_OFFSET + filePath.size() + 1;
    auto* block = static_cast<unsigned char*>(AllocateZeroed(size));
    if (!block) return nullptr;
    if (!found) return block;
    block[0] = 1;
    block[1] = 0;
    const std::size_t nameRoom = ACCTKIT_USER_FILE_OFFSET - kNameOffset - 1;
    std::memcpy(block + kNameOffset, name.data(), std::min(name.size(), nameRoom));
    std::memcpy(block + ACCTKIT_USER_FILE_OFFSET, filePath.data(), filePath.size());
    return block;
}

}  // namespace acctkit
