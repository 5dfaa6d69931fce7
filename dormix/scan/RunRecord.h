#pragma once
// Who ran a scan, from where and with which threshold, and the copy of the run that goes to the
// system log (identifier "dormix"): a record when the run starts, one per deleted account and one
// when it ends, so that a copy outlives anyone who can write the installation's "Log" folder.
#include <cstdint>
#include <ctime>
#include <string>

#include "dormix/scan/ScanProgress.h"
#include "dormix/scan/ScanReport.h"

enum class RunOrigin { Dialog, CommandLine };

struct RunIdentity {
    std::string id;  // the start time and a random part: tells the lines of one run from another's
    std::int32_t days = 0;
    RunOrigin origin = RunOrigin::Dialog;
    std::string operatorName;
};

// A new run of the process's user, started at now.
RunIdentity NewRunIdentity(std::int32_t days, RunOrigin origin, std::time_t now);

// "dialog" or "command line".
const char* OriginText(RunOrigin origin);

// The texts of the three kinds of record.
std::string RunStartRecord(const RunIdentity& run);
// action: what became of the account ("deleted", or a step of the grace period).
std::string DeletedAccountRecord(const RunIdentity& run, const AccountJudgement& account,
                                 const char* action = "deleted");
// Sends an account's record to the system log.
void RecordAccount(const RunIdentity& run, const AccountJudgement& account, const char* action);
// The end: accounts deleted; accounts not deleted and mail-server users not deleted (failed);
// dormant accounts left for a later run (kept); whether it was stopped; and what refused or broke
// it off, if anything.
std::string RunEndRecord(const RunIdentity& run, const ScanReport& report);

// Passes a front end's progress on and keeps the run's records: the start record when made, one
// record per deleted account (a quarantined one records itself), the end record at ended(). The front end hears of every account
// finished, those an earlier run left pending (before counted()) included.
class RunRecorder : public ScanProgress {
public:
    RunRecorder(const RunIdentity& run, ScanProgress* frontEnd);
    RunRecorder(const RunRecorder&) = delete;
    RunRecorder& operator=(const RunRecorder&) = delete;

    void ended(const ScanReport& report);

    void reading(int count) override;
    void counted(int dormant) override;
    void deleting(int number, int count, const std::string& userName) override;
    bool stopRequested() override;
    void finished(const AccountJudgement& account, const DeletedAccount& result) override;

private:
    const RunIdentity& run_;
    ScanProgress* frontEnd_;
};
