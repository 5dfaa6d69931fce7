#pragma once
// <windows.h> without the macros that would rename the layer's own DeleteFile, MoveFile, ...
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#undef CopyFile
#undef DeleteFile
#undef MoveFile
#undef CreateDirectory
#undef RemoveDirectory
#undef ReplaceFile
#undef WriteProfileString
