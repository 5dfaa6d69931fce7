#include "dormix/scan/AuditLog.h"

#include "dormix/scan/DormixPaths.h"
#include "dormix/scan/LineEscape.h"
#include "platform/Clock.h"
#include "platform/TextMode.h"

namespace {

const char* TervoxText(TervoxOutcome outcome) {
    switch (outcome) {
        case TervoxOutcome::Removed:
            return "removed";
        case TervoxOutcome::Absent:
            return "absent";
        case TervoxOutcome::Kept:
            return "kept";
        case TervoxOutcome::Failed:
            return "failed";
    }
    return "";
}

}  // namespace

std::string AuditLogPath(const std::string& installPath) {
    return LogFolderFile(installPath, "deleted.log");
}

std::string AuditLine(const AccountJudgement& account, const DeletedAccount& deleted, std::time_t at,
                      const RunIdentity& run) {
    const std::string logon = account.lastLogon ? LogonDateText(*account.lastLogon) : std::string();
    return platform::LocalTimeWithOffset(at) + "\t" + EscapedForLine(account.userName) + "\t" +
           EscapedForLine(account.folder) + "\t" + logon + "\tkeys: " + (deleted.keysRemoved ? "removed" : "not removed") +
           "\tTervox user: " + TervoxText(deleted.tervoxOutcome) + "\trun: " + run.id +
           "\tthreshold: " + std::to_string(run.days) + "\torigin: " + OriginText(run.origin) +
           "\toperator: " + EscapedForLine(run.operatorName) + "\n";
}

bool AppendAuditLine(const std::string& auditPath, const std::string& line) {
    return platform::AppendTextSynced(auditPath, line);
}
