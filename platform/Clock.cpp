#include "platform/Clock.h"

#include <chrono>

#ifdef _WIN32
#include "platform/win/WindowsApi.h"
#endif

namespace platform {

#ifdef _WIN32
std::uint32_t TickCount() { return GetTickCount(); }
#else
std::uint32_t TickCount() {
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}
#endif

bool LocalTime(std::time_t moment, std::tm& parts) {
#ifdef _WIN32
    return localtime_s(&parts, &moment) == 0;
#else
    return localtime_r(&moment, &parts) != nullptr;
#endif
}

std::string LocalTimeText(std::time_t t, const char* format) {
    std::tm local{};
    LocalTime(t, local);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, format, &local);
    return std::string(text, length);
}

}  // namespace platform
