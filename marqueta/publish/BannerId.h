#pragma once
#include <functional>
#include <string>

// A banner id as the programs write it: "%08X" of a number 0..32767, so it begins with "0000".
std::string FormatBannerId(int number);

// Draws before a search for a free id gives up and takes its last draw; with every id taken a
// later step then fails and says so, instead of the program hanging.
inline constexpr int kMaxBannerIdDraws = 1 << 20;

// Draws ids until isFree accepts one or kMaxBannerIdDraws have been drawn; returns the last draw.
std::string DrawFreeBannerId(const std::function<bool(const std::string&)>& isFree);
