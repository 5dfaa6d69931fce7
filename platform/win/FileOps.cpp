// The Windows side of the file operations: the system's own calls, its own error codes.
#include "platform/win/WinFiles.h"

#include <aclapi.h>
#include <io.h>

#include "platform/FaultInjection.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "platform/SystemIo.h"

namespace platform {

namespace {

ErrorCode Result(BOOL ok) { return ok ? 0 : static_cast<ErrorCode>(GetLastError()); }

ErrorCode CopyBytes(int in, int out) {
    std::string buffer;
    if (ErrorCode e = sys::ReadAll(in, buffer)) return e;
    return sys::WriteAll(out, buffer.data(), buffer.size());
}

// MoveFileEx without MOVEFILE_REPLACE_EXISTING: an existing target makes it fail.
ErrorCode RenameNoReplace(const std::string& from, const std::string& to) {
    if (ErrorCode e = fault::Injected(fault::Step::Rename)) return e;
    return Result(MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH));
}

}  // namespace

// The copy is made under a temporary name beside the target and takes the target's name only
// when whole, so a crash never leaves a half image under a banner's name.
ErrorCode CopyFileNoReplace(const std::string& from, const std::string& to) {
    ErrorCode e = 0;
    int in = sys::OpenForReading(from, e);
    if (in < 0) return e;
    if (GetFileAttributesA(to.c_str()) != INVALID_FILE_ATTRIBUTES) e = ERROR_FILE_EXISTS;
    std::string temporary = DirectoryOf(to) + ".tmpXXXXXX";
    if (!e) e = fault::Injected(fault::Step::Create);
    int out = e ? -1 : sys::CreateExclusive(temporary, e);
    if (out < 0) {
        _close(in);
        return e;
    }
    e = CopyBytes(in, out);
    _close(in);
    if (!e) e = sys::SyncFile(out);  // passes the fault seam itself
    ErrorCode closed = sys::Close(out);
    if (!e) e = closed;
    if (!e) e = RenameNoReplace(temporary, to);
    if (e) DeleteFileA(temporary.c_str());
    return e;
}

ErrorCode MoveFile(const std::string& from, const std::string& to) { return RenameNoReplace(from, to); }

// The file system ignores case here: the path as written is already the only one it can name.
ErrorCode MoveFileAsWritten(const std::string& from, const std::string& to) { return MoveFile(from, to); }

ErrorCode DeleteFile(const std::string& path) { return DeleteFileAsWritten(path); }

// The file system ignores case here: the path as written is the only file it can name.
ErrorCode DeleteFileAsWritten(const std::string& path) {
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

// The folder gets model's access list with every entry as its own (not marked inherited) and
// protected from its parent's, so that it holds what it holds as model did wherever it stands.
ErrorCode CreateDirectoryLike(const std::string& path, const std::string& model) {
    PACL modelAcl = nullptr;
    PSECURITY_DESCRIPTOR modelSd = nullptr;
    if (const DWORD e = GetNamedSecurityInfoA(model.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                              nullptr, &modelAcl, nullptr, &modelSd))
        return static_cast<ErrorCode>(e);
    struct Freed {
        PSECURITY_DESCRIPTOR sd;
        ~Freed() { LocalFree(sd); }
    } freed{modelSd};
    if (!modelAcl) return CreateDirectory(path);  // no list: open to all, as model is
    std::string acl(modelAcl->AclSize, '\0');
    auto* own = reinterpret_cast<PACL>(acl.data());
    if (!InitializeAcl(own, modelAcl->AclSize, modelAcl->AclRevision)) return static_cast<ErrorCode>(GetLastError());
    for (DWORD i = 0; i < modelAcl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(modelAcl, i, &ace)) return static_cast<ErrorCode>(GetLastError());
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        std::string copy(static_cast<const char*>(ace), header->AceSize);
        reinterpret_cast<ACE_HEADER*>(copy.data())->AceFlags &= static_cast<BYTE>(~INHERITED_ACE);
        if (!AddAce(own, modelAcl->AclRevision, MAXDWORD, copy.data(), header->AceSize))
            return static_cast<ErrorCode>(GetLastError());
    }
    SECURITY_DESCRIPTOR sd;
    if (!InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) || !SetSecurityDescriptorDacl(&sd, TRUE, own, FALSE) ||
        !SetSecurityDescriptorControl(&sd, SE_DACL_PROTECTED, SE_DACL_PROTECTED))
        return static_cast<ErrorCode>(GetLastError());
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &sd, FALSE};
    return Result(CreateDirectoryA(path.c_str(), &attributes));
}

ErrorCode RemoveDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return static_cast<ErrorCode>(GetLastError());
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return ERROR_DIRECTORY;
    return Result(RemoveDirectoryA(path.c_str()));
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool PathExistsAsWritten(const std::string& path) { return PathExists(path); }

bool IsDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsLink(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool IsLinkAsWritten(const std::string& path) { return IsLink(path); }

bool ReadFileBytes(const std::string& path, std::string& out) { return ReadWholeFileBytes(path, out) == 0; }

ErrorCode ReadWholeFileBytes(const std::string& path, std::string& out) {
    return ReadFileLimited(path, out, static_cast<std::size_t>(-1));
}

// Reads close their file directly: the fault seam is for the closes of files being written.
ErrorCode ReadFileLimited(const std::string& path, std::string& out, std::size_t limit) {
    out.clear();
    ErrorCode error = 0;
    int fd = sys::OpenForReading(path, error);
    if (fd < 0) return error;
    // Room for the whole file at once when it is within the limit, as on POSIX.
    const long long size = _filelengthi64(fd);
    if (size > 0 && static_cast<unsigned long long>(size) <= limit) out.reserve(static_cast<std::size_t>(size));
    error = sys::ReadAll(fd, out, limit);
    _close(fd);
    if (error) out.clear();
    return error;
}

ErrorCode ReadFileLimited(const std::string& path, std::string& out, std::size_t limit, FileStrangers& strangers) {
    strangers = {};
    return ReadFileLimited(path, out, limit);
}

bool CanOpenForReading(const std::string& path) { return OpenErrorForReading(path) == 0; }

ErrorCode OpenErrorForReading(const std::string& path) {
    ErrorCode error = 0;
    int fd = sys::OpenForReading(path, error);
    if (fd >= 0) _close(fd);
    return error;
}

bool OthersCanRead(const std::string&) { return false; }

bool IsMissingFileError(ErrorCode code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

// One line, as it goes into log lines and messages: the system's line breaks become spaces and
// none ends it (FormatMessage ends every text with one).
std::string SystemErrorText(ErrorCode code) {
    char* buffer = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                 FORMAT_MESSAGE_MAX_WIDTH_MASK,
                             nullptr, static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string text = n && buffer ? std::string(buffer, n) : std::string();
    if (buffer) LocalFree(buffer);
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text.empty() ? "error " + std::to_string(code) : text;
}

ErrorCode LastError() { return static_cast<ErrorCode>(GetLastError()); }

}  // namespace platform
