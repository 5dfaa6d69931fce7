#pragma once
#include <string>
#include <string_view>

// Trims white space from both ends of rest; if anything is left, cuts the next token off it at
// the first of the separators (the token itself is not trimmed) and returns true. With nothing
// left, returns false and leaves token unchanged.
bool NextToken(std::string& token, std::string& rest, const std::string& separators);

// The same over a view of the rest, so that walking a large text token by token never copies
// what is left of it.
bool NextToken(std::string& token, std::string_view& rest, std::string_view separators);
// The same with the token as a view into rest's text, so that nothing is copied at all.
bool NextToken(std::string_view& token, std::string_view& rest, std::string_view separators);

// True for blank, tab, line feed, carriage return, vertical tab and form feed.
bool IsTokenSpace(char c);

// text with white space removed from both ends.
std::string TrimSpace(const std::string& text);
std::string_view TrimSpaceView(std::string_view text);
