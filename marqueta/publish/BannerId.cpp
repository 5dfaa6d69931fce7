#include "marqueta/publish/BannerId.h"

#include <cstdio>

#include "platform/Random.h"

std::string FormatBannerId(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(number));
    return text;
}

std::string DrawFreeBannerId(const std::function<bool(const std::string&)>& isFree) {
    std::string uid = FormatBannerId(platform::NextRandom());
    for (int draws = 1; draws < kMaxBannerIdDraws && !isFree(uid); ++draws)
        uid = FormatBannerId(platform::NextRandom());
    return uid;
}
