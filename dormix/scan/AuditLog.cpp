#include "dormix/scan/AuditLog.h"

#include <cstdio>

#include "dormix/scan/DormixPaths.h"
#include "platform/Clock.h"
#include "platform/TextMode.h"

// A name read from disk could hold a tab or a line break and so forge fields or whole lines:
// control bytes are written as \xNN.
std::string AuditField(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            out += c;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        out += escaped;
    }
    return out;
}

namespace {

const char* TervoxText(TervoxOutcome outcome) {
    switch (outcome) {
        case TervoxOutcome::Removed:
            return "removed";
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
    return platform::LocalTimeWithOffset(at) + "\t" + AuditField(account.userName) + "\t" +
           AuditField(account.folder) + "\t" + logon + "\tkeys: " + (deleted.keysRemoved ? "removed" : "not removed") +
           "\tTervox user: " + TervoxText(deleted.tervoxOutcome) + "\trun: " + run.id +
           "\tthreshold: " + std::to_string(run.days) + "\torigin: " + OriginText(run.origin) +
           "\toperator: " + AuditField(run.operatorName) + "\n";
}

bool AppendAuditLine(const std::string& auditPath, const std::string& line) {
    return platform::AppendTextSynced(auditPath, line);
}
