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

bool UnlinkAt(int fd, const std::string& name, int flags) {
    if (fault::Injected(fault::Step::Remove)) return false;
    return ::unlinkat(fd, name.c_str(), flags) == 0 || errno == ENOENT;
}

// A file marked read-only: no write permission for anyone, or none for this user.
bool IsReadOnly(int fd, const std::string& name, const struct stat& st) {
    if (!S_ISREG(st.st_mode)) return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::faccessat(fd, name.c_str(), W_OK, 0) != 0;
}

bool RemoveEntry(int fd, const std::string& name);

bool RemoveContents(int fd, const std::string& spared) {
    bool whole = true;
    for (const std::string& name : NamesIn(fd)) {
        if (!spared.empty() && EqualsIgnoringCase(name, spared)) {
            // A spared file that could not be removed later makes the removal fail now, before
            // the caller acts on its success.
            struct stat st;
            if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && IsReadOnly(fd, name, st)) whole = false;
            continue;
        }
        if (!RemoveEntry(fd, name)) whole = false;
    }
    return whole;
}

bool RemoveEntry(int fd, const std::string& name) {
    struct stat st;
    if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
    if (!S_ISDIR(st.st_mode)) return !IsReadOnly(fd, name, st) && UnlinkAt(fd, name, 0);
    fault::RunBeforeDescend();
    const int sub = OpenFolderAt(fd, name.c_str());
    if (sub < 0) {
        // Something else took the folder's place since it was looked at: a link or a file goes
        // as itself, and is never entered.
        if (errno == ELOOP || errno == ENOTDIR) return UnlinkAt(fd, name, 0);
        return errno == ENOENT;
    }
    const bool whole = RemoveContents(sub, "");
    ::close(sub);
    return UnlinkAt(fd, name, AT_REMOVEDIR) && whole;
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
    if (name_.empty() || name_ == "." || name_ == "..") return;
    parentFd_ = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd_ < 0) return;
    fd_ = OpenFolderAt(parentFd_, name_.c_str());
    opened_ = fd_ >= 0;
}

FolderRemoval::~FolderRemoval() {
    if (fd_ >= 0) ::close(fd_);
    if (parentFd_ >= 0) ::close(parentFd_);
}

bool FolderRemoval::removeAllBut(const std::string& spared) { return opened_ && RemoveContents(fd_, spared); }

bool FolderRemoval::removeRest() {
    if (!opened_ || !RemoveContents(fd_, "")) return false;
    // A link put in the folder's place meanwhile is no folder: AT_REMOVEDIR leaves it.
    return UnlinkAt(parentFd_, name_, AT_REMOVEDIR);
}

}  // namespace platform
