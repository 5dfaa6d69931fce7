#include "tests/reliability/FileTree.h"

#include <filesystem>

#include "tests/support/TempDir.h"

namespace reliability {

namespace fs = std::filesystem;

FileTree TreeOf(const std::string& root) {
    FileTree tree;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const std::string relative = fs::relative(it->path(), root).generic_string();
        // A pipe or device is named, never read: reading it could wait for ever.
        tree[relative] = it->is_directory()      ? kFolder
                         : it->is_regular_file() ? ReadBytes(it->path().string())
                                                 : kSpecial;
    }
    return tree;
}

std::string TreeDifference(const FileTree& expected, const FileTree& actual) {
    std::string out;
    for (const auto& [path, bytes] : expected) {
        const auto found = actual.find(path);
        if (found == actual.end()) out += "- " + path + "\n";
        else if (found->second != bytes) out += "~ " + path + "\n";
    }
    for (const std::string& path : AddedPaths(expected, actual)) out += "+ " + path + "\n";
    return out;
}

std::vector<std::string> AddedPaths(const FileTree& expected, const FileTree& actual) {
    std::vector<std::string> added;
    for (const auto& entry : actual)
        if (!expected.count(entry.first)) added.push_back(entry.first);
    return added;
}

namespace {

const std::string* ContentIn(const FileTree& tree, const std::string& path) {
    const auto found = tree.find(path);
    return found == tree.end() ? nullptr : &found->second;
}

bool SameContent(const std::string* a, const std::string* b) { return a == b || (a && b && *a == *b); }

}  // namespace

bool EachTargetIsOneOf(const std::vector<std::string>& targets, const FileTree& actual,
                       const std::vector<const FileTree*>& versions) {
    for (const std::string& target : targets) {
        bool matched = false;
        for (const FileTree* version : versions)
            matched = matched || SameContent(ContentIn(actual, target), ContentIn(*version, target));
        if (!matched) return false;
    }
    return true;
}

bool IsTemporaryName(const std::string& relativePath) {
    const std::string name = fs::path(relativePath).filename().string();
    return name.rfind(".tmp", 0) == 0 || name.rfind("VT", 0) == 0;
}

}  // namespace reliability
