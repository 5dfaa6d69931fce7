#pragma once
// Times in mail headers and in "warned.log" are in UTC, written with fixed English names, so that
// neither the locale nor the time zone of the machine changes them or how they read back.
#include <ctime>
#include <optional>
#include <string>

// "Tue, 08 Dec 2026 15:53:05 +0000", as a mail's Date header wants it.
std::string MailDateText(std::time_t t);

// "2026-12-08T15:53:05Z".
std::string UtcStampText(std::time_t t);

// The moment that UtcStampText wrote; nullopt for any other text.
std::optional<std::time_t> ReadUtcStamp(const std::string& text);
