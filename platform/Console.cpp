#include "platform/Console.h"

namespace platform {

// Every POSIX program has the streams of whoever started it.
void UseParentConsole() {}

}  // namespace platform
