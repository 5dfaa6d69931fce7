#pragma once
// Removal of a folder tree that never leaves it. On POSIX every step works relative to descriptors
// of folders opened with O_NOFOLLOW, so a link put in place of a folder at any moment is removed as
// a link and never entered, and nothing outside the tree can be reached. On Windows every entry is
// opened as itself (a junction or link is never followed), examined and deleted through its handle,
// and each folder is held open while its contents go, so that no one can move it away meanwhile.
// Neither ever enters another file system or any mount (a bind mount of the same file system too)
// inside the tree, nor empties a folder that is itself mounted in its place: it is left as it is.
#include <cstdint>
#include <string>

#include "platform/FileOps.h"

namespace platform {

// What kept a removal from being whole: the first entry that had to stay.
enum class LeftBehind {
    Nothing,
    ReadOnlyFile,  // a file marked read-only
    OtherDevice,   // a folder or file of another file system or another mount (a mount point)
    Failure,       // the system refused; see error()
};

// The first thing a removal had to leave, and the system's error for a Failure.
struct RemovalLeftover {
    LeftBehind left = LeftBehind::Nothing;
    ErrorCode error = 0;

    // Marks what was left, if it is the first; false, for the caller's result.
    bool leave(LeftBehind why, ErrorCode code = 0) {
        if (left == LeftBehind::Nothing) {
            left = why;
            error = code;
        }
        return false;
    }
    // True for 0; else the failure is marked.
    bool removed(ErrorCode code) { return code == 0 || leave(LeftBehind::Failure, code); }
};

class FolderRemoval {
public:
    // Opens the real folder at path (resolved without case); a link to a folder is not opened.
    explicit FolderRemoval(const std::string& path);
    ~FolderRemoval();
    FolderRemoval(const FolderRemoval&) = delete;
    FolderRemoval& operator=(const FolderRemoval&) = delete;

    bool isOpen() const { return opened_; }

    // Removes everything inside except the entries named spared (letter case ignored; an empty
    // name spares nothing), depth first. A read-only file stays, as the read-only attribute keeps it
    // on Windows. True when nothing but the spared entries is left and they are not read-only.
    bool removeAllBut(const std::string& spared);

    // Removes what is left inside, then the folder itself. True when the folder is gone.
    bool removeRest();

    // Why the last removal left something: Failure with error() for a folder that could not be
    // opened at all.
    LeftBehind leftBehind() const { return leftover_.left; }
    ErrorCode error() const { return leftover_.error; }

private:
    std::string path_;
    bool opened_ = false;
    RemovalLeftover leftover_;
    std::uint64_t device_ = 0;  // the file system that the folder lies on
    std::uint64_t mountId_ = 0;  // POSIX: the mount it lies on, when mountKnown_
    bool mountKnown_ = false;
    bool mountPoint_ = false;  // the folder is itself a mount point: nothing in it is removed
    int parentFd_ = -1;  // POSIX: the folder's parent and the folder, both held open
    int fd_ = -1;
    std::string name_;
    void* handle_ = nullptr;  // Windows: the folder, held open so that no one moves or replaces it
    std::wstring widePath_;   // Windows: its absolute path as the system's wide functions take it
};

// Removes the real folder at path with everything in it; true when it is gone whole.
inline bool RemoveFolderTree(const std::string& path) {
    FolderRemoval folder(path);
    return folder.removeRest();
}

}  // namespace platform
