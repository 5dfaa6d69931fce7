#include "dormix/scan/AccountList.h"

#include "dormix/scan/AccountLog.h"
#include "dormix/scan/RunPlan.h"

std::string NotDeletedReason(const AccountJudgement& account) {
    switch (account.verdict) {
        case Verdict::Logged:
            return LogReasonText(account.logReason);
        case Verdict::Protected:
            return "protected";
        case Verdict::Kept:
            return account.warning;
        case Verdict::Dormant:
            break;
    }
    return {};
}

CsvRow AccountListHeader() {
    return {"User Name", "Account Folder", "Last Logon", "Days Since", "Note"};
}

CsvRow AccountListRow(const AccountJudgement& account, bool pending) {
    const bool dated = account.lastLogon.has_value();
    return {account.userName, account.folder, dated ? LogonDateText(*account.lastLogon) : std::string(),
            dated ? std::to_string(account.daysSince) : std::string(),
            pending ? std::string(kPendingMark) : NotDeletedReason(account)};
}

bool Listed(const AccountJudgement& account) { return account.verdict != Verdict::Kept || !account.warning.empty(); }
