#include "platform/Console.h"

namespace platform {

// Every POSIX program has the streams of whoever started it.
void UseParentConsole() {}

// No stream changes line ends here.
void WriteUnchanged(std::FILE* stream, const std::string& bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

bool StandardOutputFailed() { return std::fflush(stdout) != 0 || std::ferror(stdout); }

}  // namespace platform
