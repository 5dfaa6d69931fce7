#include "platform/TextMode.h"

#include "platform/Paths.h"
#include "platform/SystemIo.h"

namespace platform {

std::string ToCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

bool AppendText(const std::string& path, const std::string& text) {
    ErrorCode error = 0;
    int fd = sys::OpenForAppending(ResolveCase(path), error);
    if (fd < 0) return false;
    std::string bytes = ToCrLf(text);
    ErrorCode written = sys::WriteAll(fd, bytes.data(), bytes.size());
    ErrorCode closed = sys::Close(fd);
    return written == 0 && closed == 0;
}

}  // namespace platform
