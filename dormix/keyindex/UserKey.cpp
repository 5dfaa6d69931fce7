#include "dormix/keyindex/UserKey.h"

#include <algorithm>
#include <cstdio>

#include "dormix/keyindex/KeyRecord.h"

namespace keyindex {

void LowerKeyBytes(char* bytes, std::size_t n) {
    std::size_t i = 0;
    while (i < n && bytes[i] != '\0') {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 128) {
            i += 2;  // lead byte and its trail byte stay as they are
            continue;
        }
        if (c >= 'A' && c <= 'Z') bytes[i] = static_cast<char>(c + 32);
        ++i;
    }
}

std::string MakeUserKey(const std::string& userName) {
    // The name is a zero-ended text: nothing after a zero byte belongs to it.
    const std::size_t length = std::min(userName.find('\0'), userName.size());
    std::string name = userName.substr(0, std::min(length, kKeySize));
    LowerKeyBytes(name.data(), name.size());

    std::string key;
    key.reserve(2 * name.size());
    char digits[3];
    for (const char byte : name) {
        std::snprintf(digits, sizeof digits, "%02lX",
                      static_cast<unsigned long>(static_cast<unsigned char>(byte)));
        key += digits;
    }
    return key;
}

}  // namespace keyindex
