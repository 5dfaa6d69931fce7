#include "dormix/warn/WarnSettings.h"


#include "common/VeltaSettings.h"
#include "dormix/quarantine/GraceDays.h"
#include "dormix/warn/WarningMessage.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"

namespace {

// A message, not a mailbox: more than this is no warning text.
constexpr std::size_t kMaxWarnTextBytes = 64 * 1024;
// A password, not a document.
constexpr std::size_t kMaxPasswordFileBytes = 4096;

// A value read is cut at the profile reader's limit: a cut host, password or address would
// fail in ways that name no cause, so a value that fills the limit is refused as too long.
std::string TooLong(const char* key) {
    return std::string(key) + " in section DORMIX of VELTA.INI is too long: keep it under " +
           std::to_string(platform::kMaxProfileValue) + " characters.";
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Takes the password from its file, which only its owner may read, as ssh takes a key; why not
// when it cannot. Who may read it is judged on the file read, not on whatever bears its name later.
std::string ReadPasswordFile(WarnSettings& s) {
    if (s.smtpPasswordFile.empty()) return {};
    if (!s.smtpPassword.empty())
        return "SMTPPASSWORD and SMTPPASSWORDFILE in section DORMIX of VELTA.INI are both set: keep one.";
    const std::string named = "The password file " + s.smtpPasswordFile + " (SMTPPASSWORDFILE in section DORMIX of VELTA.INI)";
    std::string bytes;
    platform::FileStrangers strangers;
    if (const platform::ErrorCode error =
            platform::ReadFileLimited(s.smtpPasswordFile, bytes, kMaxPasswordFileBytes, strangers);
        error != 0) {
        return named + " cannot be read: " + platform::SystemErrorText(error) + ".";
    }
    // Its owner may read it, and make it say what they like.
    if (strangers.foreignOwner)
        return s.smtpPasswordFile + " belongs to another user; give it to the user who runs dormix (chown).";
    if (strangers.othersRead) return s.smtpPasswordFile + " can be read by other users; allow only its owner (chmod 600).";
    s.smtpPassword = bytes.substr(0, bytes.find_first_of("\r\n"));
    // An emptied file would log in with no password and fail only once the deletions are done.
    if (s.smtpPassword.empty()) return named + " holds no password on its first line.";
    return {};
}

// The password lies open in a settings file that others can read, whether warnings are on or not.
std::string SettingsPasswordNotice(const std::function<std::string(const char*)>& lookup, const std::string& settingsPath) {
    if (lookup("SMTPPASSWORD").empty() || !lookup("SMTPPASSWORDFILE").empty() || settingsPath.empty() ||
        !platform::OthersCanRead(settingsPath))
        return {};
    return "VELTA.INI (" + settingsPath + ") holds SMTPPASSWORD and can be read by other users; put the "
           "password in a file that only its owner can read and name it in SMTPPASSWORDFILE.";
}

// Why no warning could be sent with these settings; empty when one can. Reads the text file.
std::string SendingProblem(WarnSettings& s) {
    if (!StartsWith(s.smtpUrl, "smtp://") && !StartsWith(s.smtpUrl, "smtps://")) {
        return "SMTP in section DORMIX of VELTA.INI must name the mail server as smtp://host:port or "
               "smtps://host:port.";
    }
    // A log-in in the address would be sent to a server that offers no STARTTLS in clear; the one
    // given as SMTPUSER is sent only over TLS. Any '@' is refused, since the mail library takes
    // whatever stands before one as a user and password.
    if (s.smtpUrl.find('@') != std::string::npos) {
        return "SMTP in section DORMIX of VELTA.INI takes no user or password: give them as SMTPUSER and "
               "SMTPPASSWORD.";
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
    if (std::string problem = ReadPasswordFile(s); !problem.empty()) return problem;
    if (s.warnTextPath.empty()) return {};
    const platform::ErrorCode error = platform::ReadFileLimited(s.warnTextPath, s.warnText, kMaxWarnTextBytes);
    if (error != 0) {
        return "The warning text " + s.warnTextPath + " (WARNTEXT in section DORMIX of VELTA.INI) cannot be read: " +
               platform::SystemErrorText(error) + ".";
    }
    return {};
}

}  // namespace

WarnSettingsReading ParseWarnSettings(const std::function<std::string(const char*)>& lookup,
                                      const std::string& settingsPath) {
    WarnSettingsReading reading;
    WarnSettings& s = reading.settings;
    const std::string days = lookup("WARNDAYS");
    const std::optional<int> warnDays = ParseSettingDays(days);
    if (!warnDays) {
        reading.problem = "WARNDAYS in section DORMIX of VELTA.INI takes a whole number of days up to " +
                          std::to_string(kMaxSettingDays) + ", not \"" + days + "\". Nothing was deleted.";
        return reading;
    }
    s.warnDays = *warnDays;
    reading.notice = SettingsPasswordNotice(lookup, settingsPath);
    if (!s.enabled()) return reading;
    const std::pair<const char*, std::string*> keys[] = {
        {"SMTP", &s.smtpUrl},          {"SMTPUSER", &s.smtpUser}, {"SMTPPASSWORD", &s.smtpPassword},
        {"MAILFROM", &s.mailFrom},     {"MAILDOMAIN", &s.mailDomain}, {"WARNTEXT", &s.warnTextPath},
        {"SMTPCAFILE", &s.smtpCaFile}, {"SMTPPASSWORDFILE", &s.smtpPasswordFile},
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
    return ParseWarnSettings([](const char* key) { return ReadVeltaSetting("DORMIX", key); },
                             platform::SettingsFilePath());
}

std::string MailServerProblemText(const std::string& url, const std::string& why) {
    return "The mail server " + url + " does not answer: " + why + ".";
}
