#include "platform/ProfileFile.h"

#include <cstring>

#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "platform/ProfileLines.h"
#include "platform/SafeWrite.h"

namespace platform {

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr int kWriteAttempts = 5;

bool EndsWithLineBreak(const std::string& text) {
    return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

// A name or value that would break the line structure (and so could plant other keys) is refused.
bool FitsOnOneLine(const std::string& text) { return text.find_first_of("\r\n") == std::string::npos; }

bool FirstNonSpaceIsNot(const std::string& text, const char* forbidden) {
    std::size_t first = text.find_first_not_of(" \t\v\f");
    return first != std::string::npos && std::strchr(forbidden, text[first]) == nullptr;
}

// A section name that reads back as itself: not empty, on one line, without the closing bracket.
bool ValidSection(const std::string& section) {
    return FitsOnOneLine(section) && FirstNonSpaceIsNot(section, "") && section.find(']') == std::string::npos;
}

// A key that reads back as itself: not empty, on one line, without '=', and not taken for a
// comment or a section line.
bool ValidKey(const std::string& key) {
    return FitsOnOneLine(key) && FirstNonSpaceIsNot(key, "[;") && key.find('=') == std::string::npos;
}

// text with key set to value in section; only the bytes of the old value change, or one line
// (or a section and its line) is inserted.
std::string WithValue(const std::string& text, const std::string& section, const std::string& key,
                      const std::string& value) {
    std::vector<ProfileLine> lines = ParseProfileLines(text);
    std::size_t sectionIndex = FindProfileSection(lines, section);
    if (sectionIndex == lines.size()) {
        std::string out = text;
        if (!out.empty() && !EndsWithLineBreak(out)) out += kCrLf;
        return out + "[" + section + "]" + kCrLf + key + "=" + value + kCrLf;
    }
    std::size_t keyIndex = FindProfileKey(lines, sectionIndex, key);
    if (keyIndex != lines.size()) {
        const ProfileLine& line = lines[keyIndex];
        return text.substr(0, line.valueStart) + value + text.substr(line.valueEnd);
    }
    std::size_t last = sectionIndex;
    for (std::size_t i = sectionIndex + 1; i < EndOfProfileSection(lines, sectionIndex); ++i)
        if (lines[i].kind != ProfileLine::Kind::Blank) last = i;
    const ProfileLine& after = lines[last];
    std::string inserted = key + "=" + value + kCrLf;
    if (after.next == after.end) inserted = kCrLf + inserted;  // the last line had no line break
    return text.substr(0, after.next) + inserted + text.substr(after.next);
}

}  // namespace

// Names are looked up and written without the white space around them, since that is how they
// read back from the file.
ProfileValue ReadProfileValue(const std::string& filePath, const std::string& givenSection,
                              const std::string& givenKey) {
    const std::string section = TrimProfileName(givenSection), key = TrimProfileName(givenKey);
    ProfileValue result;
    std::string text;
    if ((result.error = ReadFileLimited(filePath, text, kMaxProfileFileBytes))) return result;
    std::vector<ProfileLine> lines = ParseProfileLines(text);
    std::size_t sectionIndex = FindProfileSection(lines, section);
    if (sectionIndex == lines.size()) return result;
    std::size_t keyIndex = FindProfileKey(lines, sectionIndex, key);
    if (keyIndex == lines.size()) return result;
    const ProfileLine& line = lines[keyIndex];
    result.value = DropProfileQuotes(text.substr(line.valueStart, line.valueEnd - line.valueStart));
    if (result.value.size() > kMaxProfileValue) result.value.resize(kMaxProfileValue);
    return result;
}

std::string ReadProfileString(const std::string& filePath, const std::string& section, const std::string& key) {
    return ReadProfileValue(filePath, section, key).value;
}

bool WriteProfileString(const std::string& filePath, const std::string& givenSection,
                        const std::string& givenKey, const std::string& value) {
    const std::string section = TrimProfileName(givenSection), key = TrimProfileName(givenKey);
    if (!ValidSection(section) || !ValidKey(key) || !FitsOnOneLine(value)) return false;
    std::string path = ResolveCase(filePath);
    // The web-mail product may rewrite the file meanwhile: its change is read again and kept,
    // never replaced by a copy of the older text.
    for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
        FileStamp stamp = StampOf(path);
        std::string text;
        bool existed = ReadFileLimited(path, text, kMaxProfileFileBytes) == 0;
        if (!existed && PathExists(path)) return false;  // there but unreadable: never overwrite it blind
        std::string updated = WithValue(text, section, key, value);
        if (existed && updated == text) return true;
        AtomicFile file(path);
        file.expectTarget(stamp);
        if (!file.write(updated)) return false;
        ErrorCode e = file.commit();
        if (e != kTargetChanged) return e == 0;
    }
    return false;
}

}  // namespace platform
