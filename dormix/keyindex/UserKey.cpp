#include "dormix/keyindex/UserKey.h"

#include <algorithm>

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

    // Two upper-case hexadecimal digits per byte, as "%02lX" of its unsigned value writes them.
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string key;
    key.reserve(2 * name.size());
    for (const char byte : name) {
        const auto value = static_cast<unsigned char>(byte);
        key += kDigits[value >> 4];
        key += kDigits[value & 0x0F];
    }
    return key;
}

}  // namespace keyindex
