#include "dormix/warn/WarnedLog.h"

#include "dormix/scan/LineEscape.h"
#include "dormix/warn/UtcTime.h"
#include "platform/TextMode.h"

namespace {

// Years of warnings fit many times over; anything larger is not this log.
constexpr std::size_t kMaxWarnedLogBytes = std::size_t{512} << 20;

}  // namespace

std::string WarnedLine(const std::string& userName, std::time_t at, const std::string& address,
                       const std::string& answer) {
    return UtcStampText(at) + "\t" + EscapedForLine(userName) + "\t" + EscapedForLine(address) + "\t" +
           EscapedForLine(answer) + "\n";
}

bool RecordWarning(const std::string& warnedLogPath, const std::string& line, bool sync) {
    return sync ? platform::AppendTextSynced(warnedLogPath, line) : platform::AppendText(warnedLogPath, line);
}

namespace {

std::optional<std::time_t> Find(const std::unordered_map<std::string, std::time_t>& times, const std::string& userName) {
    const auto found = times.find(EscapedForLine(userName));
    if (found == times.end()) return std::nullopt;
    return found->second;
}

}  // namespace

std::optional<std::time_t> WarnedLog::lastWarnedOf(const std::string& userName) const {
    return Find(lastWarned, userName);
}

std::optional<std::time_t> WarnedLog::aheadOfClockOf(const std::string& userName) const {
    return Find(aheadOfClock, userName);
}

WarnedLog ReadWarnedLog(const std::string& warnedLogPath, std::time_t now) {
    WarnedLog log;
    std::string bytes;
    log.error = platform::ReadFileLimited(warnedLogPath, bytes, kMaxWarnedLogBytes);
    if (platform::IsMissingFileError(log.error)) log.error = 0;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();  // a last line cut short by a crash still counts
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t tab = line.find('\t');
        const std::size_t nameEnd = line.find('\t', tab == std::string::npos ? tab : tab + 1);
        if (nameEnd == std::string::npos) continue;
        const std::optional<std::time_t> at = ReadUtcStamp(line.substr(0, tab));
        if (!at) continue;
        // A warning dated later than now does not hide the real ones before it.
        std::time_t& last = (*at > now ? log.aheadOfClock : log.lastWarned)[line.substr(tab + 1, nameEnd - tab - 1)];
        if (*at > last) last = *at;
    }
    return log;
}

std::string WarnedLogUnreadableText(const std::string& warnedLogPath, platform::ErrorCode error) {
    return "The record of warnings " + warnedLogPath + " cannot be read: " + platform::SystemErrorText(error) +
           ". Nothing was deleted.";
}
