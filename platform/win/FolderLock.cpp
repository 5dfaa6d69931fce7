// The Windows side of the folder lock: a hidden lock file in the folder, opened with no sharing at
// all, so that a second opener gets a sharing violation until the holder's handle closes. The system
// deletes the file when that handle closes, also when the holder is killed.
#include "platform/win/WindowsApi.h"

#include "platform/FolderLock.h"

namespace platform {

namespace {

constexpr DWORD kRetryMs = 50;
// The lock file of a holder that has just let go is briefly pending deletion and refuses to open
// with "access denied"; for so many tries that is taken as the moment of handing over, not as a
// folder where no lock file can be made.
constexpr int kDeletePendingTries = 20;

HANDLE OpenLockFile(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

}  // namespace

FolderLock::FolderLock(const std::string& folder, Wait wait) {
    std::string path = folder.empty() ? std::string(".") : folder;
    if (path.back() != '\\' && path.back() != '/') path += '\\';
    path += "dormix.lock";
    int deniedTries = 0;
    for (;;) {
        HANDLE file = OpenLockFile(path);
        if (file != INVALID_HANDLE_VALUE) {
            handle_ = reinterpret_cast<long long>(file);
            state_ = State::Held;
            return;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED && ++deniedTries < kDeletePendingTries) {
            Sleep(1);
            continue;
        }
        if (error != ERROR_SHARING_VIOLATION) return;
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
