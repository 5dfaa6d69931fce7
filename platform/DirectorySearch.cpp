#include "platform/DirectorySearch.h"

#include "platform/CaseFold.h"
#include "platform/Paths.h"
#include "platform/SystemIo.h"

#ifdef _WIN32
#include "platform/win/WinFiles.h"
#endif

namespace platform {

namespace {

// '*' and '?' with letter case ignored; the classic two-pointer walk that backtracks to the last '*'.
bool GlobMatch(const std::string& pattern, const std::string& name) {
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool EndsWithDotStar(const std::string& pattern) {
    return pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0;
}

using Visit = std::function<bool(FoundEntry&&)>;

// The entries of the pattern's folder that match its last component, one at a time; 0, or why the
// folder could not be listed. A folder that does not exist holds nothing to find.
#ifdef _WIN32
// The system matches the pattern itself.
ErrorCode VisitMatching(const std::string& pattern, const Visit& visit) {
    const ErrorCode error = sys::ForEachMatching(pattern, visit);
    return error == ERROR_PATH_NOT_FOUND ? 0 : error;
}
#else
ErrorCode VisitMatching(const std::string& pattern, const Visit& visit) {
    const std::string folder = FolderOf(pattern);
    const std::string namePattern = pattern.substr(folder.size());
    const ErrorCode error = sys::ForEachInFolder(folder.empty() ? std::string() : ResolveCase(folder), [&](FoundEntry&& entry) {
        return !WildcardMatch(namePattern, entry.name) || visit(std::move(entry));
    });
    return error == ENOENT ? 0 : error;
}
#endif

bool IsDots(const FoundEntry& entry) { return entry.name == "." || entry.name == ".."; }

}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    if (GlobMatch(pattern, name)) return true;
    // "NAME.*" also finds "NAME" itself, and "*.*" therefore every name.
    return EndsWithDotStar(pattern) && GlobMatch(pattern.substr(0, pattern.size() - 2), name);
}

std::vector<FoundEntry> FindEntries(const std::string& pattern) {
    std::vector<FoundEntry> dots, others;
    VisitMatching(pattern, [&](FoundEntry&& entry) {
        (IsDots(entry) ? dots : others).push_back(std::move(entry));
        return true;
    });
    if (dots.size() == 2 && dots[0].name == "..") std::swap(dots[0], dots[1]);
    dots.insert(dots.end(), std::make_move_iterator(others.begin()), std::make_move_iterator(others.end()));
    return dots;
}

ErrorCode ForEachEntry(const std::string& pattern, const std::function<bool(const FoundEntry&)>& visit) {
    return VisitMatching(pattern, [&](FoundEntry&& entry) { return IsDots(entry) || visit(entry); });
}

std::string FoundPath(const std::string& pattern, const FoundEntry& entry) { return FolderOf(pattern) + entry.name; }

}  // namespace platform
