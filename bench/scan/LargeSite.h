#pragma once
// A large installation laid out once for the benchmarks, each run working on a fresh copy of it,
// and the timing of plain tools beside the programs.
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "tests/scan/fixture/DormixInstallation.h"
#include "tests/support/TempDir.h"

double Seconds(const std::function<void()>& work);
void Shell(const std::string& command);

struct ChildRun {
    double seconds = 0;
    long peakKiB = 0;
};
// Runs work in a child process: its time, and its peak resident memory. The child's figure counts
// the pages it shares with this process, so these are given back to the system first.
ChildRun InChild(const std::function<void()>& work);

// An installation of accounts accounts laid out straight through the system calls, every
// dormantEvery-th last used 400 days before now, the others within the last 30 days: each account
// a folder with its "user.ini" and, withMail, a message in a folder of its own. The key files hold
// every account. The dormant folders' paths.
std::vector<std::string> LayOutStraight(DormixInstallation& install, int accounts, int dormantEvery, std::time_t now,
                                        bool withMail = true);

struct LargeSite {
    // accounts accounts, every dormantEvery-th of them last used 400 days before now, the others
    // within the last 30 days.
    LargeSite(int accounts, int dormantEvery, std::time_t now);
    // A fresh copy of the installation, as the folder "run", on the disk before any timing starts
    // (else the first sync timed would write the whole copy).
    DormixInstallation copy() const;
    // A copy of the key files alone, for the key-file part.
    DormixInstallation keysOnly() const;
    std::string run() const { return dir.path().string() + "/run"; }
    // A file listing the folders of the dormant accounts of install, one a line.
    std::string dormantList(const DormixInstallation& install) const;

    TempDir dir;
    DormixInstallation base;
    std::vector<std::string> dormantNames;
};
