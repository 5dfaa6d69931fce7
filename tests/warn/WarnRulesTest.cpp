// The rules of warning without a mail server: who is warned or deleted when, what the settings
// accept, what the message holds, and what "warned.log" gives back.
#include <map>

#include <gtest/gtest.h>

#include "dormix/scan/JudgeAccounts.h"
#include "dormix/warn/WarnDecision.h"
#include "dormix/warn/WarnSettings.h"
#include "dormix/warn/WarnedLog.h"
#include "dormix/warn/WarningMessage.h"
#include "tests/support/TempDir.h"

namespace {

constexpr std::int32_t kDays = 30;
constexpr std::int32_t kWarnDays = 7;

TEST(WarnDecision, WarnsOnceThenDeletesOnlyAfterTheWarningDays) {
    const std::time_t now = LocalDayOf(std::time(nullptr)) + 13 * 3600;  // today at about 13:00
    const std::time_t today = LocalDayOf(now);
    const auto daysAgo = [&](int n) { return AddDays(today, -n); };
    struct Case {
        int logonDaysAgo;
        std::optional<int> warnedDaysAgo;
        bool isProtected;
        WarnAction action;
        int goesInDays;  // from today
    };
    const Case cases[] = {
        {10, std::nullopt, false, WarnAction::Keep, 21},
        {23, std::nullopt, false, WarnAction::Keep, 8},   // exactly T - W days: not yet
        {24, std::nullopt, false, WarnAction::Warn, 7},
        {40, std::nullopt, false, WarnAction::Warn, 7},   // dormant but never warned: warned, kept
        {40, 3, false, WarnAction::Keep, 4},
        {40, 7, false, WarnAction::Delete, 0},
        {40, 45, false, WarnAction::Warn, 7},             // warned before the last logon: starts over
        {40, 40, false, WarnAction::Warn, 7},             // warned on the day of the last logon
        {25, 10, false, WarnAction::Keep, 6},             // warning old enough, but not dormant yet
        {40, std::nullopt, true, WarnAction::Keep, -9},   // protected: never warned
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logonDaysAgo);
        std::optional<std::time_t> warned;
        if (c.warnedDaysAgo) warned = daysAgo(*c.warnedDaysAgo) + 10 * 3600;
        const WarnDecision d = DecideWarning(daysAgo(c.logonDaysAgo), kDays, kWarnDays, warned, now, c.isProtected);
        EXPECT_EQ(d.action, c.action);
        if (c.action != WarnAction::Delete) {
            EXPECT_EQ(LocalDayOf(d.goesOn), AddDays(today, c.goesInDays));
        }
    }
    EXPECT_NE(WarnDaysRefusal(7, 7), nullptr);
    EXPECT_EQ(WarnDaysRefusal(8, 7), nullptr);
}

TEST(WarnSettings, OffWithoutWarnDaysAndRefusedWhenNoWarningCouldBeSent) {
    TempDir dir;
    WriteBytes(dir.file("warn.txt"), "Subject: Bye %USER%\r\n\r\nGone on %DATE%.\r\n");
    const std::string full(259, 'x');
    struct Case {
        std::map<std::string, std::string> values;
        std::int32_t warnDays;
        const char* problem;  // the start of the refusal; "" for none
    };
    const std::map<std::string, std::string> good = {
        {"WARNDAYS", "14"}, {"SMTP", "smtp://127.0.0.1:25"}, {"MAILFROM", "postmaster@example.org"},
        {"MAILDOMAIN", "example.org"}, {"WARNTEXT", dir.file("warn.txt")}};
    const auto with = [&](const std::string& key, const std::string& value) {
        auto values = good;
        values[key] = value;
        return values;
    };
    const Case cases[] = {
        {{}, 0, ""},
        {with("WARNDAYS", "0"), 0, ""},
        {good, 14, ""},
        {with("WARNDAYS", "2 weeks"), 0, "WARNDAYS in section DORMIX of VELTA.INI takes a whole number"},
        {with("WARNDAYS", "-3"), 0, "WARNDAYS in section DORMIX of VELTA.INI takes a whole number"},
        {with("SMTP", "http://127.0.0.1"), 14, "SMTP in section DORMIX of VELTA.INI must name"},
        {with("MAILFROM", "post master@example.org"), 14, "MAILFROM in section DORMIX"},
        {with("MAILDOMAIN", "example.org>"), 14, "MAILDOMAIN in section DORMIX"},
        {with("SMTPPASSWORD", full), 14, "SMTPPASSWORD in section DORMIX of VELTA.INI is too long"},
        {with("WARNTEXT", dir.file("missing.txt")), 14, "The warning text "},
        {with("SMTPCAFILE", dir.path().string()), 14, "The certificate file "},
    };
    for (const Case& c : cases) {
        const WarnSettingsReading r = ParseWarnSettings([&](const char* key) {
            const auto found = c.values.find(key);
            return found == c.values.end() ? std::string() : found->second;
        });
        EXPECT_EQ(r.settings.warnDays, c.warnDays);
        EXPECT_EQ(r.problem.rfind(c.problem, 0), 0u) << r.problem;
        if (*c.problem) {
            EXPECT_NE(r.problem.find("Nothing was deleted."), std::string::npos);
        } else if (c.warnDays) {
            EXPECT_EQ(r.settings.warnText, ReadBytes(dir.file("warn.txt")));
        }
    }
}

