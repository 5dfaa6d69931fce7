#include "dormix/warn/WarningMessage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "dormix/scan/JudgeAccounts.h"
#include "dormix/scan/LineEscape.h"
#include "dormix/warn/UtcTime.h"
#include "platform/CaseFold.h"

namespace {

const char* const kBuiltInSubject = "Your mail account %USER% will be deleted on %DATE%";
const char* const kBuiltInBody =
    "Hello,\n"
    "\n"
    "nobody has logged on to the mail account %USER% since %LASTLOGON%. Accounts that stay unused are "
    "deleted: this account and all the mail in it will be deleted on %DATE%, in %DAYS% days.\n"
    "\n"
    "To keep the account, log on to it before that day.\n";

// The longest header line that RFC 5322 advises; RFC 2047 holds a line with encoded words to 76.
constexpr std::size_t kHeaderLine = 78;
constexpr std::size_t kWordBytes = 39;  // 52 base64 characters, 64 with "=?UTF-8?B?" and "?="
constexpr std::size_t kBodyLine = 998;
constexpr std::size_t kQuotedLine = 76;

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// Bytes that are no UTF-8 become U+FFFD, so that the declared charset holds for every byte.
std::string ValidUtf8(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        bool whole = length > 0 && i + length <= text.size() && !(lead == 0xC0 || lead == 0xC1 || lead > 0xF4);
        for (std::size_t k = 1; whole && k < length; ++k) whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (whole) {
            out.append(text, i, length);
            i += length;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

std::string Base64(const std::string& bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 2]);
        out += kDigits[(group >> 18) & 63];
        out += kDigits[(group >> 12) & 63];
        out += i + 1 < bytes.size() ? kDigits[(group >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kDigits[group & 63] : '=';
    }
    return out;
}

bool IsPlainAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

// A header's text: as it is when it is short printable ASCII that cannot be taken for an encoded
// word, else RFC 2047 encoded words, each whole UTF-8 characters, folded onto lines of their own.
std::string HeaderText(const std::string& name, const std::string& text) {
    if (IsPlainAscii(text) && text.find("=?") == std::string::npos && name.size() + 2 + text.size() <= kHeaderLine) {
        return text;
    }
    const std::string utf8 = ValidUtf8(text);
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t take = std::min(kWordBytes, utf8.size() - i);
        while (i + take < utf8.size() && (static_cast<unsigned char>(utf8[i + take]) & 0xC0) == 0x80) --take;
        if (!out.empty()) out += "\r\n ";
        out += "=?UTF-8?B?" + Base64(utf8.substr(i, take)) + "?=";
        i += take;
    }
    return out;
}

// The body's lines end in CR LF; text that is not short 7-bit lines goes quoted-printable.
std::string QuotedPrintableLine(const std::string& line) {
    std::string out;
    std::size_t width = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        const bool last = i + 1 == line.size();
        char piece[4];
        if ((byte >= 33 && byte <= 126 && byte != '=') || ((byte == ' ' || byte == '\t') && !last)) {
            piece[0] = static_cast<char>(byte);
            piece[1] = '\0';
        } else {
            std::snprintf(piece, sizeof piece, "=%02X", byte);
        }
        const std::size_t size = std::strlen(piece);
        if (width + size > kQuotedLine - 1) {
            out += "=\r\n";
            width = 0;
        }
        out += piece;
        width += size;
    }
    return out;
}

struct Body {
    std::string encoding;
    std::string text;
};

Body EncodeBody(const std::string& body) {
    std::string text = ValidUtf8(body);
    ReplaceAll(text, "\r\n", "\n");
    std::replace(text.begin(), text.end(), '\r', '\n');
    if (!text.empty() && text.back() != '\n') text += '\n';
    bool plain = true;
    std::size_t start = 0;
    std::string lines;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        const std::string line = text.substr(start, end - start);
        plain = plain && line.size() <= kBodyLine &&
                std::all_of(line.begin(), line.end(), [](char c) { return c == '\t' || (c >= 0x20 && c < 0x7F); });
        start = end + 1;
    }
    if (plain) {
        ReplaceAll(text, "\n", "\r\n");
        return {"7bit", text};
    }
    start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines += QuotedPrintableLine(text.substr(start, end - start)) + "\r\n";
        start = end + 1;
    }
    return {"quoted-printable", lines};
}

std::string Fill(std::string text, const WarningFacts& facts) {
    // A name from disk may hold line breaks or tabs: it is written as the logs write it.
    ReplaceAll(text, "%USER%", EscapedForLine(facts.userName));
    ReplaceAll(text, "%LASTLOGON%", LogonDateText(facts.lastLogon));
    ReplaceAll(text, "%DATE%", LogonDateText(facts.goesOn));
    ReplaceAll(text, "%DAYS%", std::to_string(facts.daysLeft));
    return text;
}

}  // namespace

bool IsMailAddress(const std::string& text) {
    const std::size_t at = text.find('@');
    if (at == 0 || at == std::string::npos || at + 1 == text.size() || text.find('@', at + 1) != std::string::npos) {
        return false;
    }
    return std::all_of(text.begin(), text.end(), [](char c) {
        return c > 0x20 && c < 0x7F && std::strchr("<>()[]\\,;:\"", c) == nullptr;
    });
}

std::optional<std::string> UserAddress(const std::string& userName, const std::string& mailDomain) {
    const std::string address = userName.find('@') != std::string::npos ? userName : userName + "@" + mailDomain;
    if (!IsMailAddress(address)) return std::nullopt;
    return address;
}

WarningText FillWarningText(const std::string& warnText, const WarningFacts& facts) {
    if (warnText.empty()) return {Fill(kBuiltInSubject, facts), Fill(kBuiltInBody, facts)};
    const std::size_t lineEnd = std::min(warnText.find_first_of("\r\n"), warnText.size());
    const std::string first = warnText.substr(0, lineEnd);
    if (first.size() < 8 || !platform::EqualsIgnoringCase(first.substr(0, 8), "Subject:")) {
        return {Fill(kBuiltInSubject, facts), Fill(warnText, facts)};
    }
    std::size_t bodyStart = lineEnd;
    for (int breaks = 0; breaks < 2 && bodyStart < warnText.size(); ++breaks) {
        // the subject line's own end, then one empty line after it
        if (warnText.compare(bodyStart, 2, "\r\n") == 0) bodyStart += 2;
        else if (warnText[bodyStart] == '\n' || warnText[bodyStart] == '\r') ++bodyStart;
        else break;
    }
    std::string subject = first.substr(8);
    subject.erase(0, subject.find_first_not_of(" \t"));
    return {Fill(subject, facts), Fill(warnText.substr(bodyStart), facts)};
}

std::string ComposeWarning(const std::string& mailFrom, const WarningFacts& facts, const WarningText& text,
                           std::time_t now, const std::string& messageId) {
    const Body body = EncodeBody(text.body);
    const std::string domain = mailFrom.substr(mailFrom.find('@') + 1);
    return "Date: " + MailDateText(now) + "\r\n" +
           "From: " + mailFrom + "\r\n" +
           "To: " + facts.address + "\r\n" +
           "Subject: " + HeaderText("Subject", text.subject) + "\r\n" +
           "Message-ID: <" + messageId + "@" + domain + ">\r\n" +
           "MIME-Version: 1.0\r\n"
           "Content-Type: text/plain; charset=UTF-8\r\n"
           "Content-Transfer-Encoding: " + body.encoding + "\r\n"
           "Auto-Submitted: auto-generated\r\n"
           "\r\n" + body.text;
}
