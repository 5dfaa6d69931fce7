#pragma once
// Names and folders come from disk and may hold any byte. Wherever one goes into a line (the
// command line's output, "deleted.log", a saved list, a message that lists files), a tab, line break or DEL in it must not
// make a field or line of its own, nor a text pass for one that was escaped: control bytes and DEL
// are written as \xNN and the backslash is doubled. Every other byte stays as it is.
#include <string>

std::string EscapedForLine(const std::string& text);

// The same for a text of the program's own that holds paths, such as a reason: control bytes and
// DEL are escaped so that a folder's name cannot start a line, but a backslash stays single, so
// that a Windows path reads as the system writes it.
std::string ControlsEscaped(const std::string& text);
