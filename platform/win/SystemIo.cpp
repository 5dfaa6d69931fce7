// The Windows side of the system calls. Files are opened with CreateFile and read and written
// through their handles, so every error code is the system's own (GetLastError), which
// SystemErrorText turns into its message.
#include "platform/win/WinFiles.h"

#include <cstdio>

#include <fcntl.h>
#include <io.h>

#include "platform/FaultInjection.h"
#include "platform/HeldFile.h"
#include "platform/Paths.h"
#include "platform/SystemIo.h"

namespace platform::sys {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kLargestIo = 0x40000000u;

ErrorCode Error() { return static_cast<ErrorCode>(GetLastError()); }

long long FileTimeTicks(const FILETIME& t) {
    return static_cast<long long>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH + 1];
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return n > 0 && n <= MAX_PATH ? std::string(full, n) : path;
}

// The full path of an existing file with its name spelt as in its folder: replacing "USER.KEY"
// keeps a file called "user.key" under that name.
std::string FullPathAsOnDisk(const std::string& path) {
    const std::string full = FullPath(path);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(full.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return full;
    FindClose(find);
    return DirectoryOf(full) + data.cFileName;
}

FileStamp StampOfAttributes(const std::string& path) {
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return stamp;
    stamp.exists = true;
    stamp.size = (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.modifiedNs = FileTimeTicks(data.ftLastWriteTime) * 100;
    stamp.changedNs = FileTimeTicks(data.ftCreationTime) * 100;
    return stamp;
}

}  // namespace

HANDLE OpenDiskFile(const std::string& path, DWORD access, DWORD share, DWORD disposition, ErrorCode& error,
                    DWORD flags) {
    HANDLE handle = CreateFileA(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = Error();
        return handle;
    }
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        error = ERROR_INVALID_FUNCTION;
        return INVALID_HANDLE_VALUE;
    }
    error = 0;
    return handle;
}

int DescriptorOf(HANDLE handle, int flags, ErrorCode& error) {
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) {
        CloseHandle(handle);
        error = ERROR_TOO_MANY_OPEN_FILES;
        return -1;
    }
    error = 0;
    return fd;
}

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

FileStamp StampOfHandle(HANDLE handle) {
    FileStamp stamp;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info)) return stamp;
    stamp.exists = true;
    stamp.size = (static_cast<long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    stamp.modifiedNs = FileTimeTicks(info.ftLastWriteTime) * 100;
    stamp.changedNs = FileTimeTicks(info.ftCreationTime) * 100;  // a replacement is a new file
    stamp.inode = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return stamp;
}

ErrorCode WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        if (ErrorCode e = fault::Injected(fault::Step::Write)) return e;
        DWORD written = 0;
        DWORD chunk = size > kLargestIo ? kLargestIo : static_cast<DWORD>(size);
        if (!WriteFile(HandleOf(fd), data, chunk, &written, nullptr)) return Error();
        if (written == 0) return ERROR_WRITE_FAULT;
        data += written;
        size -= written;
    }
    return 0;
}

ErrorCode CopyFileRange(int from, std::uint64_t offset, int to, std::uint64_t length) {
    // No in-kernel copy between descriptors here: a mebibyte at a time through a buffer.
    std::vector<char> buffer(std::size_t{1} << 20);
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(HandleOf(from), position, nullptr, FILE_BEGIN)) return Error();
    while (length > 0) {
        const DWORD want = static_cast<DWORD>(length < buffer.size() ? length : buffer.size());
        DWORD n = 0;
        if (!ReadFile(HandleOf(from), buffer.data(), want, &n, nullptr)) return Error();
        if (n == 0) return kSourceEnded;
        if (ErrorCode e = WriteAll(to, buffer.data(), n)) return e;
        length -= n;
    }
    return 0;
}

ErrorCode ReadAll(int fd, std::string& out, std::size_t limit) {
    char buffer[65536];
    for (;;) {
        if (ErrorCode e = fault::Injected(fault::Step::Read)) return e;
        DWORD n = 0;
        if (!ReadFile(HandleOf(fd), buffer, sizeof buffer, &n, nullptr)) {
            return GetLastError() == ERROR_BROKEN_PIPE ? 0 : Error();
        }
        if (n == 0) return 0;
        if (static_cast<std::size_t>(n) > limit - out.size()) return kFileTooLarge;
        out.append(buffer, n);
    }
}

