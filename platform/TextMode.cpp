#include "platform/TextMode.h"

#include "platform/FileOps.h"
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

namespace {

bool Append(const std::string& path, const std::string& text, bool synced) {
    ErrorCode error = 0;
    const std::string resolved = ResolveCase(path);
    const bool existed = synced && PathExists(resolved);  // only a synced append syncs the folder too
    int fd = sys::OpenForAppending(resolved, error);
    if (fd < 0) return false;
    std::string bytes = ToCrLf(text);
    ErrorCode written = sys::WriteAll(fd, bytes.data(), bytes.size());
    if (synced && written == 0) written = sys::SyncFile(fd);
    ErrorCode closed = sys::Close(fd);
    if (synced && !existed) sys::SyncFolder(DirectoryOf(resolved));
    return written == 0 && closed == 0;
}

}  // namespace

bool AppendText(const std::string& path, const std::string& text) { return Append(path, text, false); }

bool AppendTextSynced(const std::string& path, const std::string& text) { return Append(path, text, true); }

}  // namespace platform
