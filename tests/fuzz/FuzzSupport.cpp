#include "tests/fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace fuzz {

namespace {

std::string MakeScratchFolder() {
    const char* shm = "/dev/shm";
    std::string base = ::access(shm, W_OK | X_OK) == 0 ? shm : std::filesystem::temp_directory_path().string();
    std::string pattern = base + "/velta-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) Require(false, "a scratch folder can be made");
    return pattern + "/";
}

void RemoveScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(ScratchFolder(), ec);
}

}  // namespace

const std::string& ScratchFolder() {
    // Never destroyed: the exit handler that removes the folder still needs its name.
    static const std::string* folder = [] {
        auto* made = new std::string(MakeScratchFolder());
        std::atexit(RemoveScratchFolder);
        return made;
    }();
    return *folder;
}

std::string ScratchFile(const std::string& name) { return ScratchFolder() + name; }

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Require(static_cast<bool>(out), "the scratch file can be written");
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {
std::string& Context() {
    static auto* context = new std::string;
    return *context;
}
}  // namespace

void NoteContext(const std::string& text) { Context() = text; }

std::string Escaped(const std::string& bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7f && b != '\\') {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            out += hex;
        }
    }
    return out;
}

void Require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "\nproperty broken: %s\n%s\n", property, Context().c_str());
    std::abort();
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string TrimBlanks(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

}  // namespace fuzz