ErrorCode Close(int fd) {
    if (fault::ShouldFail(fault::Step::Close)) {
        _close(fd);
        return fault::InjectedError(fault::Step::Close);
    }
    return _close(fd) == 0 ? 0 : static_cast<ErrorCode>(_doserrno);
}

// Settings, catalogue and logs are shared with the web-mail product, which may read or write
// them meanwhile: reading never locks anyone out.
int OpenForReading(const std::string& path, ErrorCode& error) {
    if ((error = fault::Injected(fault::Step::OpenRead))) return -1;
    HANDLE handle = OpenDiskFile(path, GENERIC_READ, kShareAll, OPEN_EXISTING, error);
    return handle == INVALID_HANDLE_VALUE ? -1 : DescriptorOf(handle, _O_RDONLY, error);
}

// The reparse point itself is opened, not what it points to, and then refused.
int OpenForAppending(const std::string& path, ErrorCode& error) {
    HANDLE handle = OpenDiskFile(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS, error,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT);
    if (handle == INVALID_HANDLE_VALUE) return -1;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(handle, &info) != 0;
    if (!known || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        error = known ? kLinkRefused : Error();
        CloseHandle(handle);
        return -1;
    }
    return DescriptorOf(handle, _O_WRONLY | _O_APPEND, error);
}

// The system's temporary-file naming: the first three characters of the prefix, four hexadecimal
// digits and ".TMP", the file created anew by GetTempFileName and then opened for writing,
// shared for reading only.
int CreateExclusive(std::string& pattern, ErrorCode& error) {
    const std::string folder = DirectoryOf(pattern);
    const std::string prefix = FileNameOf(pattern).substr(0, FileNameOf(pattern).size() - 6);
    char name[MAX_PATH + 1] = {};
    if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), prefix.c_str(), 0, name)) {
        error = Error();
        return -1;
    }
    HANDLE handle = OpenDiskFile(name, GENERIC_WRITE, FILE_SHARE_READ, TRUNCATE_EXISTING, error);
    if (handle == INVALID_HANDLE_VALUE) {
        DeleteFileA(name);
        return -1;
    }
    pattern = name;
    return DescriptorOf(handle, _O_WRONLY, error);
}

bool IsReadOnlyFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// No link to follow: ReplaceFile and MoveFileEx replace a link itself.
std::string ReplacementTarget(const std::string& path) { return path; }

// ReplaceFile gives the new file the target's security and attributes when it takes its place;
// a read-only target is refused as the system would.
ErrorCode AdoptPermissions(int, const std::string& target) {
    return IsReadOnlyFile(target) ? ERROR_ACCESS_DENIED : 0;
}

// A new file takes the access rights its folder passes on; there are no mode bits to give.
ErrorCode GiveNewFileMode(int) { return 0; }

ErrorCode SyncFile(int fd) {
    if (ErrorCode e = fault::Injected(fault::Step::Flush)) return e;
    return FlushFileBuffers(HandleOf(fd)) ? 0 : Error();
}

