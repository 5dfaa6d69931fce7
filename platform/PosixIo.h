#pragma once
// Whole-buffer reads and writes on file descriptors: interrupted calls are repeated, short
// writes continued, and every write passes the fault-injection seam.
#include <cstddef>
#include <string>

#include "platform/FileOps.h"

namespace platform::io {

// Writes all size bytes; 0 or the error code of the failing call.
ErrorCode WriteAll(int fd, const char* data, std::size_t size);

// Appends the rest of the file to out; 0 or the error code of the failing call.
ErrorCode ReadAll(int fd, std::string& out);

// Closes fd (through the seam); 0 or the error code.
ErrorCode Close(int fd);

}  // namespace platform::io
