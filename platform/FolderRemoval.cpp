#include "platform/FolderRemoval.h"

#include <cerrno>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/CaseFold.h"
#include "platform/FaultInjection.h"
#include "platform/Paths.h"

namespace platform {

namespace {

int OpenFolderAt(int parentFd, const char* name) {
    return ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// The names in the folder open as fd, read through a descriptor of its own.
std::vector<std::string> NamesIn(int fd) {
    std::vector<std::string> names;
    const int listFd = ::dup(fd);
    if (listFd < 0) return names;
    DIR* dir = ::fdopendir(listFd);
    if (!dir) {
        ::close(listFd);
        return names;
    }
    ::rewinddir(dir);  // the copy shares its position with fd, which an earlier listing moved
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

// 0, or why the entry could not be removed.
ErrorCode UnlinkAt(int fd, const std::string& name, int flags) {
    if (const ErrorCode injected = fault::Injected(fault::Step::Remove)) return injected;
    return ::unlinkat(fd, name.c_str(), flags) == 0 || errno == ENOENT ? 0 : errno;
}

// A file marked read-only: no write permission for anyone, or none for this user.
bool IsReadOnly(int fd, const std::string& name, const struct stat& st) {
    if (!S_ISREG(st.st_mode)) return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::faccessat(fd, name.c_str(), W_OK, 0) != 0;
}

// The mount an entry lies on, and whether it is the root of a mount, as far as the system tells;
// a bind mount of a folder of the same file system has the device of what it is mounted on, so
// the device alone does not show it. name empty: the entry open as fd.
struct MountOf {
    bool known = false;  // mountId is the entry's
    std::uint64_t mountId = 0;
    bool root = false;  // the entry is a mount point
};

MountOf MountOfEntry(int fd, const std::string& name) {
    MountOf mount;
    struct statx st {};
    const int flags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | (name.empty() ? AT_EMPTY_PATH : 0);
    if (::statx(fd, name.c_str(), flags, STATX_MNT_ID, &st) != 0) return mount;
    mount.known = (st.stx_mask & STATX_MNT_ID) != 0;
    mount.mountId = st.stx_mnt_id;
    mount.root = (st.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0 && (st.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    return mount;
}

// One removal: the file system and the mount it stays on, and the first thing it had to leave.
struct Walk : RemovalLeftover {
    Walk(std::uint64_t onDevice, const MountOf& onMount) : device(static_cast<dev_t>(onDevice)), mount(onMount) {}
    dev_t device;
    MountOf mount;

    // Another file system, or a mount of any kind (a bind mount of the same one too), in its place.
    bool elsewhere(dev_t entryDevice, const MountOf& entry) const {
        if (entryDevice != device || entry.root) return true;
        return mount.known && entry.known && entry.mountId != mount.mountId;
    }
};

bool RemoveEntry(Walk& walk, int fd, const std::string& name);

bool RemoveContents(Walk& walk, int fd, const std::string& spared) {
    bool whole = true;
    for (const std::string& name : NamesIn(fd)) {
        if (!spared.empty() && EqualsIgnoringCase(name, spared)) {
            // A spared file that could not be removed later makes the removal fail now, before
            // the caller acts on its success.
            struct stat st;
            if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && IsReadOnly(fd, name, st))
                whole = walk.leave(LeftBehind::ReadOnlyFile);
            continue;
        }
        if (!RemoveEntry(walk, fd, name)) whole = false;
    }
    return whole;
}

bool RemoveEntry(Walk& walk, int fd, const std::string& name) {
    struct stat st;
    if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT || walk.removed(errno);
    // A file system mounted here (a shared folder, a bound file or folder) is not the account's to empty.
    if (walk.elsewhere(st.st_dev, MountOfEntry(fd, name))) return walk.leave(LeftBehind::OtherDevice);
    if (!S_ISDIR(st.st_mode)) {
        if (IsReadOnly(fd, name, st)) return walk.leave(LeftBehind::ReadOnlyFile);
        return walk.removed(UnlinkAt(fd, name, 0));
    }
    fault::RunBeforeDescend();
    const int sub = OpenFolderAt(fd, name.c_str());
    if (sub < 0) {
        // Something else took the folder's place since it was looked at: a link or a file goes
        // as itself, and is never entered.
        if (errno == ELOOP || errno == ENOTDIR) return walk.removed(UnlinkAt(fd, name, 0));
        return errno == ENOENT || walk.removed(errno);
    }
    struct stat opened;
    if (::fstat(sub, &opened) != 0 || walk.elsewhere(opened.st_dev, MountOfEntry(sub, ""))) {
        ::close(sub);  // mounted since it was looked at
        return walk.leave(LeftBehind::OtherDevice);
    }
    const bool whole = RemoveContents(walk, sub, "");
    ::close(sub);
    return walk.removed(UnlinkAt(fd, name, AT_REMOVEDIR)) && whole;
}

// Splits path into its folder and its own name, dropping one trailing separator.
void SplitPath(std::string path, std::string& folder, std::string& name) {
    if (path.size() > 1 && path.back() == kSep) path.pop_back();
    folder = FolderOf(path);
    name = path.substr(folder.size());
}

}  // namespace

FolderRemoval::FolderRemoval(const std::string& path) : path_(ResolveCase(path)) {
    std::string folder;
    SplitPath(path_, folder, name_);
    if (name_.empty() || name_ == "." || name_ == "..") {
        leftover_.leave(LeftBehind::Failure, ENOENT);
        return;
    }
    parentFd_ = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd_ >= 0) fd_ = OpenFolderAt(parentFd_, name_.c_str());
    struct stat st;
    opened_ = fd_ >= 0 && ::fstat(fd_, &st) == 0;
    if (!opened_) {
        leftover_.leave(LeftBehind::Failure, errno);
        return;
    }
    device_ = static_cast<std::uint64_t>(st.st_dev);
    const MountOf mount = MountOfEntry(fd_, "");
    mountId_ = mount.mountId;
    mountKnown_ = mount.known;
    // A folder that is itself mounted here (bound from elsewhere) is not the account's to empty.
    const MountOf parent = MountOfEntry(parentFd_, "");
    mountPoint_ = mount.root || (mount.known && parent.known && mount.mountId != parent.mountId);
}

FolderRemoval::~FolderRemoval() {
    if (fd_ >= 0) ::close(fd_);
    if (parentFd_ >= 0) ::close(parentFd_);
}

bool FolderRemoval::removeAllBut(const std::string& spared) {
    if (!opened_) return false;
    if (mountPoint_) return leftover_.leave(LeftBehind::OtherDevice);
    Walk walk(device_, {mountKnown_, mountId_, false});
    const bool whole = RemoveContents(walk, fd_, spared);
    leftover_ = walk;
    return whole;
}

bool FolderRemoval::removeRest() {
    if (!opened_) return false;
    if (mountPoint_) return leftover_.leave(LeftBehind::OtherDevice);
    Walk walk(device_, {mountKnown_, mountId_, false});
    // A link put in the folder's place meanwhile is no folder: AT_REMOVEDIR leaves it.
    const bool gone = RemoveContents(walk, fd_, "") && walk.removed(UnlinkAt(parentFd_, name_, AT_REMOVEDIR));
    leftover_ = walk;
    return gone;
}

}  // namespace platform
