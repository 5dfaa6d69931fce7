#include "dormix/scan/ScanReport.h"

#include <algorithm>

#include "dormix/scan/LineEscape.h"

namespace {

// How many failed warnings a box names one by one.
constexpr std::size_t kFailuresShown = 20;

// How many accounts a box names one by one: a box, not a log.
constexpr std::size_t kNamed = 10;

// The lines, each after a line break, the first kNamed of them and then how many more of total
// (by default, of the lines).
std::string NamedLines(const std::vector<std::string>& lines, std::size_t total = 0) {
    total = std::max(total, lines.size());
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < kNamed; ++i) text.append("\n").append(lines[i]);
    if (total > kNamed) text += "\n... and " + std::to_string(total - kNamed) + " more.";
    return text;
}

// The lines after the summary's own: where quarantined accounts are and how they come back, and
// the accounts that warnings keep.
std::string SummaryAfterword(const ScanReport& report) {
    std::string text;
    // appended piece by piece: GCC 12 warns, wrongly, of an overlap in "\n" + std::string
    if (report.quarantined > 0 && report.restorableUntil)
        text.append("\n").append(StayInQuarantineText(*report.restorableUntil));
    if (const std::string kept = KeptAfterWarningText(report.warnings); !kept.empty()) text.append("\n").append(kept);
    return text;
}

void ShowSummary(const ScanReport& report, platform::MessageBoxes& boxes) {
    if (!report.deleted.empty()) {
        boxes.information("Successfully deleted " + std::to_string(report.deleted.size()) + " account(s)!" +
                              SummaryAfterword(report),
                          "Dormant Accounts Deleted!");
    } else {
        boxes.information(kNoDormantAccounts + SummaryAfterword(report), kNothingDeletedCaption);
    }
    if (!report.notDeleted.empty()) {
        boxes.warning(std::to_string(report.notDeleted.size()) + " account(s) could not be deleted. The reasons are in " +
                          report.logPath,
                      "Accounts Not Deleted");
    }
    if (report.tervoxFailed > 0) boxes.warning(report.tervoxText, "Tervox Accounts Not Deleted");
    if (const std::string text = WarnedText(report.warnings); !text.empty()) boxes.information(text, "Warnings Sent");
    if (const std::string text = WarningFailuresText(report.warnings, kFailuresShown); !text.empty())
        boxes.warning(text, "Warnings Not Sent");
    for (const auto& [text, caption] : report.warnings.notices) boxes.warning(text, caption);
}

}  // namespace

void ShowScanReport(const ScanReport& report, platform::MessageBoxes& boxes, PurgedLines purgedLines) {
    if (!report.ranThrough()) {
        boxes.error(report.problem, report.problemCaption);
        return;
    }
    if (report.end != ScanEnd::Cancelled) ShowSummary(report, boxes);
    const QuarantinePurges& quarantine = report.quarantine;
    if (!quarantine.purged.empty()) {
        // On the command line the lines were printed as the purges' own; a box names them itself.
        std::string text = PurgedCountText(quarantine.purged.size());
        if (purgedLines == PurgedLines::InBox) text += NamedLines(quarantine.purged);
        boxes.information(text, "Accounts Purged");
    }
    if (!quarantine.notPurged.empty()) boxes.warning(NotPurgedText(quarantine.notPurged), "Accounts Not Purged");
    if (quarantine.waiting > 0) boxes.information(WaitingText(quarantine), "Accounts in Quarantine");
}

std::string StayInQuarantineText(std::time_t until) {
    return "The accounts stay in quarantine until " + LogonDateText(until) +
           "; Deleted Accounts... (dormix --restore NAME) brings one back.";
}

std::string PurgedCountText(std::size_t purged) {
    return "Purged " + std::to_string(purged) + " account(s) whose grace period was over.";
}

std::string WaitingText(const QuarantinePurges& purges) {
    return std::to_string(purges.waiting) + " account(s) wait in quarantine; the next purge is due on " +
           (purges.nextPurge ? LogonDateText(*purges.nextPurge) : std::string("a day that cannot be told")) + ".";
}

std::string NotPurgedText(const std::vector<AccountNotDeleted>& accounts) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < accounts.size() && i < kNamed; ++i)
        // The name comes from the account's own file and keeps to one line; the reason is Dormix's
        // own text, whose Windows paths must keep their single backslashes, but whose folder names
        // must not start a line of their own.
        lines.push_back(EscapedForLine(accounts[i].userName) + ": " + ControlsEscaped(accounts[i].reason));
    return std::to_string(accounts.size()) + " account(s) in quarantine could not be purged; the next run tries them again:" +
           NamedLines(lines, accounts.size());
}

std::string LeftForNextRunText(int left) {
    return std::to_string(left) + " dormant account(s) were left for the next run.";
}
