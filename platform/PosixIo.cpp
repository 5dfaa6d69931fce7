#include "platform/PosixIo.h"

#include <cerrno>

#include <unistd.h>

#include "platform/FaultInjection.h"

namespace platform::io {

ErrorCode WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        if (fault::ShouldFail(fault::Step::Write)) return fault::InjectedError(fault::Step::Write);
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;  // no progress and no reason given
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

ErrorCode ReadAll(int fd, std::string& out) {
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

ErrorCode Close(int fd) {
    if (fault::ShouldFail(fault::Step::Close)) {
        ::close(fd);
        return fault::InjectedError(fault::Step::Close);
    }
    // A close interrupted by a signal has still released the descriptor on Linux; never retry it.
    if (::close(fd) != 0 && errno != EINTR) return errno;
    return 0;
}

}  // namespace platform::io
