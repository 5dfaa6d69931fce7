// Warnings through libcurl to a real mail server on this machine.
#include <cstdlib>

#include <gtest/gtest.h>

#include "dormix/scan/JudgeAccounts.h"
#include "dormix/scan/LineEscape.h"
#include "dormix/warn/SendWarnings.h"
#include "dormix/warn/WarnDecision.h"
#include "dormix/warn/WarnPlan.h"
#include "dormix/warn/WarnedLog.h"
#include "dormix/warn/smtp/SmtpSender.h"
#include "tests/support/LocalSmtpServer.h"
#include "tests/support/TempDir.h"

namespace {

class SmtpWarnings : public ::testing::Test {
protected:
    WarnSettings settingsFor(const std::string& url, const std::string& password = "",
                             const std::string& caFile = "") const {
        WarnSettings s;
        s.warnDays = 7;
        s.smtpUrl = url;
        s.smtpUser = password.empty() ? "" : "dormix";
        s.smtpPassword = password;
        s.smtpCaFile = caFile;
        s.mailFrom = "postmaster@example.org";
        s.mailDomain = "example.org";
        return s;
    }
    std::vector<WarningToSend> warnings(const std::vector<std::string>& names) const {
        std::vector<WarningToSend> list;
        for (const std::string& name : names) list.push_back({name, AddDays(today, -40), AddDays(today, 7)});
        return list;
    }

