// A build without the mail library: no sender, so every warning is reported as not sent
// ("this program cannot send mail") and its account is kept.
#include "dormix/warn/smtp/SmtpSender.h"

std::unique_ptr<MailSender> NewSmtpSender(const WarnSettings&) {
    return nullptr;
}

std::string MailServerProblem(const WarnSettings& settings) {
    return MailServerProblemText(settings.smtpUrl, "this program cannot send mail");
}
