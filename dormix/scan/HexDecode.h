#pragma once
#include <string>

// The text that a folder name spells in hexadecimal, two digits per byte, digits in either
// case. An odd length gives the empty text; a pair of non-digits gives a blank; the text ends
// at the first pair that decodes to a zero byte.
std::string HexDecode(const std::string& text);

// 0-9 for '0'-'9', 10-15 for 'a'-'f'; 32 for every other character, bytes from 128 up included.
// Upper-case digits reach it already lower-cased.
int HexDigitValue(char c);
