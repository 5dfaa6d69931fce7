#include "dormix/quarantine/QuarantineEntry.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "dormix/scan/HexDecode.h"
#include "dormix/scan/JudgeAccounts.h"
#include "platform/Clock.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "platform/SafeWrite.h"
#include "platform/SystemIo.h"

namespace {

using platform::kSepText;

// Version 1 ends at "timekey"; version 2 adds the grace period, the mail-server user's row and
// the last failure of a purge. Both are read.
const char* const kHeaderBefore = "dormix quarantine 1";
const char* const kHeader = "dormix quarantine 2";
// Far more than any entry holds: a larger file is not one that Dormix wrote.
constexpr std::size_t kMaxBytes = 8192;
// A failure's text is cut to this many bytes in the file.
constexpr std::size_t kMaxFailure = 1000;

const char* SuffixOf(EntryStage stage) {
    switch (stage) {
    case EntryStage::Moving:
        return ".moving";
    case EntryStage::Kept:
        return ".keys";
    case EntryStage::Restoring:
        return ".restore";
    case EntryStage::Purging:
        return ".purge";
    }
    return ".keys";
}

std::string HexOf(const std::string& text) { return HexText(text.data(), text.size()); }

std::string RecordField(const std::optional<keyindex::KeyRecordBytes>& record) {
    return record ? HexText(record->data(), record->size()) : std::string("-");
}

bool ReadTime(const std::string& text, std::optional<std::time_t>& out) {
    if (text == "-") return true;
    long long seconds = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, seconds);
    if (error != std::errc() || stop != end) return false;
    out = static_cast<std::time_t>(seconds);
    return true;
}

bool ReadRecord(const std::string& text, std::optional<keyindex::KeyRecordBytes>& out) {
    if (text == "-") return true;
    std::string bytes;
    if (!UnhexText(text, bytes) || bytes.size() != keyindex::kRecordSize) return false;
    out = keyindex::RecordBytesAt(bytes.data());
    return true;
}

std::string RowField(const std::optional<TervoxRow>& row) {
    if (!row) return "-";
    return row->held ? "file:" + HexOf(row->file) : std::string("none");
}

bool ReadRow(const std::string& text, std::optional<TervoxRow>& out) {
    if (text == "-") return true;
    if (text == "none") {
        out = TervoxRow{};
        return true;
    }
    TervoxRow row{true, {}};
    if (!text.starts_with("file:") || !UnhexText(text.substr(5), row.file)) return false;
    out = std::move(row);
    return true;
}

bool ReadGrace(const std::string& text, std::optional<int>& out) {
    if (text == "-") return true;
    int days = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, days);
    if (error != std::errc() || stop != end || days < 0) return false;
    out = days;
    return true;
}

// An account folder's own name as it may stand in a path: no separator, not "." or "..".
bool IsFolderName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos && name.find('\0') == std::string::npos;
}

}  // namespace

std::string QuarantineFolder(const std::string& installPath) { return installPath + kSepText + "Quarantine"; }

std::string DayFolder(const std::string& installPath, const std::string& day) {
    return QuarantineFolder(installPath) + kSepText + day;
}

std::string QuarantinedFolderPath(const std::string& installPath, const QuarantineEntry& entry) {
    return DayFolder(installPath, entry.day) + kSepText + entry.folderName;
}

std::string EntryFilePath(const std::string& installPath, const QuarantineEntry& entry, EntryStage stage) {
    return QuarantinedFolderPath(installPath, entry) + SuffixOf(stage);
}

std::string AccountFolderPath(const std::string& installPath, const std::string& folderName) {
    return installPath + kSepText + "user" + kSepText + folderName;
}

std::string DayOfRun(std::time_t now) { return LogonDateText(now); }

std::optional<std::time_t> StartOfDay(const std::string& day) {
    int year = 0, month = 0, date = 0;
    char extra = 0;
    if (day.size() != 10 || std::sscanf(day.c_str(), "%4d-%2d-%2d%c", &year, &month, &date, &extra) != 3) return std::nullopt;
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = date;
    parts.tm_isdst = -1;
    const std::time_t t = std::mktime(&parts);
    if (t == static_cast<std::time_t>(-1) || DayOfRun(t) != day) return std::nullopt;
    return t;
}

std::optional<std::time_t> EntryPurgeDay(const QuarantineEntry& entry, int graceDays) {
    return PurgeDay(entry.day, entry.graceDays.value_or(graceDays));
}

std::optional<std::time_t> PurgeDay(const std::string& day, int graceDays) {
    const auto start = StartOfDay(day);
    if (!start) return std::nullopt;
    std::tm parts{};
    if (!platform::LocalTime(*start, parts)) return std::nullopt;
    parts.tm_mday += graceDays;  // whole calendar days, whatever the changes of daylight saving time
    parts.tm_hour = 0;
    parts.tm_isdst = -1;
    const std::time_t t = std::mktime(&parts);
    if (t == static_cast<std::time_t>(-1)) return std::nullopt;
    return t;
}

