// The Windows side of the tree removal: the system's own calls by path. A junction or symbolic
// link is listed as a reparse point, never as a folder, and goes as itself.
#include "platform/win/WindowsApi.h"

#include "platform/CaseFold.h"
#include "platform/FaultInjection.h"
#include "platform/FileOps.h"
#include "platform/FolderRemoval.h"
#include "platform/SystemIo.h"

namespace platform {

namespace {

bool RemoveContents(const std::string& folder, const std::string& spared);

bool RemoveEntry(const std::string& folder, const FoundEntry& entry) {
    const std::string path = folder + "\\" + entry.name;
    if (entry.isDirectory) {
        fault::RunBeforeDescend();
        const bool whole = RemoveContents(path, "");
        if (fault::Injected(fault::Step::Remove)) return false;
        return RemoveDirectory(path) == 0 && whole;
    }
    if (fault::Injected(fault::Step::Remove)) return false;
    return DeleteFile(path) == 0;
}

bool RemoveContents(const std::string& folder, const std::string& spared) {
    bool whole = true;
    for (const FoundEntry& entry : sys::ListFolder(folder + "\\")) {
        if (entry.name == "." || entry.name == "..") continue;
        if (!spared.empty() && EqualsIgnoringCase(entry.name, spared)) {
            if (sys::IsReadOnlyFile(folder + "\\" + entry.name)) whole = false;  // it could not go later
            continue;
        }
        if (!RemoveEntry(folder, entry)) whole = false;
    }
    return whole;
}

}  // namespace

FolderRemoval::FolderRemoval(const std::string& path) : path_(path) {
    if (path_.size() > 1 && (path_.back() == '\\' || path_.back() == '/')) path_.pop_back();
    opened_ = IsDirectory(path_);
}

FolderRemoval::~FolderRemoval() = default;

bool FolderRemoval::removeAllBut(const std::string& spared) { return opened_ && RemoveContents(path_, spared); }

bool FolderRemoval::removeRest() {
    if (!opened_ || !RemoveContents(path_, "")) return false;
    if (fault::Injected(fault::Step::Remove)) return false;
    return RemoveDirectory(path_) == 0;
}

}  // namespace platform
