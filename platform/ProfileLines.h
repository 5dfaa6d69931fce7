#pragma once
// The line structure of a profile file, with byte offsets, so that a writer can change one value
// and keep every other byte.
#include <cstddef>
#include <string>
#include <vector>

namespace platform {

struct ProfileLine {
    enum class Kind { Blank, Comment, Section, Key, Other };
    Kind kind = Kind::Blank;
    std::size_t start = 0;       // first byte of the line
    std::size_t end = 0;         // one past its last byte, line break excluded
    std::size_t next = 0;        // first byte of the following line
    std::string name;            // section or key name, white space trimmed
    std::size_t valueStart = 0;  // the value's bytes, white space trimmed (Key lines)
    std::size_t valueEnd = 0;
};

// name without the white space around it, as names are read from the file.
std::string TrimProfileName(const std::string& name);

// value without one pair of matching double or single quotes around it, as the system's profile
// functions read it: "2020/1/5" reads as 2020/1/5, "" as the empty value.
std::string DropProfileQuotes(const std::string& value);

// Splits text into lines ending in LF, CR LF or CR, and classifies each.
std::vector<ProfileLine> ParseProfileLines(const std::string& text);

// Index of the first section line named section (case ignored), or lines.size().
std::size_t FindProfileSection(const std::vector<ProfileLine>& lines, const std::string& section);

// Index of the first key line named key within the section starting at sectionIndex, or lines.size().
std::size_t FindProfileKey(const std::vector<ProfileLine>& lines, std::size_t sectionIndex, const std::string& key);

// One past the section's last line (the next section line, or lines.size()).
std::size_t EndOfProfileSection(const std::vector<ProfileLine>& lines, std::size_t sectionIndex);

}  // namespace platform
