#pragma once
#include <string>

// The banner page: the image as a link to url, reloading through the banner script after five
// seconds. Line breaks are "\n"; written to disk they become CR LF.
std::string pageText(const std::string& url, const std::string& imageName);
