// The Windows side of the tree removal. Each folder is opened as itself and listed through its
// handle; each entry is opened as itself with FILE_FLAG_OPEN_REPARSE_POINT, so a junction or
// symbolic link is never followed, and what the handle shows is what is deleted, through the
// handle. Handles are opened without delete sharing: while a folder is held no one else can
// rename, move or delete it, so the path of an entry inside keeps leading into the folder that
// was examined. Paths are wide and literal ("\\?\"), so no name is changed on its way. A volume
// mounted in a folder is a reparse point and so is never entered; an entry that reports another
// volume all the same is left as it is.
#include "platform/win/WindowsApi.h"

#include <cstdint>
#include <vector>

#include "platform/FaultInjection.h"
#include "platform/FolderRemoval.h"

namespace platform {

namespace {

constexpr DWORD kEntryAccess = DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;

// The entry at path itself, a junction or link as itself; INVALID_HANDLE_VALUE with the error in
// error. access adds FILE_LIST_DIRECTORY for what was listed as a folder.
HANDLE OpenAsItself(const std::wstring& path, DWORD access, DWORD& error) {
    HANDLE handle = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    error = handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    return handle;
}

void CloseOpened(HANDLE handle) {
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr) CloseHandle(handle);
}

// The attributes of the opened entry and the serial number of its volume.
DWORD AttributesOf(HANDLE handle, DWORD* volume = nullptr) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info)) return INVALID_FILE_ATTRIBUTES;
    if (volume) *volume = info.dwVolumeSerialNumber;
    return info.dwFileAttributes;
}

bool IsRealFolder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

bool IsReadOnlyFile(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_READONLY) != 0 && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Marks the opened entry itself for deletion when its handle closes: 0, or why it refused (a
// read-only file and a folder that is not empty refuse).
ErrorCode MarkDeleted(HANDLE handle) {
    if (const ErrorCode injected = fault::Injected(fault::Step::Remove)) return injected;
    FILE_DISPOSITION_INFO disposition{TRUE};  // its one member, which windows.h renames by its DeleteFile macro
    if (SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition)) return 0;
    return static_cast<ErrorCode>(GetLastError());
}

// One removal: the volume it stays on, and the first thing it had to leave.
struct Walk : RemovalLeftover {
    explicit Walk(std::uint64_t onVolume) : volume(static_cast<DWORD>(onVolume)) {}
    DWORD volume;
};

class Opened {
public:
    Opened(const std::wstring& path, DWORD access) : handle_(OpenAsItself(path, access, error_)) {}
    ~Opened() { CloseOpened(handle_); }
    Opened(const Opened&) = delete;
    Opened& operator=(const Opened&) = delete;
    HANDLE get() const { return handle_; }
    bool isOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    // The entry was gone before it could be opened.
    bool vanished() const { return error_ == ERROR_FILE_NOT_FOUND || error_ == ERROR_PATH_NOT_FOUND; }
    DWORD error() const { return error_; }

private:
    DWORD error_ = 0;
    HANDLE handle_;
};

struct Entry {
    std::wstring name;
    DWORD attributes;
};

// The entries of the folder open as handle, read through the handle itself; false when the
// listing failed part way.
bool EntriesIn(HANDLE folder, std::vector<Entry>& entries) {
    std::vector<std::uint64_t> buffer(8 * 1024);  // aligned as the records need
    const auto size = static_cast<DWORD>(buffer.size() * sizeof buffer[0]);
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    for (;;) {
        if (!GetFileInformationByHandleEx(folder, kind, buffer.data(), size))
            return GetLastError() == ERROR_NO_MORE_FILES;
        kind = FileIdBothDirectoryInfo;
        const char* records = reinterpret_cast<const char*>(buffer.data());
        for (std::size_t at = 0;;) {
            const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(records + at);
            std::wstring name(info->FileName, info->FileNameLength / sizeof(WCHAR));
            if (name != L"." && name != L"..") entries.push_back({std::move(name), info->FileAttributes});
            if (info->NextEntryOffset == 0) break;
            at += info->NextEntryOffset;
        }
    }
}

// The name as the system's ANSI functions read it.
std::wstring WideName(const std::string& name) {
    std::wstring wide(name.size() + 1, L'\0');
    const int converted = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(converted > 0 ? static_cast<std::size_t>(converted - 1) : 0);
    return wide;
}

