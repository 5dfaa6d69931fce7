#pragma once
// Windows handles under the layer's C runtime descriptors: the layer opens files with
// CreateFile, for the share modes it needs, and hands the callers descriptors as on POSIX.
#include <functional>
#include <string>
#include <vector>

#include "platform/DirectorySearch.h"
#include "platform/SafeWrite.h"
#include "platform/win/WindowsApi.h"

namespace platform::sys {

// CreateFile with the given access, sharing and disposition, refusing anything that is not an
// ordinary disk file (a device name such as CON, a pipe, a folder). INVALID_HANDLE_VALUE with the
// system's error in error. flags: the flags and attributes that CreateFile takes.
HANDLE OpenDiskFile(const std::string& path, DWORD access, DWORD share, DWORD disposition, ErrorCode& error,
                    DWORD flags = FILE_ATTRIBUTE_NORMAL);

// A descriptor that owns handle from now on (closing it closes the handle); -1 with error set,
// the handle closed, when the runtime has no descriptor left.
int DescriptorOf(HANDLE handle, int flags, ErrorCode& error);
HANDLE HandleOf(int fd);

// The stamp of an open file: size, times and the file's index on its volume (its "inode").
FileStamp StampOfHandle(HANDLE handle);

// The entries that FindFirstFile and FindNextFile report for pattern, matched by the system, handed
// to visit one at a time; visit returning false ends the search there. 0 (no match among them), or
// why the search failed.
ErrorCode ForEachMatching(const std::string& pattern, const std::function<bool(FoundEntry&&)>& visit);

}  // namespace platform::sys
