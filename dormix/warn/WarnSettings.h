#pragma once
// Warning users by mail before their accounts go: the settings in section "DORMIX" of
// "VELTA.INI". Without WARNDAYS (or with 0) nothing is warned and accounts go as before.
#include <cstdint>
#include <functional>
#include <string>

struct WarnSettings {
    std::int32_t warnDays = 0;  // W: warn this many days before an account goes; 0: no warnings
    std::string smtpUrl;        // "smtp://host:port" or "smtps://host:port"
    std::string smtpUser;       // empty: the server is not asked to authenticate
    std::string smtpPassword;   // as given, or the first line of the password file
    std::string smtpPasswordFile;  // a file whose first line is the password; empty: none
    std::string smtpCaFile;     // certificates that vouch for the server instead of the system's; empty: the system's
    std::string mailFrom;       // the sender's address
    std::string mailDomain;     // the domain of a user whose name holds no '@'
    std::string warnTextPath;   // a file holding the message; empty: the built-in text
    std::string warnText;       // that file's content, read with the settings

    bool enabled() const { return warnDays > 0; }
};

struct WarnSettingsReading {
    WarnSettings settings;
    // Why warnings are asked for but cannot be sent; empty when they can (or are not asked for).
    // A run refuses to delete anything then, since it could not warn first.
    std::string problem;
    // What a run says once but goes on with: the settings file holds the password and others can
    // read it. Empty for nothing.
    std::string notice;
};

// Reads the settings through lookup(key), which gives the value of a key of section "DORMIX" of
// the file settingsPath (whose own readability is judged when it holds the password).
WarnSettingsReading ParseWarnSettings(const std::function<std::string(const char*)>& lookup,
                                      const std::string& settingsPath = {});

// The settings that "VELTA.INI" holds.
WarnSettingsReading ReadWarnSettings();

// "The mail server %s does not answer: %s.": the server as the settings name it, and why.
std::string MailServerProblemText(const std::string& url, const std::string& why);
