#pragma once
// Where a program's lines go when it was started from a command prompt.

namespace platform {

// Standard output and standard error that were not given to the program (a Windows program with
// windows gets none) are those of the console of the command prompt that started it, when there
// is one. Handles already given (a pipe, a file, a terminal) stay as they are.
void UseParentConsole();

}  // namespace platform
