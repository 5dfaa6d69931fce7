#include "dormix/warn/WarnSettings.h"

#include <algorithm>
#include <cctype>

#include "common/VeltaSettings.h"
#include "dormix/warn/WarningMessage.h"
#include "platform/ProfileFile.h"

namespace {

// A message, not a mailbox: more than this is no warning text.
constexpr std::size_t kMaxWarnTextBytes = 64 * 1024;

// A value read is cut at the profile reader's limit: a cut host, password or address would
// fail in ways that name no cause, so a value that fills the limit is refused as too long.
std::string TooLong(const char* key) {
    return std::string(key) + " in section DORMIX of VELTA.INI is too long: keep it under " +
           std::to_string(platform::kMaxProfileValue) + " characters.";
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// A whole number of days from 0 up, digits only; -1 for anything else.
std::int32_t ReadDays(const std::string& text) {
    if (text.empty()) return 0;
    if (text.size() > 5 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return -1;
    }
    return static_cast<std::int32_t>(std::stol(text));
}

// Why no warning could be sent with these settings; empty when one can. Reads the text file.
std::string SendingProblem(WarnSettings& s) {
    if (!StartsWith(s.smtpUrl, "smtp://") && !StartsWith(s.smtpUrl, "smtps://")) {
        return "SMTP in section DORMIX of VELTA.INI must name the mail server as smtp://host:port or "
               "smtps://host:port.";
    }
    if (!IsMailAddress(s.mailFrom)) return "MAILFROM in section DORMIX of VELTA.INI must hold the sender's address.";
    if (!s.mailDomain.empty() && !IsMailAddress("postmaster@" + s.mailDomain)) {
        return "MAILDOMAIN in section DORMIX of VELTA.INI must hold a mail domain, such as example.org.";
    }
    // A certificate file that cannot be read would fail every warning after the purge and the
    // deletions had gone ahead.
    if (!s.smtpCaFile.empty()) {
        if (const platform::ErrorCode error = platform::OpenErrorForReading(s.smtpCaFile); error != 0) {
            return "The certificate file " + s.smtpCaFile + " (SMTPCAFILE in section DORMIX of VELTA.INI) cannot be read: " +
                   platform::SystemErrorText(error) + ".";
        }
    }
    if (s.warnTextPath.empty()) return {};
    const platform::ErrorCode error = platform::ReadFileLimited(s.warnTextPath, s.warnText, kMaxWarnTextBytes);
    if (error != 0) {
        return "The warning text " + s.warnTextPath + " (WARNTEXT in section DORMIX of VELTA.INI) cannot be read: " +
               platform::SystemErrorText(error) + ".";
    }
    return {};
}

}  // namespace

WarnSettingsReading ParseWarnSettings(const std::function<std::string(const char*)>& lookup) {
    WarnSettingsReading reading;
    WarnSettings& s = reading.settings;
    const std::string days = lookup("WARNDAYS");
    s.warnDays = ReadDays(days);
    if (s.warnDays < 0) {
        s.warnDays = 0;
        reading.problem = "WARNDAYS in section DORMIX of VELTA.INI takes a whole number of days, not \"" + days +
                          "\". Nothing was deleted.";
        return reading;
    }
    if (!s.enabled()) return reading;
    const std::pair<const char*, std::string*> keys[] = {
        {"SMTP", &s.smtpUrl},          {"SMTPUSER", &s.smtpUser}, {"SMTPPASSWORD", &s.smtpPassword},
        {"MAILFROM", &s.mailFrom},     {"MAILDOMAIN", &s.mailDomain}, {"WARNTEXT", &s.warnTextPath},
        {"SMTPCAFILE", &s.smtpCaFile},
    };
    for (const auto& [key, value] : keys) {
        *value = lookup(key);
        if (value->size() >= platform::kMaxProfileValue && reading.problem.empty()) reading.problem = TooLong(key);
    }
    if (reading.problem.empty()) reading.problem = SendingProblem(s);
    if (!reading.problem.empty()) reading.problem += " Nothing was deleted.";
    return reading;
}

WarnSettingsReading ReadWarnSettings() {
    return ParseWarnSettings([](const char* key) { return ReadVeltaSetting("DORMIX", key); });
}

std::string MailServerProblemText(const std::string& url, const std::string& why) {
    return "The mail server " + url + " does not answer: " + why + ".";
}
