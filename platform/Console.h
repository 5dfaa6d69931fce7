#pragma once
// Where a program's lines go when it was started from a command prompt.
#include <cstdio>
#include <string>

namespace platform {

// Standard output and standard error that were not given to the program (a Windows program with
// windows gets none) are those of the console of the command prompt that started it, when there
// is one. Handles already given (a pipe, a file, a terminal) stay as they are.
void UseParentConsole();

// Writes bytes to stream exactly as they are and flushes it. Lines written with fputs and the like
// get the system's line end (CR LF on Windows); text that carries its own CR LF, as a CSV does,
// must not become CR CR LF there.
void WriteUnchanged(std::FILE* stream, const std::string& bytes);

// True when standard output was given to the program and a write to it failed (a full disk); a
// stream a program with windows was never given (a scheduled task's) is no failure.
bool StandardOutputFailed();

}  // namespace platform
