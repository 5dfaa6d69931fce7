#include "dormix/scan/ScanReport.h"

void ShowScanReport(const ScanReport& report, platform::MessageBoxes& boxes) {
    if (!report.ranThrough()) {
        boxes.error(report.problem, report.problemCaption);
        return;
    }
    if (report.end == ScanEnd::Cancelled) return;
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
}

std::string LeftForNextRunText(int left) {
    return std::to_string(left) + " dormant account(s) were left for the next run.";
}
