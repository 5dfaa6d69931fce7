#pragma once
// How warnings leave: one message at a time to one recipient, its result a value. The mail
// server behind it is reached at the edge (a connection kept for the whole run); the scan and
// the tests of the rules see only this.
#include <functional>
#include <memory>
#include <string>

struct SendResult {
    bool accepted = false;
    // The server's last answer ("250 ...", "550 ..."), or why no answer came (the server is
    // down, the connection broke); never empty.
    std::string answer;
    // No answer came (the server is down, cannot be reached or refused the log-in): the next
    // message would fare no better.
    bool serverFailed = false;
};

class MailSender {
public:
    virtual ~MailSender() = default;
    // message is the whole mail with CR LF line ends; from and to are bare addresses.
    virtual SendResult send(const std::string& from, const std::string& to, const std::string& message) = 0;
};

struct WarnSettings;

// Opens the way to the mail server that the settings name, once per run; the front ends hand
// the scan one, so that the GUI-free core needs no mail library.
using MailSenderFactory = std::function<std::unique_ptr<MailSender>(const WarnSettings&)>;
