#include "dormix/scan/RunRecord.h"

#include <algorithm>
#include <cstdio>
#include <random>

#include "dormix/scan/AuditLog.h"
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
           ", operator " + AuditField(run.operatorName);
}

std::string DeletedAccountRecord(const RunIdentity& run, const AccountJudgement& account) {
    return Prefix(run) + "deleted " + AuditField(account.userName) + " (" + AuditField(account.folder) + ")";
}

std::string RunEndRecord(const RunIdentity& run, const RunTally& tally) {
    return Prefix(run) + "ended, deleted " + std::to_string(tally.deleted) + ", failed " + std::to_string(tally.failed) +
           ", kept " + std::to_string(tally.kept) + ", stopped " + (tally.stopped ? "yes" : "no");
}

RunRecorder::RunRecorder(const RunIdentity& run, ScanProgress* frontEnd) : run_(run), frontEnd_(frontEnd) {
    platform::WriteSystemLog(kIdentifier, RunStartRecord(run_));
}

RunRecorder::~RunRecorder() {
    if (counting_) tally_.kept = std::max(0, dormant_ - done_);
    platform::WriteSystemLog(kIdentifier, RunEndRecord(run_, tally_));
}

void RunRecorder::counted(int dormant) {
    counting_ = true;
    dormant_ = dormant;
    if (frontEnd_) frontEnd_->counted(dormant);
}

void RunRecorder::deleting(int number, int count, const std::string& userName) {
    if (frontEnd_) frontEnd_->deleting(number, count, userName);
}

bool RunRecorder::stopRequested() {
    if (frontEnd_ && frontEnd_->stopRequested()) tally_.stopped = true;
    return tally_.stopped;
}

void RunRecorder::finished(const AccountJudgement& account, const DeletedAccount& result) {
    if (result.deleted) {
        ++tally_.deleted;
        platform::WriteSystemLog(kIdentifier, DeletedAccountRecord(run_, account));
    }
    if (!result.deleted || result.tervoxOutcome == TervoxOutcome::Failed) ++tally_.failed;
    if (!counting_) return;
    ++done_;
    if (frontEnd_) frontEnd_->finished(account, result);
}
