#pragma once
// An installation's user folder with "USER.KEY" and "USERTIME.KEY" of many users, and the trees
// a removal of one user may leave: nothing removed, the "USER.KEY" record alone, or both.
#include <string>

#include "tests/reliability/FileTree.h"
#include "tests/support/TempDir.h"

namespace reliability {

class KeyInstallation {
public:
    // users records in each file; user i is named UserName(i).
    explicit KeyInstallation(int users);

    static std::string UserName(int i);
    std::string installPath() const { return dir.path().string(); }
    // Writes both files whole again and removes anything else from the user folder.
    void restore() const;

    TempDir dir;
    FileTree before;    // both files whole
    FileTree userGone;  // the user's "USER.KEY" record removed, "USERTIME.KEY" as before
    FileTree bothGone;  // the user's records removed from both files
    int removed;        // the user whose records the tests remove

private:
    void writeFiles(const std::string& folder, bool withoutUserRecord, bool withoutTimeRecord) const;
    int users_;
};

}  // namespace reliability
