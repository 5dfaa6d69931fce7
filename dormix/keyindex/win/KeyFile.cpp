// The Windows side of the key file: opened with read sharing only, so that while it is open no
// other program can write it, and a writer elsewhere makes the open fail.
#include "dormix/keyindex/KeyFile.h"

#include <fcntl.h>
#include <io.h>

#include "platform/win/WinFiles.h"

namespace keyindex {

KeyFile::~KeyFile() { close(); }

bool KeyFile::open(const std::string& path) {
    close();
    platform::ErrorCode error = 0;
    HANDLE handle = platform::sys::OpenDiskFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, error);
    if (handle == INVALID_HANDLE_VALUE) return false;
    stamp_ = platform::sys::StampOfHandle(handle);
    fd_ = platform::sys::DescriptorOf(handle, _O_RDONLY, error);
    return fd_ >= 0;
}

void KeyFile::close() {
    if (fd_ >= 0) _close(fd_);
    fd_ = -1;
}

long long KeyFile::readAt(FilePosition offset, char* buffer, std::size_t size) const {
    if (fd_ < 0) return -1;
    std::size_t done = 0;
    while (done < size) {
        const std::uint64_t at = offset + done;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const std::size_t left = size - done;
        const DWORD want = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
        DWORD got = 0;
        if (!ReadFile(platform::sys::HandleOf(fd_), buffer + done, want, &got, &where)) {
            if (GetLastError() == ERROR_HANDLE_EOF) break;
            return -1;
        }
        if (got == 0) break;  // end of file
        done += got;
    }
    return static_cast<long long>(done);
}

}  // namespace keyindex