    TempDir dir;
    std::string log = dir.file("warned.log");
    std::time_t now = std::time(nullptr);
    std::time_t today = LocalDayOf(now);
};

TEST_F(SmtpWarnings, SendsOverOneConnectionRecordsWhatWasTakenAndGoesOnPastRefusals) {
    LocalSmtpServer server(dir.path().string(), {"carl@example.org"});
    ASSERT_NE(server.port(), 0);
    SmtpSender sender({server.url(), "", ""});
    const WarningRun run = SendWarnings(warnings({"ann", "bob@other.org", "bad name", "carl", "dora"}),
                                        settingsFor(server.url()), sender, log, now);
    ASSERT_EQ(run.outcomes.size(), 5u);
    const bool warned[] = {true, true, false, false, true};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(run.outcomes[i].warned, warned[i]) << run.outcomes[i].answer;
    EXPECT_EQ(run.outcomes[2].answer, "no mail address can be made of this name");
    EXPECT_EQ(run.outcomes[3].answer, "550 5.1.1 No such user here");
    EXPECT_EQ(WarningFailureText(run.outcomes[3]), "carl (carl@example.org): 550 5.1.1 No such user here");
    EXPECT_EQ(WarnedText(run), "3 account(s) were warned by mail.");
    EXPECT_EQ(WarningFailuresText(run, 1), "2 warning(s) could not be sent through " + server.url() +
                                               "; those accounts were kept:\n"
                                           "bad name (): no mail address can be made of this name\n... and 1 more");

    const std::vector<std::string> messages = server.messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_NE(messages[0].find("\r\nTo: ann@example.org\r\n"), std::string::npos) << messages[0];
    EXPECT_NE(messages[1].find("\r\nTo: bob@other.org\r\n"), std::string::npos);
    EXPECT_NE(messages[2].find("will be deleted on " + LogonDateText(AddDays(today, 7)) + ", in 7 days."),
              std::string::npos) << messages[2];
    const WarnedLog record = ReadWarnedLog(log);
    EXPECT_EQ(record.lastWarnedOf("carl"), std::nullopt);
    EXPECT_EQ(record.lastWarnedOf("dora"), now);
    EXPECT_NE(ReadBytes(log).find("\tbob@other.org\tbob@other.org\t250 2.0.0 Message accepted for delivery\r\n"),
              std::string::npos);

    // Messages share the connection; only a refusal, after which libcurl ends the session, costs
    // a new one.
    WarnSettings ownText = settingsFor(server.url());
    ownText.warnText = "Subject: Bye %USER%\n\nA line of its own:\n.\nstill the message.\n";
    SendWarnings(warnings({"eve", "fay", "gus"}), ownText, sender, log, now);
    ASSERT_EQ(server.messages().size(), 6u);
    EXPECT_NE(server.messages()[5].find("Subject: Bye gus\r\n"), std::string::npos);
    EXPECT_NE(server.messages()[5].find("own:\r\n.\r\nstill the message.\r\n"), std::string::npos);
    EXPECT_EQ(sender.connectionsOpened(), 2);
    EXPECT_EQ(server.connections(), 2);
}

TEST_F(SmtpWarnings, AServerThatIsDownIsTriedOnceAndALogThatCannotTakeALineStopsTheSending) {
    const std::string url = "smtp://127.0.0.1:1";  // nothing listens there
    SmtpSender sender({url, "", ""});
    const WarningRun down = SendWarnings(warnings({"ann", "bob"}), settingsFor(url), sender, log, now);
    ASSERT_EQ(down.outcomes.size(), 2u);
    EXPECT_EQ(WarningFailureText(down.outcomes[1]), "bob (bob@example.org): not sent: Couldn't connect to server");
    EXPECT_FALSE(Exists(log));
    EXPECT_EQ(MailServerProblem(settingsFor(url)), "The mail server " + url + " does not answer: Couldn't connect to server.");

    LocalSmtpServer up(dir.path().string());
    EXPECT_EQ(MailServerProblem(settingsFor(up.url())), "");  // greeted, and no mail
    EXPECT_TRUE(up.messages().empty());
    SmtpSender upSender({up.url(), "", ""});
    const std::string noLog = dir.file("no-such-folder/warned.log");
    const WarningRun unrecorded = SendWarnings(warnings({"ann", "bob"}), settingsFor(up.url()), upSender, noLog, now);
    ASSERT_EQ(unrecorded.outcomes.size(), 1u);
    EXPECT_EQ(WarningFailuresText(unrecorded, 5), "1 warning(s) could not be sent through " + up.url() +
                                                      "; those accounts were kept:\n"
                                                  "ann (ann@example.org): sent, but " + EscapedForLine(noLog) +
                                                  " could not take its line\nUnable to create file " + noLog);
}

// A stop asked for while the warnings go ends the sending after the message in hand; the rest
// are reported as not sent.
TEST_F(SmtpWarnings, AStopEndsTheSendingAfterTheMessageInHand) {
    LocalSmtpServer server(dir.path().string());
    SmtpSender sender({server.url(), "", ""});
    int asked = 0;
    const WarningRun run = SendWarnings(warnings({"ann", "bob", "carl"}), settingsFor(server.url()), sender, log, now,
                                        [&asked] { return ++asked > 1; });
    EXPECT_TRUE(run.stopped);
    ASSERT_EQ(run.outcomes.size(), 3u);
    EXPECT_TRUE(run.outcomes[0].warned);
    EXPECT_EQ(WarningFailuresText(run, 5), "2 warning(s) could not be sent through " + server.url() +
                                               "; those accounts were kept:\n"
                                           "bob (bob@example.org): not sent: the run was stopped\n"
                                           "carl (carl@example.org): not sent: the run was stopped");
    EXPECT_EQ(server.messages().size(), 1u);
    EXPECT_EQ(ReadWarnedLog(log).lastWarned.size(), 1u);
}

// STARTTLS and a log-in, against a server with a certificate of its own made here for the name
// "localhost" and the address 127.0.0.1: trusted through the settings' certificate file, refused
// without it or with a file that is not there; a wrong password is the server's. With a
// certificate file, libcurl's Schannel matches the server's name against the certificate's names
// only, never its addresses: a server given by its address is refused on Windows.
TEST_F(SmtpWarnings, LogsOnOverStartTlsTrustingTheSettingsCertificateFile) {
    const std::string cert = dir.file("cert.pem"), key = dir.file("key.pem");
    ASSERT_EQ(RunOnHost("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost -addext "
                        "subjectAltName=DNS:localhost,IP:127.0.0.1 -keyout " + HostPath(key) + " -out " +
                        HostPath(cert) + " 2>/dev/null"), 0);
    LocalSmtpServer server(dir.path().string(), {}, LocalSmtpServer::Keep::Messages,
                           {"--tls", HostPath(cert), HostPath(key), "--auth", "dormix", "secret"});
    ASSERT_NE(server.port(), 0);
    const std::string byName = "smtp://localhost:" + std::to_string(server.port()), byAddress = server.url();
#ifdef _WIN32
    // The server and its certificate come from the Linux host: on Windows this runs under Wine only.
    constexpr bool wine = true;
    const char* const addressAnswer = "SSL peer certificate or SSH remote key was not OK";
#else
    constexpr bool wine = false;
    const char* const addressAnswer = "250 2.0.0 Message accepted for delivery";
#endif
    struct Case {
        std::string url;
        const char* password;
        std::string caFile;
        const char* answer;
    };
    const Case cases[] = {
        {byName, "secret", cert, "250 2.0.0 Message accepted for delivery"},
        {byName, "wrong", cert, "535 5.7.8 Authentication credentials invalid"},
        {byAddress, "secret", cert, addressAnswer},
        {byName, "secret", dir.file("missing.pem"), "Problem with the SSL CA cert (path? access rights?)"},
        {byName, "secret", "", "SSL peer certificate or SSH remote key was not OK"},
    };
    std::size_t accepted = 0;
    for (const Case& c : cases) {
        // Wine's Schannel takes a certificate that no trusted authority signed when no file is given.
        if (wine && c.caFile.empty()) continue;  // shown on Linux, and on Windows by Windows' own checks
        const SendResult sent = NewSmtpSender(settingsFor(c.url, c.password, c.caFile))
                                    ->send("postmaster@example.org", "ann@example.org", "Subject: Hi\r\n");
        EXPECT_EQ(sent.answer, c.answer) << c.url << " " << c.caFile;
        EXPECT_EQ(sent.serverFailed, !sent.accepted);  // nothing after a failed log-in would fare better
        accepted += sent.accepted;
    }
    EXPECT_EQ(server.messages().size(), accepted);
    if constexpr (wine) GTEST_SKIP() << "Wine's Schannel takes a certificate that no trusted authority signed; the rest was shown";
}

}  // namespace
