#include "platform/ProfileLines.h"

#include "platform/CaseFold.h"

namespace platform {

namespace {

bool IsProfileSpace(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::size_t SkipSpace(const std::string& text, std::size_t from, std::size_t end) {
    while (from < end && IsProfileSpace(text[from])) ++from;
    return from;
}

std::size_t TrimSpaceBack(const std::string& text, std::size_t from, std::size_t end) {
    while (end > from && IsProfileSpace(text[end - 1])) --end;
    return end;
}

}  // namespace

std::string TrimProfileName(const std::string& name) {
    const std::size_t first = SkipSpace(name, 0, name.size());
    return name.substr(first, TrimSpaceBack(name, first, name.size()) - first);
}

std::string DropProfileQuotes(const std::string& value) {
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    return quoted ? value.substr(1, value.size() - 2) : value;
}

namespace {

void Classify(const std::string& text, ProfileLine& line) {
    std::size_t first = SkipSpace(text, line.start, line.end);
    if (first == line.end) {
        line.kind = ProfileLine::Kind::Blank;
        return;
    }
    if (text[first] == ';') {
        line.kind = ProfileLine::Kind::Comment;
        return;
    }
    if (text[first] == '[') {
        std::size_t close = text.find(']', first + 1);
        std::size_t nameEnd = close != std::string::npos && close < line.end ? close : line.end;
        std::size_t nameStart = SkipSpace(text, first + 1, nameEnd);
        line.kind = ProfileLine::Kind::Section;
        line.name = text.substr(nameStart, TrimSpaceBack(text, nameStart, nameEnd) - nameStart);
        return;
    }
    std::size_t equals = text.find('=', first);
    if (equals == std::string::npos || equals >= line.end) {
        line.kind = ProfileLine::Kind::Other;
        return;
    }
    line.kind = ProfileLine::Kind::Key;
    line.name = text.substr(first, TrimSpaceBack(text, first, equals) - first);
    line.valueStart = SkipSpace(text, equals + 1, line.end);
    line.valueEnd = TrimSpaceBack(text, line.valueStart, line.end);
}

}  // namespace

std::vector<ProfileLine> ParseProfileLines(const std::string& text) {
    std::vector<ProfileLine> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        ProfileLine line;
        line.start = pos;
        std::size_t brk = text.find_first_of("\r\n", pos);
        line.end = brk == std::string::npos ? text.size() : brk;
        line.next = line.end;
        if (line.next < text.size()) {
            line.next += (text[line.next] == '\r' && line.next + 1 < text.size() && text[line.next + 1] == '\n') ? 2 : 1;
        }
        Classify(text, line);
        lines.push_back(std::move(line));
        pos = lines.back().next;
    }
    return lines;
}

std::size_t FindProfileSection(const std::vector<ProfileLine>& lines, const std::string& section) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind == ProfileLine::Kind::Section && EqualsIgnoringCase(lines[i].name, section)) return i;
    return lines.size();
}

std::size_t EndOfProfileSection(const std::vector<ProfileLine>& lines, std::size_t sectionIndex) {
    std::size_t i = sectionIndex + 1;
    while (i < lines.size() && lines[i].kind != ProfileLine::Kind::Section) ++i;
    return i;
}

std::size_t FindProfileKey(const std::vector<ProfileLine>& lines, std::size_t sectionIndex, const std::string& key) {
    std::size_t end = EndOfProfileSection(lines, sectionIndex);
    for (std::size_t i = sectionIndex + 1; i < end; ++i)
        if (lines[i].kind == ProfileLine::Kind::Key && EqualsIgnoringCase(lines[i].name, key)) return i;
    return lines.size();
}

}  // namespace platform
