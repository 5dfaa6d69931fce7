#include "platform/Paths.h"

#include <cstdlib>

#include "platform/CaseFold.h"

#ifdef _WIN32
#include "platform/win/WindowsApi.h"
#else
#include <sys/stat.h>

#include "platform/SystemIo.h"
#endif

namespace platform {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HasDrive(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

std::size_t LastSeparator(const std::string& path) { return path.find_last_of("\\/"); }

}  // namespace

std::string DirectoryOf(const std::string& path) {
    std::size_t sep = LastSeparator(path);
    if (sep != std::string::npos) return path.substr(0, sep + 1);
    return HasDrive(path) ? path.substr(0, 2) : std::string();
}

std::string FolderOf(const std::string& path) {
#ifdef _WIN32
    return DirectoryOf(path);
#else
    const std::size_t sep = path.rfind(kSep);
    return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
#endif
}

std::string ResolveFolderCase(const std::string& path) {
    const std::string folder = FolderOf(path);
    return folder.empty() ? path : ResolveCase(folder) + path.substr(folder.size());
}

std::string FileNameOf(const std::string& path) {
    std::size_t sep = LastSeparator(path);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string ExtensionOf(const std::string& path) {
    std::string name = FileNameOf(path);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

#ifdef _WIN32

// The Windows file system ignores case by itself.
std::string ResolveCase(const std::string& path) { return path; }

// The system sets WINDIR to the Windows directory in every process; a WINDIR of one's own points
// a test or a second installation at another folder, as on the other systems.
std::string SettingsDirectory() {
    if (const char* windir = std::getenv("WINDIR"); windir && *windir) return windir;
    char buffer[MAX_PATH + 1] = {};
    UINT n = GetWindowsDirectoryA(buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

#else

namespace {

bool EntryExists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// The entry of folder whose name equals name without regard to ASCII case; the smallest such name
// when several differ only in case, so that the choice does not depend on the listing order.
bool FindEntryIgnoringCase(const std::string& folder, const std::string& name, std::string& found) {
    bool any = false;
    for (const FoundEntry& entry : sys::ListFolder(folder)) {
        if (EqualsIgnoringCase(entry.name, name) && (!any || entry.name < found)) {
            found = entry.name;
            any = true;
        }
    }
    return any;
}

}  // namespace

std::string ResolveCase(const std::string& path) {
    if (path.empty() || EntryExists(path)) return path;
    std::string resolved;
    bool parentExists = true;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t end = path.find('/', pos);
        if (end == std::string::npos) end = path.size();
        std::string component = path.substr(pos, end - pos);
        if (!component.empty() && component != "." && component != ".." && parentExists) {
            std::string found;
            if (EntryExists(resolved + component)) {
                // spelled as on disk already
            } else if (FindEntryIgnoringCase(resolved, component, found)) {
                component = found;
            } else {
                parentExists = false;  // nothing below a missing folder can exist
            }
        }
        resolved += component;
        if (end < path.size()) resolved += '/';
        pos = end + 1;
    }
    return resolved;
}

std::string SettingsDirectory() {
    const char* windir = std::getenv("WINDIR");
    return windir && *windir ? std::string(windir) : std::string("/etc");
}

#endif

std::string SettingsFilePath() {
    std::string dir = SettingsDirectory();
    if (!dir.empty() && !IsSeparator(dir.back())) dir += kSep;
    return ResolveCase(dir + "VELTA.INI");
}

}  // namespace platform
