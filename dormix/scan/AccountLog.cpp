#include "dormix/scan/AccountLog.h"

#include "platform/FileOps.h"
#include "platform/FolderLock.h"
#include "platform/TextMode.h"

std::string LogReasonText(LogReason reason) {
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
    }
    return {};
}

std::string AccountLogText(const std::string& userName, LogReason reason) {
    return userName + ", " + LogReasonText(reason);
}

std::string AccountLogLine(const std::string& userName, LogReason reason) {
    return AccountLogText(userName, reason) + " \n";
}

bool LogAccount(const std::string& logPath, const std::string& userName, LogReason reason) {
    return platform::AppendText(logPath, AccountLogLine(userName, reason));
}

void DeleteOldLog(const std::string& logPath) { platform::DeleteFile(logPath); }

bool DeleteOldLogWhenIdle(const DormixPaths& paths) {
    const platform::FolderLock scanLock(paths.installPath, platform::FolderLock::Wait::No);
    if (scanLock.busy()) return false;
    DeleteOldLog(paths.logPath);
    return true;
}

std::string UnableToCreateFileText(const std::string& path) { return "Unable to create file " + path; }
