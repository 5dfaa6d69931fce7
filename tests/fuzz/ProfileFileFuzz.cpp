// The profile-file reader and single-key writer on any file. Reading gives at most 259 bytes on
// one line. Writing a key changes nothing but that key: every other key reads as before, the key
// reads as its new value, and only the bytes of one line change (or whole lines are added). A
// refused write leaves the file as it was.
#include <map>
#include <utility>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "platform/CaseFold.h"
#include "platform/ProfileFile.h"
#include "platform/ProfileLines.h"
#include "tests/fuzz/FuzzSupport.h"

using fuzz::Require;

namespace {

using Name = std::pair<std::string, std::string>;  // section, key

// Every section and key the file names, and one made-up key in each section.
std::vector<Name> NamesIn(const std::string& text) {
    std::vector<Name> names;
    std::string section;
    bool inSection = false;
    for (const platform::ProfileLine& line : platform::ParseProfileLines(text)) {
        if (line.kind == platform::ProfileLine::Kind::Section) {
            section = line.name;
            inSection = true;
            names.emplace_back(section, "NOSUCHKEY");
        } else if (line.kind == platform::ProfileLine::Kind::Key && inSection) {
            names.emplace_back(section, line.name);
        }
    }
    return names;
}

std::map<Name, std::string> ReadAll(const std::string& path, const std::vector<Name>& names) {
    std::map<Name, std::string> values;
    for (const Name& name : names) {
        const std::string value = platform::ReadProfileString(path, name.first, name.second);
        Require(value.size() <= platform::kMaxProfileValue, "a value has at most 259 bytes");
        Require(value.find_first_of("\r\n") == std::string::npos, "a value lies on one line");
        values[name] = value;
    }
    return values;
}

bool OnOneLine(const std::string& text) { return text.find_first_of("\r\n") == std::string::npos; }
bool IsLineSpace(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string TrimLineSpace(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && IsLineSpace(text[first])) ++first;
    while (last > first && IsLineSpace(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// What the writer accepts: names and a value that keep the line structure and read back as
// themselves.
bool Writable(const std::string& section, const std::string& key, const std::string& value) {
    const std::string s = TrimLineSpace(section), k = TrimLineSpace(key);
    // A name that begins with a zero byte is empty to the system's C strings.
    return OnOneLine(section) && OnOneLine(key) && OnOneLine(value) && !s.empty() && s[0] != '\0' &&
           s.find(']') == std::string::npos && !k.empty() && k[0] != '\0' && k[0] != '[' && k[0] != ';' &&
           k.find('=') == std::string::npos;
}

// The bytes in which after differs from before lie within one line of before: no line break of
// before is lost.
bool OneLineChanged(const std::string& before, const std::string& after) {
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return OnOneLine(before.substr(prefix, before.size() - prefix - suffix));
}

std::string Pick(FuzzedDataProvider& input, const std::vector<Name>& names, bool section) {
    if (!names.empty() && input.ConsumeBool()) {
        const Name& name = names[input.ConsumeIntegralInRange<std::size_t>(0, names.size() - 1)];
        return section ? name.first : name.second;
    }
    return input.ConsumeRandomLengthString(12);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string text = input.ConsumeRandomLengthString(4096);
    const std::vector<Name> names = NamesIn(text);
    // Names may carry white space around them; they are looked up and written without it.
    const std::string section = Pick(input, names, true);
    const std::string key = Pick(input, names, false);
    const std::string value = input.ConsumeRemainingBytesAsString();

    const std::string path = fuzz::ScratchFile("VELTA.INI");
    fuzz::WriteFile(path, text);
    const std::map<Name, std::string> before = ReadAll(path, names);

    const bool written = platform::WriteProfileString(path, section, key, value);
    const std::string after = fuzz::ReadFile(path);
    fuzz::NoteContext("section \"" + fuzz::Escaped(section) + "\", key \"" + fuzz::Escaped(key) + "\", value \"" +
                      fuzz::Escaped(value) + "\"\nfile before: \"" + fuzz::Escaped(text) + "\"\nfile after:  \"" +
                      fuzz::Escaped(after) + "\"");
    Require(written == Writable(section, key, value), "a write is refused exactly when it would break a line");
    if (!written) {
        Require(after == text, "a refused write leaves the file alone");
        return 0;
    }
    Require(OneLineChanged(text, after), "a write changes one line or adds lines");
    const std::string expected = platform::DropProfileQuotes(TrimLineSpace(value)).substr(0, platform::kMaxProfileValue);
    Require(platform::ReadProfileString(path, section, key) == expected, "the key reads as its new value");
    for (const auto& [name, old] : before) {
        const bool same = platform::EqualsIgnoringCase(name.first, TrimLineSpace(section)) &&
                          platform::EqualsIgnoringCase(name.second, TrimLineSpace(key));
        if (!same) Require(platform::ReadProfileString(path, name.first, name.second) == old, "every other key reads as before");
    }
    return 0;
}
