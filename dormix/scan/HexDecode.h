#pragma once
#include <cstddef>
#include <string>

// The text that a folder name spells in hexadecimal, two digits per byte, digits in either
// case. An odd length gives the empty text; a pair of non-digits gives a blank; the text ends
// at the first pair that decodes to a zero byte.
std::string HexDecode(const std::string& text);

// 0-9 for '0'-'9', 10-15 for 'a'-'f'; 32 for every other character, bytes from 128 up included.
// Upper-case digits reach it already lower-cased.
int HexDigitValue(char c);

// Every byte as two lower-case hexadecimal digits: no byte of a name or a key record can then
// break a line or a field of a file the scan writes.
std::string HexText(const char* data, std::size_t size);

// The bytes that HexText wrote; false when text is not pairs of hexadecimal digits.
bool UnhexText(const std::string& text, std::string& out);
