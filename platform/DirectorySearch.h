#pragma once
// Wildcard directory search with Windows matching rules.
#include <functional>
#include <string>
#include <vector>

#include "platform/FileOps.h"

namespace platform {

struct FoundEntry {
    std::string name;       // as stored on disk
    bool isDirectory = false;  // a real folder; a symbolic link is never reported as a folder
    bool isSymlink = false;
};

// Windows matching: '*' any run, '?' one character, letter case ignored; "*.*" matches every
// name, with or without a dot; a pattern ending in ".*" also matches the name without the dot.
bool WildcardMatch(const std::string& pattern, const std::string& name);

// Entries of the folder part of pattern (FolderOf) whose names match its last component, in the order
// the file system lists them. "." and ".." are reported first when the pattern matches them,
// as the Windows search does. The folder is resolved without regard to case.
std::vector<FoundEntry> FindEntries(const std::string& pattern);

// The entries FindEntries(pattern) finds but "." and "..", handed to visit one at a time in the
// order the file system lists them, so that a folder of a million accounts is never held whole;
// visit returning false ends the search there. 0, or why the folder could not be listed in full
// (a folder that does not exist is no failure: it holds nothing).
ErrorCode ForEachEntry(const std::string& pattern, const std::function<bool(const FoundEntry&)>& visit);

// Full path of an entry found by FindEntries(pattern): the pattern's folder part plus the name.
std::string FoundPath(const std::string& pattern, const FoundEntry& entry);

}  // namespace platform
