// HexDecode and FolderUserName on any text: pairs of digits in either case give their byte, a
// non-digit counts as 32, an odd length gives nothing and the first zero byte ends the text.
// Any bytes written in hexadecimal read back as themselves.
#include <fuzzer/FuzzedDataProvider.h>

#include "dormix/scan/FolderUserName.h"
#include "dormix/scan/HexDecode.h"
#include "platform/Paths.h"
#include "tests/fuzz/FuzzSupport.h"

using fuzz::Require;

namespace {

int Digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 32;
}

std::string Expected(const std::string& text) {
    std::string out;
    if (text.size() % 2 != 0) return out;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const char byte = static_cast<char>((Digit(text[i]) * 16 + Digit(text[i + 1])) % 256);
        if (byte == '\0') break;
        out += byte;
    }
    return out;
}

// bytes in hexadecimal, the case of each letter chosen by the corresponding bit of mixCase.
std::string Hex(const std::string& bytes, std::uint64_t mixCase) {
    static const char* const digits[] = {"0123456789abcdef", "0123456789ABCDEF"};
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const char* set = digits[(mixCase >> (i % 64)) & 1];
        out += set[b >> 4];
        out += set[b & 15];
    }
    return out;
}

std::string WithoutSeparators(std::string text) {
    std::erase(text, '/');
    std::erase(text, '\\');
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::uint64_t mixCase = input.ConsumeIntegral<std::uint64_t>();
    const std::string text = input.ConsumeRemainingBytesAsString();

    const std::string decoded = HexDecode(text);
    Require(decoded == Expected(text), "each pair of digits gives its byte, up to the first zero");

    const std::string bytes = text.substr(0, text.find('\0'));
    Require(HexDecode(Hex(bytes, mixCase)) == bytes, "bytes written in hexadecimal read back as themselves");

    const std::string name = WithoutSeparators(text);
    if (name.empty()) return 0;  // then the folder's own name is "user"
    const std::string folder = std::string("C:") + platform::kSepText + "velta" + platform::kSepText + "user" +
                               platform::kSepText + name;
    Require(FolderUserName(folder) == HexDecode(name), "a folder's user name is its own name decoded");
    Require(FolderUserName(folder + platform::kSepText) == HexDecode(name), "one trailing separator is dropped");
    return 0;
}
