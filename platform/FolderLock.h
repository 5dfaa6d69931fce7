#pragma once
// An advisory lock on a folder, held for the life of the object, between the programs' own
// processes (the web-mail product does not take it). POSIX: flock on the folder itself, so no file
// is added; Windows: an exclusive lock file in the folder, deleted when the lock ends.
#include <string>

namespace platform {

class FolderLock {
public:
    enum class Wait { No, Yes };
    enum class State { Held, Busy, Unavailable };  // Unavailable: no such folder, or no locking there

    FolderLock(const std::string& folder, Wait wait);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    State state() const { return state_; }
    // Another process or another part of this one holds the lock (only without waiting).
    bool busy() const { return state_ == State::Busy; }

private:
    State state_ = State::Unavailable;
    long long handle_ = -1;
};

}  // namespace platform
