#pragma once
// How a scan tells a front end which account it is deleting and learns that the administrator
// wants it to stop. The scan calls it from whatever thread runs the scan.
#include <string>

class ScanProgress {
public:
    virtual ~ScanProgress() = default;
    // Account number (from 1) of count dormant accounts is about to be deleted.
    virtual void deleting(int number, int count, const std::string& userName) = 0;
    // Asked before each further account: true ends the scan there, with its summary.
    virtual bool stopRequested() = 0;
};

// "Deleting account N of M", as every front end shows progress.
inline std::string DeletingAccountText(int number, int count) {
    return "Deleting account " + std::to_string(number) + " of " + std::to_string(count);
}
