#pragma once
// Warnings through libcurl's SMTP: one connection for the whole run, each message a transaction
// of its own on it. "smtps://" speaks TLS from the start; "smtp://" upgrades with STARTTLS when the
// server offers it, and insists on it before any password is sent.
#include <memory>
#include <string>

#include "dormix/warn/MailSender.h"
#include "dormix/warn/WarnSettings.h"

struct SmtpAccount {
    std::string url;  // "smtp://host:port" or "smtps://host:port"
    std::string user;  // empty: no authentication
    std::string password;
    std::string caFile = {};  // certificates to check the server's against; empty: the system's
};

class SmtpSender : public MailSender {
public:
    explicit SmtpSender(SmtpAccount account);
    ~SmtpSender() override;  // ends the session (QUIT) and closes the connection
    SmtpSender(const SmtpSender&) = delete;
    SmtpSender& operator=(const SmtpSender&) = delete;

    SendResult send(const std::string& from, const std::string& to, const std::string& message) override;

    // How many connections were opened so far: one for a run whose server stayed up.
    long connectionsOpened() const { return connections_; }

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
    SmtpAccount account_;
    long connections_ = 0;
};

// The sender for the mail server that the settings name: a MailSenderFactory for the front ends.
std::unique_ptr<MailSender> NewSmtpSender(const WarnSettings& settings);

// Whether the mail server that the settings name answers, as the dry run and the preview check
// it: connect, greet and log on as a run would, then leave; no mail is sent. Empty when it
// answered, else MailServerProblemText.
std::string MailServerProblem(const WarnSettings& settings);
