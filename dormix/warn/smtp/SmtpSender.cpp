#include "dormix/warn/smtp/SmtpSender.h"

#include <cstring>
#include <mutex>

#include <curl/curl.h>

namespace {

// A server that has not answered within this long is taken for down.
constexpr long kConnectSeconds = 30;
constexpr long kMessageSeconds = 120;

struct Upload {
    const std::string* message;
    std::size_t sent = 0;
};

std::size_t ReadMessage(char* buffer, std::size_t size, std::size_t count, void* data) {
    auto* upload = static_cast<Upload*>(data);
    const std::size_t take = std::min(size * count, upload->message->size() - upload->sent);
    std::memcpy(buffer, upload->message->data() + upload->sent, take);
    upload->sent += take;
    return take;
}

struct ServerLines {
    std::string last;
    std::string refusal;  // the first answer of the 4xx or 5xx kind: what a failed transaction ended on
};

// libcurl hands the server's lines to the debug function. After a refusal it may still end the
// session ("221 Bye"), so the refusal is kept apart from the last line.
int KeepServerLine(CURL*, curl_infotype type, char* data, std::size_t size, void* lines) {
    if (type != CURLINFO_HEADER_IN) return 0;
    auto* kept = static_cast<ServerLines*>(lines);
    std::string line(data, size);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.empty()) return 0;
    if (kept->refusal.empty() && (line[0] == '4' || line[0] == '5')) kept->refusal = line;
    kept->last = line;
    return 0;
}

// What every session needs: the server, the time it may take, TLS and the log-in, and the
// debug function that keeps the server's lines in lines.
void SetSessionOptions(CURL* curl, const SmtpAccount& account, ServerLines& lines) {
    curl_easy_setopt(curl, CURLOPT_URL, account.url.c_str());
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, kMessageSeconds);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    if (!account.user.empty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, account.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, account.password.c_str());
        curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    } else {
        curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    }
    if (!account.caFile.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, account.caFile.c_str());
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);  // lets the debug function see the server's lines
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, KeepServerLine);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &lines);
}

CURL* NewCurl() {
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    return curl_easy_init();
}

SmtpAccount AccountOf(const WarnSettings& settings) {
    return {settings.smtpUrl, settings.smtpUser, settings.smtpPassword, settings.smtpCaFile};
}

}  // namespace

struct SmtpSender::Handle {
    CURL* curl = nullptr;
    ServerLines lines;
};

SmtpSender::SmtpSender(SmtpAccount account) : handle_(std::make_unique<Handle>()), account_(std::move(account)) {
    handle_->curl = NewCurl();
}

SmtpSender::~SmtpSender() {
    if (handle_->curl) curl_easy_cleanup(handle_->curl);
}

SendResult SmtpSender::send(const std::string& from, const std::string& to, const std::string& message) {
    CURL* curl = handle_->curl;
    if (!curl) return {false, "the mail library could not be started", true};
    // Options are set for every message: a transaction leaves them as they were, and the
    // connection that the handle keeps is found again by the same URL.
    SetSessionOptions(curl, account_, handle_->lines);
    const std::string envelopeFrom = "<" + from + ">";
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, envelopeFrom.c_str());
    curl_slist* recipients = curl_slist_append(nullptr, ("<" + to + ">").c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    Upload upload{&message};
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, ReadMessage);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    handle_->lines = {};

    const CURLcode result = curl_easy_perform(curl);
    curl_slist_free_all(recipients);
    long opened = 0;
    if (curl_easy_getinfo(curl, CURLINFO_NUM_CONNECTS, &opened) == CURLE_OK) connections_ += opened;
    const ServerLines& lines = handle_->lines;
    if (result == CURLE_OK) return {true, lines.last.empty() ? "250" : lines.last};
    // A refusal carries the server's own words; without any, say what kept the message from it.
    if (!lines.refusal.empty()) return {false, lines.refusal, result == CURLE_LOGIN_DENIED};
    return {false, curl_easy_strerror(result), true};
}

std::unique_ptr<MailSender> NewSmtpSender(const WarnSettings& settings) {
    return std::make_unique<SmtpSender>(AccountOf(settings));
}

// libcurl's connect-only session ends after the greeting, the hello, TLS and the log-in: the
// steps before the first message.
std::string MailServerProblem(const WarnSettings& settings) {
    CURL* curl = NewCurl();
    if (!curl) return MailServerProblemText(settings.smtpUrl, "the mail library could not be started");
    ServerLines lines;
    SetSessionOptions(curl, AccountOf(settings), lines);
    curl_easy_setopt(curl, CURLOPT_CONNECT_ONLY, 1L);
    const CURLcode result = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    if (result == CURLE_OK) return {};
    return MailServerProblemText(settings.smtpUrl, lines.refusal.empty() ? curl_easy_strerror(result) : lines.refusal);
}
