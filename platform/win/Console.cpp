#include "platform/Console.h"

#include <cstdio>

#include "platform/win/WindowsApi.h"

namespace platform {

namespace {

bool Given(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void UseParentConsole() {
    const bool output = Given(STD_OUTPUT_HANDLE);
    const bool error = Given(STD_ERROR_HANDLE);
    if (output && error) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;  // started from Explorer or a shortcut
    if (!output) std::freopen("CONOUT$", "w", stdout);
    if (!error) std::freopen("CONOUT$", "w", stderr);
}

}  // namespace platform
