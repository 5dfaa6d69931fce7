#pragma once
// The catalogue's texts are 8-bit texts as the files hold them; Qt shows them as QString. Text
// that is valid UTF-8 is read as UTF-8, any other as Windows-1252, in which the product writes its
// files on Windows. Texts go back to bytes in the encoding they were read in, and a text the user
// left as it was keeps its bytes exactly.
#include <string>

#include <QString>

// The bytes as text: UTF-8 when they are valid UTF-8, else Windows-1252.
QString ToQt(const std::string& bytes);

// The bytes for text. A text that shows exactly as asRead gives asRead back unchanged. Any other
// text takes the encoding asRead was read in: Windows-1252 (UTF-8 for a character it lacks), UTF-8
// when asRead holds UTF-8 beyond plain ASCII, and the system's 8-bit code page when asRead is plain
// ASCII or empty, as for a new text.
std::string FromQt(const QString& text, const std::string& asRead = {});