TEST(WarningMessage, AProperMessageThatNoNameCanAddAHeaderTo) {
    EXPECT_EQ(UserAddress("ann", "example.org"), "ann@example.org");
    EXPECT_EQ(UserAddress("bob@other.org", "example.org"), "bob@other.org");
    for (const char* bad : {"ann\r\nBcc: eve@evil.org", "a b", "<ann>", "ann,eve@evil.org", ""}) {
        EXPECT_EQ(UserAddress(bad, "example.org"), std::nullopt) << bad;
    }
    EXPECT_EQ(UserAddress("ann", ""), std::nullopt);

    const std::time_t day = LocalDayOf(std::time(nullptr));
    const WarningFacts facts{"J\xC3\xBCrgen\r\nBcc: eve@evil.org", "juergen@example.org", AddDays(day, -40),
                             AddDays(day, 7), 7};
    const WarningText builtIn = FillWarningText("", facts);
    const std::string message = ComposeWarning("postmaster@example.org", facts, builtIn, day, "dormix.1.2");
    const std::string headers = message.substr(0, message.find("\r\n\r\n") + 2);
    std::size_t start = 0;
    for (std::size_t end = headers.find("\r\n"); end != std::string::npos; end = headers.find("\r\n", start)) {
        const std::string line = headers.substr(start, end - start);
        start = end + 2;
        const std::string name = line.substr(0, line.find(':'));
        const bool known = line[0] == ' ' || name == "Date" || name == "From" || name == "To" || name == "Subject" ||
                           name == "Message-ID" || name == "MIME-Version" || name == "Content-Type" ||
                           name == "Content-Transfer-Encoding" || name == "Auto-Submitted";
        EXPECT_TRUE(known) << line;
        EXPECT_LE(line.size(), 76u) << line;
    }
    EXPECT_NE(headers.find("Subject: =?UTF-8?B?"), std::string::npos) << headers;
    EXPECT_NE(headers.find("Message-ID: <dormix.1.2@example.org>"), std::string::npos);
    EXPECT_NE(headers.find("Content-Type: text/plain; charset=UTF-8"), std::string::npos);
    EXPECT_NE(headers.find("Content-Transfer-Encoding: quoted-printable"), std::string::npos);
    EXPECT_NE(message.find("account J=C3=BCrgen\\x0D\\x0ABcc: eve@"), std::string::npos) << message;

    const WarningText own = FillWarningText("Subject: Bye %USER%\n\nGone on %DATE%, in %DAYS% days.\n", facts);
    EXPECT_EQ(own.body, "Gone on " + LogonDateText(AddDays(day, 7)) + ", in 7 days.\n");
    EXPECT_EQ(FillWarningText("Gone %USER%\n", facts).subject, builtIn.subject);
}

TEST(WarnedLog, GivesTheLatestWarningOfEachName) {
    TempDir dir;
    const std::string path = dir.file("warned.log");
    EXPECT_EQ(ReadWarnedLog(path).error, 0);
    const std::time_t t = 1'800'000'000;
    ASSERT_TRUE(RecordWarning(path, WarnedLine("ann", t + 86400, "ann@example.org", "250 OK")));
    ASSERT_TRUE(RecordWarning(path, WarnedLine("ann", t, "ann@example.org", "250 OK")));
    ASSERT_TRUE(RecordWarning(path, WarnedLine("a\tb\\", t, "x@y.org", "250\r\nforged")));
    WriteBytes(path, ReadBytes(path) + "2027-02-31 bob\tbob\t\t\r\n\r\nnonsense\r\n");
    const WarnedLog log = ReadWarnedLog(path);
    EXPECT_EQ(log.error, 0);
    EXPECT_EQ(log.lastWarnedOf("ann"), t + 86400);
    EXPECT_EQ(log.lastWarnedOf("a\tb\\"), t);
    EXPECT_EQ(log.lastWarnedOf("a\\x09b\\x5C"), std::nullopt);
    EXPECT_EQ(log.lastWarnedOf("bob"), std::nullopt);
    EXPECT_EQ(log.lastWarned.size(), 2u);
    EXPECT_EQ(ReadBytes(path).find("2027-01-16T08:00:00Z\tann\tann@example.org\t250 OK\r\n"), 0u);
    EXPECT_NE(ReadWarnedLog(dir.path().string()).error, 0);  // a folder in its place
}

}  // namespace
