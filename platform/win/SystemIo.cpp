// The Windows side of the system calls; error codes are the system's own (GetLastError), which
// SystemErrorText turns into its message.
#include "platform/win/WindowsApi.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include "platform/FaultInjection.h"
#include "platform/SystemIo.h"

namespace platform::sys {

namespace {

ErrorCode CrtError() { return _doserrno ? static_cast<ErrorCode>(_doserrno) : errno; }

long long FileTimeTicks(const FILETIME& t) {
    return (static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

}  // namespace

ErrorCode WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        if (ErrorCode e = fault::Injected(fault::Step::Write)) return e;
        unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
        int n = _write(fd, data, chunk);
        if (n < 0) return CrtError();
        if (n == 0) return ERROR_WRITE_FAULT;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

ErrorCode CopyFileRange(int from, std::uint64_t offset, int to, std::uint64_t length) {
    // No in-kernel copy between descriptors here: a mebibyte at a time through a buffer.
    std::vector<char> buffer(std::size_t{1} << 20);
    if (_lseeki64(from, static_cast<__int64>(offset), SEEK_SET) < 0) return CrtError();
    while (length > 0) {
        const unsigned want = static_cast<unsigned>(length < buffer.size() ? length : buffer.size());
        const int n = _read(from, buffer.data(), want);
        if (n < 0) return CrtError();
        if (n == 0) return kSourceEnded;
        if (ErrorCode e = WriteAll(to, buffer.data(), static_cast<std::size_t>(n))) return e;
        length -= static_cast<unsigned>(n);
    }
    return 0;
}

ErrorCode ReadAll(int fd, std::string& out, std::size_t limit) {
    char buffer[65536];
    for (;;) {
        int n = _read(fd, buffer, sizeof buffer);
        if (n < 0) return CrtError();
        if (n == 0) return 0;
        if (static_cast<std::size_t>(n) > limit - out.size()) return kFileTooLarge;
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

ErrorCode Close(int fd) {
    if (fault::ShouldFail(fault::Step::Close)) {
        _close(fd);
        return fault::InjectedError(fault::Step::Close);
    }
    return _close(fd) == 0 ? 0 : CrtError();
}

int OpenForReading(const std::string& path, ErrorCode& error) {
    int fd = _open(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    error = fd < 0 ? CrtError() : 0;
    return fd;
}

int OpenForAppending(const std::string& path, ErrorCode& error) {
    int fd = _open(path.c_str(), _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    error = fd < 0 ? CrtError() : 0;
    return fd;
}

int CreateExclusive(std::string& pattern, ErrorCode& error) {
    static unsigned counter = 0;
    const std::size_t at = pattern.size() - 6;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        unsigned value = GetTickCount() ^ (GetCurrentProcessId() << 12) ^ (++counter * 2654435761u);
        for (std::size_t i = 0; i < 6; ++i, value >>= 4) pattern[at + i] = "0123456789ABCDEF"[value & 15];
        int fd = _open(pattern.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                       _S_IREAD | _S_IWRITE);
        if (fd >= 0) {
            error = 0;
            return fd;
        }
        if (errno != EEXIST) break;
    }
    error = CrtError();
    return -1;
}

bool IsReadOnlyFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::string ReplacementTarget(const std::string& path) { return path; }

// ReplaceFile below keeps the replaced file's attributes and security; nothing to do here.
ErrorCode AdoptPermissions(int, const std::string&) { return 0; }

ErrorCode SyncFile(int fd) {
    if (ErrorCode e = fault::Injected(fault::Step::Flush)) return e;
    return _commit(fd) == 0 ? 0 : CrtError();
}

ErrorCode ReplaceFile(const std::string& from, const std::string& to) {
    if (GetFileAttributesA(to.c_str()) != INVALID_FILE_ATTRIBUTES &&
        ReplaceFileA(to.c_str(), from.c_str(), nullptr, 0, nullptr, nullptr))
        return 0;
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : static_cast<ErrorCode>(GetLastError());
}

// MOVEFILE_WRITE_THROUGH has made the replacement durable already.
void SyncFolder(const std::string&) { fault::Injected(fault::Step::SyncDir); }

void RemoveQuietly(const std::string& path) { DeleteFileA(path.c_str()); }

FileStamp StampOfResolved(const std::string& path) {
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return stamp;
    stamp.exists = true;
    stamp.size = (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.modifiedNs = FileTimeTicks(data.ftLastWriteTime) * 100;
    stamp.changedNs = FileTimeTicks(data.ftCreationTime) * 100;  // a replacement is a new file
    return stamp;
}

std::vector<FoundEntry> ListFolder(const std::string& folder) {
    std::vector<FoundEntry> entries;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return entries;
    do {
        FoundEntry entry;
        entry.name = data.cFileName;
        entry.isSymlink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !entry.isSymlink;
        entries.push_back(std::move(entry));
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return entries;
}

}  // namespace platform::sys
