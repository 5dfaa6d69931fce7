// The Windows side of the folder lock: a lock file that no one else may open while it is held.
#include "platform/win/WindowsApi.h"

#include "platform/FolderLock.h"

namespace platform {

namespace {
constexpr DWORD kRetryMs = 50;
}  // namespace

FolderLock::FolderLock(const std::string& folder, Wait wait) {
    std::string path = folder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
    path += "dormix.lock";
    for (;;) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            handle_ = reinterpret_cast<long long>(file);
            state_ = State::Held;
            return;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION) return;
        if (wait == Wait::No) {
            state_ = State::Busy;
            return;
        }
        Sleep(kRetryMs);
    }
}

FolderLock::~FolderLock() {
    if (state_ == State::Held) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace platform
