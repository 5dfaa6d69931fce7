// The account side of the demo installation: VELTA.INI naming root/velta, account folders in
// hexadecimal with "user.ini" files of various last-logon dates, the two key index files, a
// "Log" folder and the mail server's user database holding the same users.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <sqlite3.h>

#include "dormix/keyindex/KeyRecord.h"
#include "dormix/keyindex/UserKey.h"
#include "platform/CaseFold.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "platform/SafeWrite.h"
#include "platform/TextMode.h"
#include "tools/demo/Demo.h"

namespace {

constexpr int kNever = -1;     // "user.ini" with an empty LASTLOGON
constexpr int kNoIni = -2;     // no "user.ini" at all

struct DemoAccount {
    const char* name;
    int daysBack;       // last logon this many days before today, or kNever / kNoIni
    char separator;     // between year, month and day
    bool lowerHex;      // folder name digits in lower case
};

// With 30 days, alice, carol, frank, heidi and judy are dormant; grace is one day short.
const DemoAccount kAccounts[] = {
    {"alice", 400, '/', false}, {"bob", 5, '/', true},   {"carol", 45, '-', false}, {"dave", kNever, '/', false},
    {"erin", kNoIni, '/', false}, {"frank", 31, '/', false}, {"grace", 30, '-', true}, {"Heidi.Klein", 90, '/', true},
    {"ivan", 1, '/', false},     {"judy", 1900, '-', false},
};

void Report(const std::string& what) { std::fprintf(stderr, "make-demo: %s\n", what.c_str()); }

void WriteDemoFile(const std::string& path, const std::string& content) {
    if (platform::WriteFileAtomically(path, content) != 0) Report("cannot write " + path);
}

// The local calendar day daysBack days before now.
std::tm DayBefore(std::time_t now, int daysBack) {
    std::tm day{};
    platform::LocalTime(now, day);
    day.tm_mday -= daysBack;
    day.tm_hour = 12;
    day.tm_isdst = -1;
    std::mktime(&day);
    return day;
}

std::string Hex(const std::string& bytes, bool lower) {
    std::string out;
    for (char c : bytes) {
        char digits[3];
        std::snprintf(digits, sizeof digits, lower ? "%02x" : "%02X", static_cast<unsigned char>(c));
        out += digits;
    }
    return out;
}

std::string Lowered(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(), platform::FoldCase);
    return name;
}

// The USERTIME.KEY key of an account: a time stamp of its last logon, then its name.
std::string TimeKey(const DemoAccount& account, std::time_t now) {
    const std::tm day = DayBefore(now, std::max(account.daysBack, 0));
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d120000", &day);
    return stamp + Lowered(account.name);
}

std::string KeyRecord(const std::string& key, const std::string& value) {
    std::string record = key.substr(0, keyindex::kKeySize);
    record.resize(keyindex::kKeySize, '\0');
    std::string field = value.substr(0, keyindex::kValueSize);
    field.resize(keyindex::kValueSize, '\0');
    return record + field;
}

// Records sorted by their zero-padded keys, which is the product's byte order.
std::string KeyFile(std::vector<std::pair<std::string, std::string>> entries) {
    std::sort(entries.begin(), entries.end());
    std::string bytes;
    for (const auto& [key, value] : entries) bytes += KeyRecord(key, value);
    return bytes;
}

void MakeAccount(const std::string& userFolder, const DemoAccount& account, std::time_t now) {
    const std::string folder = userFolder + Hex(account.name, account.lowerHex) + platform::kSepText;
    std::filesystem::create_directories(folder + "mail" + platform::kSepText + "inbox");
    WriteDemoFile(folder + "mail" + platform::kSepText + "inbox" + platform::kSepText + "0001.msg",
                  platform::ToCrLf(std::string("From: postmaster@example.org\nTo: ") + account.name +
                                   "@example.org\nSubject: Welcome\n\nWelcome to Velta web-mail.\n"));
    WriteDemoFile(folder + "addressbook.txt", platform::ToCrLf("postmaster@example.org\n"));
    if (account.daysBack == kNoIni) return;
    std::string logon;
    if (account.daysBack != kNever) {
        const std::tm day = DayBefore(now, account.daysBack);
        char text[32];
        std::snprintf(text, sizeof text, "%d%c%d%c%d", day.tm_year + 1900, account.separator, day.tm_mon + 1,
                      account.separator, day.tm_mday);
        logon = text;
    }
    const std::string ini = folder + "user.ini";
    if (!platform::WriteProfileString(ini, "PROGRAM", "LASTLOGON", logon) ||
        !platform::WriteProfileString(ini, "PROGRAM", "LANGUAGE", "en")) {
        Report("cannot write " + ini);
    }
}