// ReplaceFile keeps the replaced file's security, attributes and creation time, so a key file or
// the catalogue stays as its owner set it up; MoveFileEx would give the new file the folder's
// security instead. MoveFileEx still puts the file in place where ReplaceFile cannot:
//   ERROR_FILE_NOT_FOUND: there is no target yet;
//   ERROR_UNABLE_TO_MOVE_REPLACEMENT: the target is gone already, the new file is still under
//     its temporary name;
//   ERROR_INVALID_FUNCTION, ERROR_NOT_SUPPORTED: a file system without it (some network shares).
// Every other failure (a reader holding the target without delete sharing, no access) leaves
// both files as they were and is reported. Attributes or security that cannot be carried over do
// not stop the replacement. Full paths: Wine's ReplaceFile refuses relative ones; and the target
// as spelt on disk, since ReplaceFile leaves the file under the name it is given.
ErrorCode ReplaceFile(const std::string& from, const std::string& to) {
    const std::string replacement = FullPath(from), target = FullPathAsOnDisk(to);
    if (ReplaceFileA(target.c_str(), replacement.c_str(), nullptr,
                     REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr)) {
        // ReplaceFile has no write-through of its own: the replaced file is flushed instead.
        HANDLE handle = CreateFileA(target.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            FlushFileBuffers(handle);
            CloseHandle(handle);
        }
        return 0;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
        error != ERROR_INVALID_FUNCTION && error != ERROR_NOT_SUPPORTED)
        return static_cast<ErrorCode>(error);
    // With the target gone, the new file is the only copy left: what kept ReplaceFile from moving
    // it (a virus scanner reading it, say) is given a second to let go before the move gives up.
    const int tries = error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ? 20 : 1;
    for (int i = 0;; ++i) {
        if (MoveFileExA(replacement.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        if (i + 1 >= tries) return Error();
        Sleep(50);
    }
}

// The replacement is flushed already (MOVEFILE_WRITE_THROUGH, or the flush after ReplaceFile).
void SyncFolder(const std::string&) { fault::Injected(fault::Step::SyncDir); }

void RemoveQuietly(const std::string& path) { DeleteFileA(path.c_str()); }

// Opening for no access at all is never refused by another program's share mode, so the stamp
// carries the file index even of a key file that is open elsewhere.
FileStamp StampOfResolved(const std::string& path) {
    HANDLE handle = CreateFileA(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return StampOfAttributes(path);
    FileStamp stamp = StampOfHandle(handle);
    CloseHandle(handle);
    return stamp;
}

ErrorCode ForEachInFolder(const std::string& folder, const std::function<bool(FoundEntry&&)>& visit) {
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    return ForEachMatching(pattern + "*", visit);
}

std::vector<FoundEntry> ListFolder(const std::string& folder) {
    std::vector<FoundEntry> entries;
    ForEachInFolder(folder, [&](FoundEntry&& entry) {
        entries.push_back(std::move(entry));
        return true;
    });
    return entries;
}

ErrorCode ForEachMatching(const std::string& pattern, const std::function<bool(FoundEntry&&)>& visit) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    // No name that matches is an empty search, not a failure.
    if (find == INVALID_HANDLE_VALUE) {
        const ErrorCode why = static_cast<ErrorCode>(GetLastError());
        return why == ERROR_FILE_NOT_FOUND ? 0 : why;
    }
    ErrorCode error = 0;
    for (;;) {
        if ((error = fault::Injected(fault::Step::List)) != 0) break;
        FoundEntry entry;
        entry.name = data.cFileName;
        entry.isSymlink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !entry.isSymlink;
        if (!visit(std::move(entry))) break;
        if (!FindNextFileA(find, &data)) {
            if (const DWORD why = GetLastError(); why != ERROR_NO_MORE_FILES) error = static_cast<ErrorCode>(why);
            break;
        }
    }
    FindClose(find);
    return error;
}

// The Application event log stands for syslog: what only an administrator can change.
void SystemLogRecord(const std::string& identifier, const std::string& text) {
    HANDLE source = RegisterEventSourceA(nullptr, identifier.c_str());
    if (!source) return;
    const char* strings[] = {text.c_str()};
    ReportEventA(source, EVENTLOG_INFORMATION_TYPE, 0, 0, nullptr, 1, 0, strings, nullptr);
    DeregisterEventSource(source);
}

std::string UserName() {
    char name[257];
    DWORD size = sizeof name;
    return GetUserNameA(name, &size) ? std::string(name) : std::string();
}

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace platform::sys

namespace platform {

// Shared for reading only: a writer elsewhere makes the open fail, and no writer gets in later.
int OpenHeldFile(const std::string& path, FileStamp& stamp) {
    ErrorCode error = 0;
    HANDLE handle = sys::OpenDiskFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, error);
    if (handle == INVALID_HANDLE_VALUE) return -1;
    stamp = sys::StampOfHandle(handle);
    return sys::DescriptorOf(handle, _O_RDONLY, error);
}

long long ReadHeldFileAt(int fd, std::uint64_t offset, char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const std::uint64_t at = offset + done;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const std::size_t left = size - done;
        const DWORD want = left > sys::kLargestIo ? sys::kLargestIo : static_cast<DWORD>(left);
        DWORD got = 0;
        if (!ReadFile(sys::HandleOf(fd), buffer + done, want, &got, &where)) {
            if (GetLastError() == ERROR_HANDLE_EOF) break;
            return -1;
        }
        if (got == 0) break;  // end of file
        done += got;
    }
    return static_cast<long long>(done);
}

void CloseHeldFile(int fd) { _close(fd); }

}  // namespace platform
