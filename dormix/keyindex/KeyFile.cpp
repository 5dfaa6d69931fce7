#include "dormix/keyindex/KeyFile.h"

#include "platform/HeldFile.h"

namespace keyindex {

KeyFile::~KeyFile() { close(); }

bool KeyFile::open(const std::string& path) {
    close();
    fd_ = platform::OpenHeldFile(path, stamp_);
    return fd_ >= 0;
}

void KeyFile::close() {
    if (fd_ >= 0) platform::CloseHeldFile(fd_);
    fd_ = -1;
}

long long KeyFile::readAt(FilePosition offset, char* buffer, std::size_t size) const {
    return fd_ < 0 ? -1 : platform::ReadHeldFileAt(fd_, offset, buffer, size);
}

}  // namespace keyindex
