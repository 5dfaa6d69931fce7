#pragma once
// What the fuzz targets share: a private scratch folder for the files they feed to the code under
// test, and a check that stops the run with the broken property named.
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// A folder of this process, in memory where the system offers one, removed at exit.
const std::string& ScratchFolder();
std::string ScratchFile(const std::string& name);

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// Aborts, naming what failed and the context last noted, so that libFuzzer keeps the input
// that broke the property.
void Require(bool holds, const char* property);
void NoteContext(const std::string& text);

// bytes with everything but printable ASCII written as \xHH, for the context.
std::string Escaped(const std::string& bytes);

// The white space that the programs trim around tokens and fields.
bool IsBlank(char c);
std::string TrimBlanks(const std::string& text);

}  // namespace fuzz
