#pragma once
// Whether a folder can be moved to another place by one rename: only within one file system
// (one volume on Windows) does a rename move it whole in one step.
#include <optional>
#include <string>

namespace platform {

// True when the existing paths a and b lie on the same file system and, where the system tells,
// the same mount of it (a rename cannot cross a bind mount); none when either cannot be examined.
std::optional<bool> OnSameFileSystem(const std::string& a, const std::string& b);

// True when the existing paths a and b name one file or folder: the same device and inode (the same
// volume and file index on Windows), however each is spelt or linked; none when either cannot be
// examined.
std::optional<bool> AreSameFile(const std::string& a, const std::string& b);

// Makes every write and rename so far on the file system that holds path durable at once.
// Windows: the volume where an administrator runs it, else the folder path, where the system allows.
void SyncFileSystem(const std::string& path);

}  // namespace platform
