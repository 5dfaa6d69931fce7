#include "dormix/scan/AccountLog.h"

#include "platform/FileOps.h"
#include "platform/FolderLock.h"
#include "platform/TextMode.h"

namespace {

const char* ReasonText(LogReason reason) {
    switch (reason) {
        case LogReason::NoUserIni:
            return "has no user.ini file";
        case LogReason::NotActivated:
            return "has not activated their account";
        case LogReason::UnreadableDate:
            return "has an unreadable last logon date";
        case LogReason::UnreadableUserIni:
            return "has an unreadable user.ini file";
        case LogReason::KeysKeptChanging:
            return "key records could not be removed: the file kept changing";
        case LogReason::KeysNotRemoved:
            return "key records could not be removed";
        case LogReason::FolderNotDeleted:
            return "could not be deleted";
        case LogReason::PendingNotBegun:
            return "was left out of the unfinished deletions: its folder holds more than user.ini";
        case LogReason::PendingNotDormant:
            return "was left out of the unfinished deletions: it is no longer dormant";
        case LogReason::PendingNameInUse:
            return "was left out of the unfinished deletions";
    }
    return "";
}

}  // namespace

std::string LogReasonText(LogReason reason, const std::string& detail) {
    const std::string text = ReasonText(reason);
    return detail.empty() ? text : text + ": " + detail;
}

std::string AccountLogText(const std::string& userName, LogReason reason, const std::string& detail) {
    return userName + ", " + LogReasonText(reason, detail);
}

std::string AccountLogLine(const std::string& userName, LogReason reason, const std::string& detail) {
    return AccountLogText(userName, reason, detail) + " \n";
}

bool LogAccount(const std::string& logPath, const std::string& userName, LogReason reason, const std::string& detail) {
    return platform::AppendText(logPath, AccountLogLine(userName, reason, detail));
}

void DeleteOldLog(const std::string& logPath) { platform::DeleteFile(logPath); }

bool DeleteOldLogWhenIdle(const DormixPaths& paths) {
    const platform::FolderLock scanLock(paths.installPath, platform::FolderLock::Wait::No);
    if (scanLock.busy()) return false;
    DeleteOldLog(paths.logPath);
    return true;
}

std::string UnableToCreateFileText(const std::string& path) { return "Unable to create file " + path; }
