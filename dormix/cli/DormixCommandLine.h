#pragma once
// Dormix without a window, for scheduled runs:
//   dormix --days N                      what a deletion would do (nothing is changed)
//   dormix --days N --yes --tervox=yes|no   deletes, answering the mail-server question
//   dormix --list-deleted | --restore NAME... | --purge   the quarantine of a grace period
// Needs a QCoreApplication and no display.
#include <ctime>

#include <QStringList>

enum DormixExitCode {
    kExitOk = 0,            // every dormant account was deleted, or none was found
    kExitFailures = 1,      // some accounts, mail-server users or warnings by mail failed; the run went on
    kExitUsage = 2,
    kExitNotInstalled = 3,  // settings unreadable, no PATH, or no installation folder
    kExitRefused = 4,       // refused before anything was deleted
    kExitInterrupted = 130, // stopped by SIGINT after the batch in hand
    kExitTerminated = 143,  // stopped by SIGTERM after the batch in hand
};

// Runs the command line arguments (the program's name first); the process's exit code.
int RunDormixCommandLine(const QStringList& arguments, std::time_t now);
