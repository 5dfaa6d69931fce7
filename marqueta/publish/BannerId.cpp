#include "marqueta/publish/BannerId.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/DirectorySearch.h"

namespace {

constexpr std::size_t kIdLength = 8;
constexpr std::size_t kMaxExtensionName = 32;
constexpr int kIdCount = platform::kRandMax + 1;

// Random draws before the search for the last few free ids goes on in order instead.
constexpr int kMaxRandomDraws = 4 * kIdCount;

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool StartsWithHexId(const std::string& text) {
    if (text.size() < kIdLength) return false;
    for (std::size_t i = 0; i < kIdLength; ++i)
        if (!IsHexDigit(text[i])) return false;
    return true;
}

bool IsExtensionCharacter(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return false;
    return std::string_view("/\\.:*?\"<>|,").find(c) == std::string_view::npos;
}

}  // namespace

std::string FormatBannerId(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(number));
    return text;
}

bool isWellFormedBannerId(const std::string& uid) { return uid.size() == kIdLength && StartsWithHexId(uid); }

bool canNameBannerFiles(const std::string& uid) {
    return !uid.empty() && uid.find_first_of("*?<>\"/\\:") == std::string::npos && uid.find("..") == std::string::npos;
}

bool isPlainExtension(const std::string& ext) {
    if (ext.empty()) return true;
    if (ext[0] != '.' || ext.size() < 2 || ext.size() > kMaxExtensionName + 1) return false;
    for (std::size_t i = 1; i < ext.size(); ++i)
        if (!IsExtensionCharacter(ext[i])) return false;
    return true;
}

void BannerIdSet::take(const std::string& uid) {
    if (isWellFormedBannerId(uid)) takeNumber(std::strtoul(uid.c_str(), nullptr, 16));
}

void BannerIdSet::takeFileName(const std::string& name) {
    if (StartsWithHexId(name) && (name.size() == kIdLength || name[kIdLength] == '.'))
        take(name.substr(0, kIdLength));
}

void BannerIdSet::takeFilesIn(const std::string& folder) {
    for (const platform::FoundEntry& entry : platform::FindEntries(folder + "*.*")) takeFileName(entry.name);
}

void BannerIdSet::takeNumber(unsigned long number) {
    if (number >= taken_.size() || taken_[number]) return;
    taken_[number] = true;
    ++takenCount_;
}

std::optional<std::string> BannerIdSet::drawFree() const {
    if (takenCount_ >= kIdCount) return std::nullopt;
    int number = platform::NextRandom();
    for (int draws = 1; taken_[number] && draws < kMaxRandomDraws; ++draws) number = platform::NextRandom();
    // A generator that keeps missing the last free ids cannot hold the program up.
    while (taken_[number]) number = (number + 1) % kIdCount;
    return FormatBannerId(number);
}
