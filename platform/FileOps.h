#pragma once
// File and folder operations standing in for the Windows calls. Each returns 0 on success or
// the system's error code (errno; GetLastError on Windows) that SystemErrorText turns into the
// system's own message.
// Paths are resolved without regard to case before use (see ResolveCase).
#include <cerrno>
#include <cstddef>
#include <string>

namespace platform {

using ErrorCode = int;

// The error of a write refused because a link stands in the file's place.
#ifdef _WIN32
inline constexpr ErrorCode kLinkRefused = 1920;  // ERROR_CANT_ACCESS_FILE
#else
inline constexpr ErrorCode kLinkRefused = ELOOP;
#endif

// The error of a folder that cannot be made because something else has its name.
#ifdef _WIN32
inline constexpr ErrorCode kAlreadyExists = 183;  // ERROR_ALREADY_EXISTS
#else
inline constexpr ErrorCode kAlreadyExists = EEXIST;
#endif

// The error a read reports for a file larger than its caller allows.
#ifdef _WIN32
inline constexpr ErrorCode kFileTooLarge = 223;  // ERROR_FILE_TOO_LARGE
#else
inline constexpr ErrorCode kFileTooLarge = EFBIG;
#endif

ErrorCode CopyFileNoReplace(const std::string& from, const std::string& to);
ErrorCode MoveFile(const std::string& from, const std::string& to);
ErrorCode DeleteFile(const std::string& path);          // never a folder
// DeleteFile on the path exactly as written, never resolved by letter case: for paths that come
// from another program's records, where a file of another case is someone else's.
ErrorCode DeleteFileAsWritten(const std::string& path);
// MoveFile, PathExists and IsLink with each file's own name exactly as written, only its folder
// resolved (see ResolveFolderCase): for names the program makes itself in a folder of its own.
ErrorCode MoveFileAsWritten(const std::string& from, const std::string& to);
bool PathExistsAsWritten(const std::string& path);
ErrorCode CreateDirectory(const std::string& path);     // one level
// Makes the folder path (one level) with the protection of the folder model, so that what moves
// from model into it is no more open to others than it was: on POSIX model's owner, group and
// permission bits (owner and group where the system lets this process give them); on Windows
// model's access entries, those it inherited included, as entries of its own that no longer
// follow path's parent. The folder is never made wider than model, even for a moment.
ErrorCode CreateDirectoryLike(const std::string& path, const std::string& model);
ErrorCode RemoveDirectory(const std::string& path);     // an empty folder only

bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);  // a real folder, not a link to one
bool IsLink(const std::string& path);       // a symbolic link (a reparse point on Windows) itself
bool IsLinkAsWritten(const std::string& path);

// Reads the whole file; false when it cannot be opened or read.
bool ReadFileBytes(const std::string& path, std::string& out);
// The same, giving the reason: 0, or the error of the failing open or read (out is then empty).
ErrorCode ReadWholeFileBytes(const std::string& path, std::string& out);

// Reads the whole ordinary file when it holds at most limit bytes: 0, or the error of the open or
// read, or kFileTooLarge (nothing much beyond limit is ever held in memory). out is empty on error.
ErrorCode ReadFileLimited(const std::string& path, std::string& out, std::size_t limit);

// Who besides the user the program runs as may get at a file.
struct FileStrangers {
    bool othersRead = false;    // its group or everyone may read it, by its mode bits
    bool foreignOwner = false;  // it belongs to neither this user nor root: its owner reads and changes it at will
};
// ReadFileLimited, telling who else may get at the very file read, as its open descriptor says: a
// file put in its place meanwhile is not judged instead. On Windows, where an access list of the
// administrator's making decides, nothing is told.
ErrorCode ReadFileLimited(const std::string& path, std::string& out, std::size_t limit, FileStrangers& strangers);

// True when path is an ordinary file that can be opened for reading; nothing is read.
bool CanOpenForReading(const std::string& path);
// The same, giving the reason: 0, or why it cannot be opened (ENOENT when it does not exist).
ErrorCode OpenErrorForReading(const std::string& path);

// True when users other than the file's owner may read it (its group or everyone, by its mode
// bits). On Windows, where who may read is an access list of the administrator's making, false.
bool OthersCanRead(const std::string& path);

// True for the error of a file, or one of its folders, that does not exist.
bool IsMissingFileError(ErrorCode code);

// The system's message text for an error code, on one line and without a line break at its end;
// "error N" when the system has none.
std::string SystemErrorText(ErrorCode code);

// The last error code of the calling thread (errno; GetLastError on Windows).
ErrorCode LastError();

}  // namespace platform
