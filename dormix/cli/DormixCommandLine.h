#pragma once
// Dormix without a window, for scheduled runs:
//   dormix --days N                      what a deletion would do (nothing is changed)
//   dormix --days N --yes --tervox=yes|no   deletes, answering the mail-server question
//   dormix --list-deleted | --restore NAME... | --purge   the quarantine of a grace period
// Needs a QCoreApplication and no display.
#include <ctime>

#include <QStringList>

enum DormixExitCode {
    kExitOk = 0,
    kExitUsage = 2,
    kExitNotInstalled = 3,
    kExitLogNotWritten = 4,
};

// Runs the command line arguments (the program's name first); the process's exit code.
int RunDormixCommandLine(const QStringList& arguments, std::time_t now);
