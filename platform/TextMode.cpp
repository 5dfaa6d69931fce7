#include "platform/TextMode.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/Paths.h"
#include "platform/PosixIo.h"

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
    int fd = ::open(ResolveCase(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    std::string bytes = ToCrLf(text);
    ErrorCode written = io::WriteAll(fd, bytes.data(), bytes.size());
    ErrorCode closed = io::Close(fd);
    return written == 0 && closed == 0;
}

}  // namespace platform
