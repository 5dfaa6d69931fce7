#pragma once
// Path texts as the programs build them: plain concatenation with the native separator.
#include <string>

namespace platform {

#ifdef _WIN32
inline constexpr char kSep = '\\';
inline constexpr const char* kSepText = "\\";
#else
inline constexpr char kSep = '/';
inline constexpr const char* kSepText = "/";
#endif

// Drive and folder part of a path, up to and including the last '\' or '/';
// a bare name gives its "X:" drive when it has one, else the empty string.
std::string DirectoryOf(const std::string& path);

// The folder part of a path as this system splits it, up to and including its last separator:
// elsewhere than on Windows a backslash is an ordinary character of a file name and splits nothing.
std::string FolderOf(const std::string& path);

// The file name after the last separator (the whole text when there is none).
std::string FileNameOf(const std::string& path);

// Extension from the last dot of the file name to its end, dot included; empty without a dot.
std::string ExtensionOf(const std::string& path);

// On a case-sensitive file system, a path that does not exist as written is matched component
// by component against the existing entries, ignoring letter case. Components that match nothing
// keep their spelling, so the result can name a file that is still to be created.
std::string ResolveCase(const std::string& path);

// The path with its folder resolved as ResolveCase does and its own name exactly as written: for a
// file that the program names itself in a folder of its own, where no other spelling can stand
// (resolving a name that is not there lists the whole folder).
std::string ResolveFolderCase(const std::string& path);

// Where "VELTA.INI" lives: the Windows directory on Windows; elsewhere $WINDIR when set and
// not empty, else /etc.
std::string SettingsDirectory();
std::string SettingsFilePath();

}  // namespace platform