void MakeKeyFiles(const std::string& userFolder, std::time_t now) {
    std::vector<std::pair<std::string, std::string>> users;
    std::vector<std::pair<std::string, std::string>> times;
    for (const DemoAccount& account : kAccounts) {
        const std::string timeKey = TimeKey(account, now);
        users.emplace_back(keyindex::MakeUserKey(account.name), timeKey);
        times.emplace_back(timeKey, account.name);
    }
    WriteDemoFile(userFolder + "USER.KEY", KeyFile(users));
    WriteDemoFile(userFolder + "USERTIME.KEY", KeyFile(times));
}

bool Exec(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

void AddTervoxUser(sqlite3* db, int domain, const std::string& name, const std::string& filePath) {
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO users (domain_id, name, file_path) VALUES (?1, ?2, ?3)", -1, &insert, nullptr);
    sqlite3_bind_int(insert, 1, domain);
    sqlite3_bind_text(insert, 2, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 3, filePath.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(insert) != SQLITE_DONE) Report("cannot add mail-server user " + name);
    sqlite3_finalize(insert);
}

// The mail server's users: every web-mail account, each with its mailbox file, plus a user that
// has no web-mail account and a namesake in another domain, which the scan must leave alone.
void MakeTervoxUsers(const std::string& tervox) {
    const std::string files = tervox + "files" + platform::kSepText;
    std::filesystem::create_directories(files);
    const std::string dbPath = tervox + "users.db";
    std::filesystem::remove(dbPath);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK ||
        !Exec(db, "CREATE TABLE users (domain_id INTEGER NOT NULL, name TEXT NOT NULL COLLATE NOCASE, "
                  "file_path TEXT NOT NULL DEFAULT '', PRIMARY KEY (domain_id, name));") ||
        !Exec(db, "BEGIN")) {
        Report("cannot make " + dbPath);
        sqlite3_close(db);
        return;
    }
    auto addWithFile = [&](int domain, const std::string& name, const std::string& fileName) {
        WriteDemoFile(files + fileName, platform::ToCrLf("mailbox of " + name + "\n"));
        AddTervoxUser(db, domain, name, files + fileName);
    };
    for (const DemoAccount& account : kAccounts) addWithFile(0, account.name, Lowered(account.name) + ".mbx");
    addWithFile(0, "postmaster", "postmaster.mbx");
    addWithFile(1, "alice", "alice-sales.mbx");
    Exec(db, "COMMIT");
    sqlite3_close(db);
}

}  // namespace

void MakeDormixDemo(const std::string& root) {
    const std::string sep = platform::kSepText;
    const std::string install = root + sep + "velta";
    const std::string ini = root + sep + "windows" + sep + "VELTA.INI";
    if (!platform::WriteProfileString(ini, "PROGRAM", "PATH", install)) Report("cannot write " + ini);
    // Deleted accounts stay restorable for 30 days, in install/Quarantine.
    if (!platform::WriteProfileString(ini, "DORMIX", "GRACEDAYS", "30")) Report("cannot write " + ini);

    const std::string userFolder = install + sep + "user" + sep;
    std::filesystem::create_directories(userFolder);
    std::filesystem::create_directories(install + sep + "Log");
    const std::time_t now = std::time(nullptr);
    for (const DemoAccount& account : kAccounts) MakeAccount(userFolder, account, now);
    MakeKeyFiles(userFolder, now);
    MakeTervoxUsers(root + sep + "tervox" + sep);
}

bool MakeDormixMailDemo(const std::string& root, const std::string& port) {
    const std::string sep = platform::kSepText;
    const std::string windows = root + sep + "mail" + sep + "windows";
    const std::string ini = windows + sep + "VELTA.INI";
    std::error_code error;
    std::filesystem::create_directories(windows, error);
    std::filesystem::copy_file(root + sep + "windows" + sep + "VELTA.INI", ini,
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
        Report("cannot copy the settings to " + ini + ": " + error.message());
        return false;
    }
    const std::pair<const char*, std::string> settings[] = {{"WARNDAYS", "7"},
                                                            {"SMTP", "smtp://127.0.0.1:" + port},
                                                            {"MAILFROM", "postmaster@demo.example"},
                                                            {"MAILDOMAIN", "demo.example"}};
    for (const auto& [key, value] : settings) {
        if (!platform::WriteProfileString(ini, "DORMIX", key, value)) {
            Report("cannot write " + ini);
            return false;
        }
    }
    return true;
}
