#pragma once
// An ordinary file held open for reading at any offset, with the stamp it had when it was opened.
// On Windows it is shared for reading only: no one writes it while it is held, and a file that is
// open for writing elsewhere is not opened. The key files are read this way.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/SafeWrite.h"

namespace platform {

// Opens an existing ordinary file; its descriptor with stamp set, or -1 when it does not exist,
// cannot be opened or is something else (a pipe in its place never blocks the open).
int OpenHeldFile(const std::string& path, FileStamp& stamp);
// Reads up to size bytes at offset, fewer only at the end of the file; the number of bytes read,
// or -1 when the read fails.
long long ReadHeldFileAt(int fd, std::uint64_t offset, char* buffer, std::size_t size);
void CloseHeldFile(int fd);

}  // namespace platform