// The absolute, literal form of path: no length limit, and names that end in a dot or a space
// (which other systems can put on a shared disk) are reached as written.
std::wstring LiteralPath(const std::string& path) {
    const std::wstring wide = WideName(path);
    std::wstring full(32768, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) return wide;
    full.resize(length);
    while (full.size() > 3 && full.back() == L'\\') full.pop_back();
    if (full.starts_with(L"\\\\?\\")) return full;
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

bool RemoveContents(Walk& walk, HANDLE folder, const std::wstring& path, const std::wstring& spared);

bool RemoveEntry(Walk& walk, const std::wstring& folder, const Entry& entry) {
    const std::wstring path = folder + L"\\" + entry.name;
    const bool listedAsFolder = IsRealFolder(entry.attributes);
    if (listedAsFolder) fault::RunBeforeDescend();
    const Opened opened(path, listedAsFolder ? kEntryAccess | FILE_LIST_DIRECTORY : kEntryAccess);
    if (!opened.isOpen()) return opened.vanished() || walk.leave(LeftBehind::Failure, static_cast<ErrorCode>(opened.error()));
    DWORD volume = 0;
    const DWORD attributes = AttributesOf(opened.get(), &volume);
    if (attributes == INVALID_FILE_ATTRIBUTES) return walk.leave(LeftBehind::Failure, static_cast<ErrorCode>(GetLastError()));
    if (volume != walk.volume) return walk.leave(LeftBehind::OtherDevice);
    if (IsReadOnlyFile(attributes)) return walk.leave(LeftBehind::ReadOnlyFile);
    // Whatever took a folder's place since the listing is judged by what was opened: a junction
    // or link goes as itself and is never entered.
    if (!IsRealFolder(attributes)) return walk.removed(MarkDeleted(opened.get()));
    const bool whole = RemoveContents(walk, opened.get(), path, L"");
    return walk.removed(MarkDeleted(opened.get())) && whole;
}

bool RemoveContents(Walk& walk, HANDLE folder, const std::wstring& path, const std::wstring& spared) {
    std::vector<Entry> entries;
    bool whole = EntriesIn(folder, entries) || walk.leave(LeftBehind::Failure, static_cast<ErrorCode>(GetLastError()));
    for (const Entry& entry : entries) {
        if (!spared.empty() && SameName(entry.name, spared)) {
            // A spared file that could not be removed later makes the removal fail now, before
            // the caller acts on its success.
            if (IsReadOnlyFile(entry.attributes)) whole = walk.leave(LeftBehind::ReadOnlyFile);
            continue;
        }
        if (!RemoveEntry(walk, path, entry)) whole = false;
    }
    return whole;
}

}  // namespace

FolderRemoval::FolderRemoval(const std::string& path) : path_(path), widePath_(LiteralPath(path)) {
    DWORD error = 0;
    HANDLE folder = OpenAsItself(widePath_, kEntryAccess | FILE_LIST_DIRECTORY, error);
    if (folder == INVALID_HANDLE_VALUE) {
        leftover_.leave(LeftBehind::Failure, static_cast<ErrorCode>(error));
        return;
    }
    handle_ = folder;
    DWORD volume = 0;
    opened_ = IsRealFolder(AttributesOf(folder, &volume));
    if (!opened_) {
        leftover_.leave(LeftBehind::Failure, ERROR_DIRECTORY);
        return;
    }
    device_ = volume;
}

FolderRemoval::~FolderRemoval() { CloseOpened(handle_); }

bool FolderRemoval::removeAllBut(const std::string& spared) {
    if (!opened_) return false;
    Walk walk(device_);
    const bool whole = RemoveContents(walk, handle_, widePath_, WideName(spared));
    leftover_ = walk;
    return whole;
}

bool FolderRemoval::removeRest() {
    if (!opened_) return false;
    Walk walk(device_);
    const bool gone = RemoveContents(walk, handle_, widePath_, L"") && walk.removed(MarkDeleted(handle_));
    leftover_ = walk;
    if (!gone) return false;
    CloseOpened(handle_);  // the folder goes now
    handle_ = nullptr;
    opened_ = false;
    return true;
}

}  // namespace platform