bool WriteEntryFile(const std::string& installPath, const QuarantineEntry& entry, bool deferSync) {
    std::string text = std::string(kHeader) + '\n';
    text += "user " + HexOf(entry.userName) + '\n';
    text += "logon " + (entry.lastLogon ? std::to_string(static_cast<long long>(*entry.lastLogon)) : std::string("-")) + '\n';
    text += "quarantined " + std::to_string(static_cast<long long>(entry.quarantinedOn)) + '\n';
    text += std::string("tervox ") + (entry.deleteTervoxUser ? "yes" : "no") + '\n';
    text += "userkey " + RecordField(entry.userRecord) + '\n';
    text += "timekey " + RecordField(entry.timeRecord) + '\n';
    text += "grace " + (entry.graceDays ? std::to_string(*entry.graceDays) : std::string("-")) + '\n';
    text += "tervoxrow " + RowField(entry.tervoxRow) + '\n';
    text += "failed " + HexOf(entry.lastFailure.substr(0, kMaxFailure)) + '\n';
    text += "end\n";
    // The day folder is Dormix's own: the entry's name is spelt as Dormix spells it.
    return platform::WriteFileAtomically(EntryFilePath(installPath, entry, entry.stage), text, platform::TargetLink::Refuse,
                                         deferSync, platform::TargetName::AsWritten) == 0;
}

bool MoveEntryToStage(const std::string& installPath, QuarantineEntry& entry, EntryStage stage, bool sync) {
    if (platform::MoveFileAsWritten(EntryFilePath(installPath, entry, entry.stage), EntryFilePath(installPath, entry, stage)) != 0)
        return false;
    if (sync) platform::sys::SyncFolder(DayFolder(installPath, entry.day));
    entry.stage = stage;
    return true;
}

std::vector<QuarantineEntry> ListEntryFiles(const std::string& installPath) {
    std::vector<QuarantineEntry> entries;
    const std::string quarantine = platform::ResolveCase(QuarantineFolder(installPath));
    for (const auto& day : platform::sys::ListFolder(quarantine)) {
        if (!day.isDirectory || !StartOfDay(day.name)) continue;
        for (const auto& file : platform::sys::ListFolder(quarantine + kSepText + day.name)) {
            if (file.isDirectory || file.isSymlink) continue;
            for (const EntryStage stage : {EntryStage::Moving, EntryStage::Kept, EntryStage::Restoring, EntryStage::Purging}) {
                const std::string suffix = SuffixOf(stage);
                if (file.name.size() <= suffix.size() || !file.name.ends_with(suffix)) continue;
                QuarantineEntry entry;
                entry.day = day.name;
                entry.folderName = file.name.substr(0, file.name.size() - suffix.size());
                entry.stage = stage;
                if (IsFolderName(entry.folderName)) entries.push_back(std::move(entry));
            }
        }
    }
    return entries;
}

bool ReadEntryFile(const std::string& installPath, QuarantineEntry& entry) {
    std::string text;
    if (platform::ReadFileLimited(EntryFilePath(installPath, entry, entry.stage), text, kMaxBytes) != 0) return false;
    std::istringstream in(text);
    std::string header, line;
    if (!std::getline(in, header) || (header != kHeader && header != kHeaderBefore)) return false;
    const char* const names[] = {"user", "logon", "quarantined", "tervox", "userkey", "timekey", "grace", "tervoxrow", "failed"};
    std::string values[9] = {{}, {}, {}, {}, {}, {}, "-", "-", ""};
    const int lines = header == kHeader ? 9 : 6;
    for (int i = 0; i < lines; ++i) {
        if (!std::getline(in, line) || !line.starts_with(std::string(names[i]) + ' ')) return false;
        values[i] = line.substr(std::strlen(names[i]) + 1);
    }
    if (!std::getline(in, line) || line != "end" || in.peek() != EOF) return false;
    std::optional<std::time_t> quarantinedOn;
    if (!UnhexText(values[0], entry.userName) || !ReadTime(values[1], entry.lastLogon) ||
        !ReadTime(values[2], quarantinedOn) || !quarantinedOn || (values[3] != "yes" && values[3] != "no") ||
        !ReadRecord(values[4], entry.userRecord) || !ReadRecord(values[5], entry.timeRecord) ||
        !ReadGrace(values[6], entry.graceDays) || !ReadRow(values[7], entry.tervoxRow) ||
        !UnhexText(values[8], entry.lastFailure))
        return false;
    entry.quarantinedOn = *quarantinedOn;
    entry.deleteTervoxUser = values[3] == "yes";
    return true;
}
