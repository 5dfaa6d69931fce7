#include "dormix/scan/AccountLog.h"

#include "platform/FileOps.h"
#include "platform/TextMode.h"

std::string AccountLogLine(const std::string& userName, LogReason reason) {
    switch (reason) {
        case LogReason::NoUserIni:
            return userName + ", has no user.ini file \n";
        case LogReason::NotActivated:
            return userName + ", has not activated their account \n";
        case LogReason::UnreadableDate:
            return userName + ", has an unreadable last logon date \n";
        case LogReason::UnreadableUserIni:
            return userName + ", has an unreadable user.ini file \n";
        case LogReason::KeysKeptChanging:
            return userName + ", key records could not be removed: the file kept changing \n";
    }
    return {};
}

bool LogAccount(const std::string& logPath, const std::string& userName, LogReason reason) {
    return platform::AppendText(logPath, AccountLogLine(userName, reason));
}

void DeleteOldLog(const std::string& logPath) { platform::DeleteFile(logPath); }
