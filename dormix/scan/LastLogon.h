#pragma once
// The last-logon date of an account, as its "user.ini" holds it: year, month and day, each
// separated from the next by '/' or '-'.
#include <cstdint>
#include <ctime>
#include <string>

enum class LogonReading {
    TooFewParts,  // fewer than three parts: the account is passed over silently
    Unreadable,   // three parts that make no date: never a reason to delete
    Date,
};

struct LastLogon {
    LogonReading reading = LogonReading::TooFewParts;
    std::time_t then = 0;  // local 00:00:00 of that day, daylight saving time taken as not in effect
};

LastLogon ReadLastLogon(const std::string& value);

// Whole days from then to now, truncated toward zero, held to the 32-bit range.
std::int32_t AgeInDays(std::time_t now, std::time_t then);
