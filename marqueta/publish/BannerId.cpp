#include "marqueta/publish/BannerId.h"

#include <cstdio>

std::string FormatBannerId(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(number));
    return text;
}
