#include "dormix/scan/RunRecord.h"

#include <cstdio>
#include <random>

#include "dormix/scan/LineEscape.h"
#include "dormix/scan/DeleteDormantAccount.h"
#include "platform/Clock.h"
#include "platform/SystemLog.h"

namespace {

const char* const kIdentifier = "dormix";

std::string Prefix(const RunIdentity& run) { return "run " + run.id + ": "; }

}  // namespace

RunIdentity NewRunIdentity(std::int32_t days, RunOrigin origin, std::time_t now) {
    char random[8];
    std::snprintf(random, sizeof random, "%04x", static_cast<unsigned>(std::random_device{}() & 0xFFFFu));
    return {platform::LocalTimeText(now, "%Y%m%dT%H%M%S") + "-" + random, days, origin, platform::OperatorName()};
}

const char* OriginText(RunOrigin origin) { return origin == RunOrigin::Dialog ? "dialog" : "command line"; }

std::string RunStartRecord(const RunIdentity& run) {
    return Prefix(run) + "started, threshold " + std::to_string(run.days) + " days, origin " + OriginText(run.origin) +
           ", operator " + EscapedForLine(run.operatorName);
}

std::string DeletedAccountRecord(const RunIdentity& run, const AccountJudgement& account, const char* action) {
    return Prefix(run) + action + " " + EscapedForLine(account.userName) + " (" + EscapedForLine(account.folder) + ")";
}

void RecordAccount(const RunIdentity& run, const AccountJudgement& account, const char* action) {
    platform::WriteSystemLog(kIdentifier, DeletedAccountRecord(run, account, action));
}

std::string RunEndRecord(const RunIdentity& run, const ScanReport& report) {
    const std::size_t failed = report.notDeleted.size() + static_cast<std::size_t>(report.tervoxFailed);
    std::string text = Prefix(run) + "ended, deleted " + std::to_string(report.deleted.size()) + ", failed " +
                       std::to_string(failed) + ", kept " + std::to_string(report.left()) + ", stopped " +
                       (report.end == ScanEnd::Stopped ? "yes" : "no");
    if (!report.problem.empty()) text += ", " + EscapedForLine(report.problem);
    return text;
}

RunRecorder::RunRecorder(const RunIdentity& run, ScanProgress* frontEnd) : run_(run), frontEnd_(frontEnd) {
    platform::WriteSystemLog(kIdentifier, RunStartRecord(run_));
}

void RunRecorder::ended(const ScanReport& report) { platform::WriteSystemLog(kIdentifier, RunEndRecord(run_, report)); }

void RunRecorder::reading(int count) {
    if (frontEnd_) frontEnd_->reading(count);
}

void RunRecorder::counted(int dormant) {
    if (frontEnd_) frontEnd_->counted(dormant);
}

void RunRecorder::deleting(int number, int count, const std::string& userName) {
    if (frontEnd_) frontEnd_->deleting(number, count, userName);
}

bool RunRecorder::stopRequested() { return frontEnd_ && frontEnd_->stopRequested(); }

void RunRecorder::finished(const AccountJudgement& account, const DeletedAccount& result) {
    if (result.deleted && !result.quarantined) RecordAccount(run_, account, "deleted");
    if (frontEnd_) frontEnd_->finished(account, result);
}
