// The Windows side of the file operations: the system's own calls, its own error codes.
#include "platform/win/WindowsApi.h"

#include "platform/FileOps.h"
#include "platform/SystemIo.h"

namespace platform {

namespace {

ErrorCode Result(BOOL ok) { return ok ? 0 : static_cast<ErrorCode>(GetLastError()); }

}  // namespace

ErrorCode CopyFileNoReplace(const std::string& from, const std::string& to) {
    return Result(CopyFileA(from.c_str(), to.c_str(), TRUE));
}

ErrorCode MoveFile(const std::string& from, const std::string& to) { return Result(MoveFileA(from.c_str(), to.c_str())); }

ErrorCode DeleteFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return static_cast<ErrorCode>(GetLastError());
    bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        // A link to a folder goes as the link; a real folder never.
        return link ? Result(RemoveDirectoryA(path.c_str())) : ERROR_ACCESS_DENIED;
    }
    return Result(DeleteFileA(path.c_str()));
}

ErrorCode CreateDirectory(const std::string& path) { return Result(CreateDirectoryA(path.c_str(), nullptr)); }

ErrorCode RemoveDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return static_cast<ErrorCode>(GetLastError());
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return ERROR_DIRECTORY;
    return Result(RemoveDirectoryA(path.c_str()));
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool ReadFileBytes(const std::string& path, std::string& out) { return ReadWholeFileBytes(path, out) == 0; }

ErrorCode ReadWholeFileBytes(const std::string& path, std::string& out) {
    return ReadFileLimited(path, out, static_cast<std::size_t>(-1));
}

ErrorCode ReadFileLimited(const std::string& path, std::string& out, std::size_t limit) {
    out.clear();
    ErrorCode error = 0;
    int fd = sys::OpenForReading(path, error);
    if (fd < 0) return error;
    error = sys::ReadAll(fd, out, limit);
    sys::Close(fd);
    if (error) out.clear();
    return error;
}

bool CanOpenForReading(const std::string& path) { return OpenErrorForReading(path) == 0; }

ErrorCode OpenErrorForReading(const std::string& path) {
    ErrorCode error = 0;
    int fd = sys::OpenForReading(path, error);
    if (fd >= 0) sys::Close(fd);
    return error;
}

bool IsMissingFileError(ErrorCode code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

std::string SystemErrorText(ErrorCode code) {
    char* buffer = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string text = n && buffer ? std::string(buffer, n) : std::string();
    if (buffer) LocalFree(buffer);
    return text;
}

ErrorCode LastError() { return static_cast<ErrorCode>(GetLastError()); }

}  // namespace platform
