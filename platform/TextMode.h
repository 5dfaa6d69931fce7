#pragma once
// Text-mode writes: the web-mail product reads CR LF line ends on every platform.
#include <string>

namespace platform {

// Every '\n' becomes "\r\n", as a text-mode write does on Windows.
std::string ToCrLf(const std::string& text);

// Appends text (converted with ToCrLf) to the file at path, creating it; false when the file
// cannot be opened for appending.
bool AppendText(const std::string& path, const std::string& text);

// AppendText, and the bytes are on the disk (the file and, for a new file, its folder entry)
// before it returns true: for records that must survive a crash that follows them.
bool AppendTextSynced(const std::string& path, const std::string& text);

}  // namespace platform
