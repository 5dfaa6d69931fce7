#pragma once
// The few POSIX calls the tests use, on Windows through the C runtime's own equivalents, the line
// end of the standard streams, and the mark for a test that can only hold on POSIX.
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>

// A path written with '/' in the separator that the programs join paths with on this system.
inline std::string Native(std::string path) {
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', '\\');
#endif
    return path;
}

// What a program's '\n' becomes on a standard stream, which is in text mode on Windows.
#ifdef _WIN32
inline const std::string kLineEnd = "\r\n";
#else
inline const std::string kLineEnd = "\n";
#endif

#ifdef _WIN32
inline int setenv(const char* name, const char* value, int) { return _putenv_s(name, value); }
inline int unsetenv(const char* name) { return _putenv_s(name, ""); }  // an empty value removes it
#ifndef _POSIX_THREAD_SAFE_FUNCTIONS
inline std::tm* localtime_r(const std::time_t* t, std::tm* out) { return localtime_s(out, t) == 0 ? out : nullptr; }
#endif
#define SKIP_ON_WINDOWS(reason) GTEST_SKIP() << (reason)
#else
#define SKIP_ON_WINDOWS(reason) static_cast<void>(0)
#endif
