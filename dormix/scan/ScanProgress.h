#pragma once
// How a scan tells a front end which account it is deleting and learns that the administrator
// wants it to stop. The scan calls it from whatever thread runs the scan.
#include <string>

struct AccountJudgement;
struct DeletedAccount;

class ScanProgress {
public:
    virtual ~ScanProgress() = default;
    // The account folders are being read and judged: count of them so far, heard once per folder
    // in folder order, before counted().
    virtual void reading(int count) { static_cast<void>(count); }
    // The run's accounts are judged: dormant of them are to be deleted. The accounts of an
    // interrupted run come before it.
    virtual void counted(int dormant) { static_cast<void>(dormant); }
    // Account number (from 1) of count dormant accounts is about to be deleted.
    virtual void deleting(int number, int count, const std::string& userName) = 0;
    // Asked after each folder read, before each further batch and before each account of the batch
    // in hand is touched: true ends the scan there, with its summary; the accounts not yet touched
    // are left whole (a stop while reading touches none).
    virtual bool stopRequested() = 0;
    // The deletion of an account is over: its record is written and result.deleted tells whether
    // its folder went whole. Heard once per account, after the fact.
    virtual void finished(const AccountJudgement& account, const DeletedAccount& result) {
        static_cast<void>(account);
        static_cast<void>(result);
    }
};

// "Reading the account folders: N read": how far the judging has got, before anything is deleted.
inline std::string ReadingCountText(int read) { return "Reading the account folders: " + std::to_string(read) + " read"; }

// "N of M accounts deleted": how far a run has got, counting the accounts whose deletion is done.
inline std::string DeletedCountText(int deleted, int count) {
    return std::to_string(deleted) + " of " + std::to_string(count) + " accounts deleted";
}
