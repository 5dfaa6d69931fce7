#pragma once
// The warning itself: a plain-text mail (RFC 5322, UTF-8) telling a user when their account goes.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

// An address that can stand in an envelope and a header as it is: one '@' with text on both
// sides, printable ASCII without blanks, quotes, brackets, commas, colons, semicolons or
// backslashes. Anything else could end a header or name a second recipient.
bool IsMailAddress(const std::string& text);

// The address of a user: the name itself when it holds an '@', else NAME@mailDomain; nullopt when
// that makes no address IsMailAddress takes (no domain, a blank or line break in the name, ...).
std::optional<std::string> UserAddress(const std::string& userName, const std::string& mailDomain);

// What the message tells; the days are local midnights as the scan reads logon dates.
struct WarningFacts {
    std::string userName;
    std::string address;
    std::time_t lastLogon = 0;
    std::time_t goesOn = 0;      // the first day a run may delete the account
    std::int32_t daysLeft = 0;   // whole days from today to goesOn
};

// The text of the message with %USER%, %LASTLOGON%, %DATE% and %DAYS% filled in. warnText is the
// content of the WARNTEXT file (empty: the built-in text). Its first line, when it begins with
// "Subject:", gives the subject and the rest the body; otherwise the whole file is the body.
struct WarningText {
    std::string subject;
    std::string body;
};
WarningText FillWarningText(const std::string& warnText, const WarningFacts& facts);

// The whole message, CR LF line ends, ready for the DATA of an SMTP transaction. messageId is
// unique to the message and holds no '@', blank or angle bracket.
std::string ComposeWarning(const std::string& mailFrom, const WarningFacts& facts, const WarningText& text,
                           std::time_t now, const std::string& messageId);
