#pragma once
// Every file under a folder with its bytes: two trees compare equal only when no file was added,
// lost or changed, so a left temporary file or a half-written target shows at once.
#include <map>
#include <string>
#include <vector>

namespace reliability {

// Relative path -> content; a folder is an entry whose content is kFolder, any other file that
// is not an ordinary one kSpecial.
using FileTree = std::map<std::string, std::string>;
inline const std::string kFolder = "<folder>";
inline const std::string kSpecial = "<special>";  // a pipe, socket or device

FileTree TreeOf(const std::string& root);

// A readable list of what differs: "+ path" added, "- path" missing, "~ path" changed.
std::string TreeDifference(const FileTree& expected, const FileTree& actual);

// Paths of actual that expected lacks.
std::vector<std::string> AddedPaths(const FileTree& expected, const FileTree& actual);

// True when every path of the files named by `targets` holds, in actual, exactly its content in
// one of the given trees (absent when absent there).
bool EachTargetIsOneOf(const std::vector<std::string>& targets, const FileTree& actual,
                       const std::vector<const FileTree*>& versions);

// True for the names the safe-write path gives its temporary files.
bool IsTemporaryName(const std::string& relativePath);

}  // namespace reliability
