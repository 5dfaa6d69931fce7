#include "dormix/scan/ScanReport.h"

#include "dormix/scan/LineEscape.h"

namespace {

// How many failed warnings a box names one by one.
constexpr std::size_t kFailuresShown = 20;

void ShowSummary(const ScanReport& report, platform::MessageBoxes& boxes) {
    if (!report.deleted.empty()) {
        boxes.information("Successfully deleted " + std::to_string(report.deleted.size()) + " account(s)!",
                          "Dormant Accounts Deleted!");
    } else {
        boxes.information(kNoDormantAccounts, kNothingDeletedCaption);
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

void ShowScanReport(const ScanReport& report, platform::MessageBoxes& boxes) {
    if (!report.ranThrough()) {
        boxes.error(report.problem, report.problemCaption);
        return;
    }
    if (report.end != ScanEnd::Cancelled) ShowSummary(report, boxes);
    const QuarantinePurges& quarantine = report.quarantine;
    if (!quarantine.purged.empty()) boxes.information(PurgedCountText(quarantine.purged.size()), "Accounts Purged");
    if (!quarantine.notPurged.empty()) boxes.warning(NotPurgedText(quarantine.notPurged), "Accounts Not Purged");
    if (quarantine.waiting > 0) boxes.information(WaitingText(quarantine), "Accounts in Quarantine");
}

std::string PurgedCountText(std::size_t purged) {
    return "Purged " + std::to_string(purged) + " account(s) whose grace period was over.";
}

std::string WaitingText(const QuarantinePurges& purges) {
    return std::to_string(purges.waiting) + " account(s) wait in quarantine; the next purge is due on " +
           (purges.nextPurge ? LogonDateText(*purges.nextPurge) : std::string("a day that cannot be told")) + ".";
}

std::string NotPurgedText(const std::vector<AccountNotDeleted>& accounts) {
    constexpr std::size_t kNamed = 10;  // a box, not a log
    std::string text = std::to_string(accounts.size()) +
                       " account(s) in quarantine could not be purged; the next run tries them again:";
    for (std::size_t i = 0; i < accounts.size() && i < kNamed; ++i)
        // The name comes from the account's own file and keeps to one line; the reason is Dormix's
        // own text, whose Windows paths must keep their single backslashes.
        text.append("\n").append(EscapedForLine(accounts[i].userName)).append(": ").append(accounts[i].reason);
    if (accounts.size() > kNamed) text += "\n... and " + std::to_string(accounts.size() - kNamed) + " more.";
    return text;
}

std::string LeftForNextRunText(int left) {
    return std::to_string(left) + " dormant account(s) were left for the next run.";
}
