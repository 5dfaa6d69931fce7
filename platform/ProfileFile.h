#pragma once
// Windows-style profile ("INI") files: sections and keys compared without case, values
// trimmed, one pair of matching quotes around a value dropped, values cut at 259 bytes.
#include <string>

#include "platform/FileOps.h"

namespace platform {

inline constexpr std::size_t kMaxProfileValue = 259;

// A settings file larger than this is not a settings file: it is never read into memory and
// counts as unreadable.
inline constexpr std::size_t kMaxProfileFileBytes = std::size_t{16} << 20;

struct ProfileValue {
    ErrorCode error = 0;  // why the file could not be read (kFileTooLarge, ...); 0 when it was
    std::string value;    // empty when the file, section or key is missing or unreadable
};

ProfileValue ReadProfileValue(const std::string& filePath, const std::string& section, const std::string& key);

// The value of key in section, or the empty string when the file, section or key is missing.
std::string ReadProfileString(const std::string& filePath, const std::string& section,
                              const std::string& key);

// Sets key in section, creating the file, section or key as needed. Only that key's line
// changes (or a line is added at the end of its section, or a section at the end of the file);
// every other byte stays. The new content replaces the old file atomically. False on failure.
bool WriteProfileString(const std::string& filePath, const std::string& section,
                        const std::string& key, const std::string& value);

}  // namespace platform
