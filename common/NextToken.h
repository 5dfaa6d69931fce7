#pragma once
#include <string>

// Trims white space from both ends of rest; if anything is left, cuts the next token off it at
// the first of the separators (the token itself is not trimmed) and returns true. With nothing
// left, returns false and leaves token unchanged.
bool NextToken(std::string& token, std::string& rest, const std::string& separators);

// True for blank, tab, line feed, carriage return, vertical tab and form feed.
bool IsTokenSpace(char c);

// rest with white space removed from both ends.
std::string TrimSpace(const std::string& text);
