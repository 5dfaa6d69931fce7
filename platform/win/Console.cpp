#include "platform/Console.h"

#include <cstdio>

#include <fcntl.h>
#include <io.h>

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

// The standard streams are in text mode: binary for these bytes, then back to text.
void WriteUnchanged(std::FILE* stream, const std::string& bytes) {
    std::fflush(stream);
    const int descriptor = _fileno(stream);  // negative for a stream a program with windows was not given
    const int mode = descriptor >= 0 ? _setmode(descriptor, _O_BINARY) : -1;
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
    if (mode != -1) _setmode(descriptor, mode);
}

bool StandardOutputFailed() {
    if (_fileno(stdout) < 0 || !Given(STD_OUTPUT_HANDLE)) return false;
    return std::fflush(stdout) != 0 || std::ferror(stdout);
}

}  // namespace platform
