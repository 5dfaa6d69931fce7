#pragma once
// File and folder operations standing in for the Windows calls. Each returns 0 on success or
// the system's error code (errno; GetLastError on Windows) that SystemErrorText turns into the
// system's own message.
// Paths are resolved without regard to case before use (see ResolveCase).
#include <string>

namespace platform {

using ErrorCode = int;

ErrorCode CopyFileNoReplace(const std::string& from, const std::string& to);
ErrorCode MoveFile(const std::string& from, const std::string& to);
ErrorCode DeleteFile(const std::string& path);          // never a folder
ErrorCode CreateDirectory(const std::string& path);     // one level
ErrorCode RemoveDirectory(const std::string& path);     // an empty folder only

bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);  // a real folder, not a link to one

// Reads the whole file; false when it cannot be opened or read.
bool ReadFileBytes(const std::string& path, std::string& out);

// True when path is an ordinary file that can be opened for reading; nothing is read.
bool CanOpenForReading(const std::string& path);

// The system's message text for an error code; empty when there is none.
std::string SystemErrorText(ErrorCode code);

// The last error code of the calling thread (errno; GetLastError on Windows).
ErrorCode LastError();

}  // namespace platform
