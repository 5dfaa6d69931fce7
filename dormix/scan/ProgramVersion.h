#pragma once
// The program's own version line: the About box shows it above the package's version, and
// --version prints the same two lines.
inline constexpr const char* kDormixVersionLine = "Dormix Version 1.0";
