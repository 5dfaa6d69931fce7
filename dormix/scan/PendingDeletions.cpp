#include "dormix/scan/PendingDeletions.h"

#include <charconv>
#include <cstring>
#include <sstream>

#include "dormix/scan/DormixPaths.h"
#include "dormix/scan/HexDecode.h"
#include "dormix/scan/Threshold.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "platform/SafeWrite.h"

namespace {

// The first format had no line with the threshold.
const char* const kHeaderWithoutDays = "dormix pending deletions 1";
const char* const kHeader = "dormix pending deletions 2";
const char* const kDays = "days ";
const char* const kEnd = "end";
// Far more than any batch: a larger file is not one that a scan wrote.
constexpr std::size_t kMaxBytes = std::size_t{64} << 20;

// The folder's own name, after the user folder's part of the path.
std::string UserFolderOf(const std::string& userFolderPattern) {
    const std::size_t cut = userFolderPattern.rfind(platform::kSep);
    return cut == std::string::npos ? std::string() : userFolderPattern.substr(0, cut + 1);
}

bool IsAccountFolderName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find(platform::kSep) == std::string::npos &&
           name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

// A whole decimal number and nothing else.
template <typename Number>
bool ReadNumber(const std::string& text, Number& number) {
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    return error == std::errc() && stop == end && !text.empty();
}

std::string AccountLine(const PendingAccount& account) {
    const std::string name = account.folder.substr(account.folder.rfind(platform::kSep) + 1);
    std::string line = HexText(name.data(), name.size());
    line += ' ' + (account.lastLogon ? std::to_string(static_cast<long long>(*account.lastLogon)) : std::string("-"));
    line += ' ' + (account.userKeyValue ? HexText(account.userKeyValue->data(), keyindex::kValueSize) : std::string("-"));
    return line + (account.keysRemoved ? " 1\n" : " 0\n");
}

bool ReadAccountLine(const std::string& line, const std::string& userFolder, PendingAccount& account) {
    std::istringstream fields(line);
    std::string name, logon, value, keys, rest;
    if (!(fields >> name >> logon >> value >> keys) || (fields >> rest) || (keys != "0" && keys != "1")) return false;
    account.keysRemoved = keys == "1";
    std::string bytes;
    if (!UnhexText(name, bytes) || !IsAccountFolderName(bytes)) return false;
    account.folder = userFolder + bytes;
    if (logon != "-") {
        long long seconds = 0;
        if (!ReadNumber(logon, seconds)) return false;
        account.lastLogon = static_cast<std::time_t>(seconds);
    }
    if (value != "-") {
        if (!UnhexText(value, bytes) || bytes.size() != keyindex::kValueSize) return false;
        keyindex::KeyValue key{};
        std::memcpy(key.data(), bytes.data(), keyindex::kValueSize);
        account.userKeyValue = key;
    }
    return true;
}

}  // namespace

std::string PendingDeletionsPath(const std::string& installPath) {
    return LogFolderFile(installPath, "pending.del");
}

bool WritePendingDeletions(const std::string& path, const PendingBatch& batch) {
    std::string text = std::string(batch.days ? kHeader : kHeaderWithoutDays) + '\n';
    text += batch.stage == PendingStage::KeyRecords ? "keys\n" : "users\n";
    text += batch.withTervoxUsers ? "tervox\n" : "web-mail\n";
    if (batch.days) text += kDays + std::to_string(*batch.days) + '\n';
    for (const PendingAccount& account : batch.accounts) text += AccountLine(account);
    text += std::string(kEnd) + '\n';
    return platform::WriteFileAtomically(path, text, platform::TargetLink::Refuse) == 0;
}

PendingRead ReadPendingDeletions(const std::string& path, const std::string& userFolderPattern, PendingBatch& batch) {
    if (!platform::PathExists(path)) return PendingRead::None;
    std::string text;
    if (platform::ReadFileLimited(path, text, kMaxBytes) != 0) return PendingRead::Unreadable;
    const std::string userFolder = UserFolderOf(userFolderPattern);
    std::istringstream in(text);
    std::string header, stage, users, line;
    if (!std::getline(in, header) || (header != kHeader && header != kHeaderWithoutDays) || !std::getline(in, stage) ||
        !std::getline(in, users))
        return PendingRead::Unreadable;
    if ((stage != "keys" && stage != "users") || (users != "tervox" && users != "web-mail") || userFolder.empty())
        return PendingRead::Unreadable;
    batch = PendingBatch{};
    batch.stage = stage == "keys" ? PendingStage::KeyRecords : PendingStage::MailServer;
    batch.withTervoxUsers = users == "tervox";
    if (header == kHeader) {
        std::int32_t days = 0;
        if (!std::getline(in, line) || !line.starts_with(kDays) || !ReadNumber(line.substr(std::strlen(kDays)), days) ||
            ThresholdRefusal(days) != nullptr)
            return PendingRead::Unreadable;
        batch.days = days;
    }
    while (std::getline(in, line)) {
        if (line == kEnd) return in.peek() == EOF ? PendingRead::Found : PendingRead::Unreadable;
        PendingAccount account;
        if (!ReadAccountLine(line, userFolder, account)) return PendingRead::Unreadable;
        batch.accounts.push_back(std::move(account));
    }
    return PendingRead::Unreadable;
}

std::string PendingUnreadableText(const std::string& path) {
    return "The unfinished deletions in " + path + " cannot be read. Nothing was deleted.";
}
