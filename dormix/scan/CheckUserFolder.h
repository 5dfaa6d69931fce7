#pragma once
// What must hold before the scan deletes anything: the account folders and the key files are found
// in one and the same folder, and the key files can be read without waiting.
#include <string>

#include "dormix/scan/DormixPaths.h"

// Empty when the scan may go on; else the message that stops it, naming the entries concerned.
// Names are found without regard to letter case, the exact spelling ("user", "USER.KEY",
// "USERTIME.KEY") first; several spellings without the exact one are not guessed between.
std::string UserFolderProblem(const std::string& installPath);

// Empty when no link stands in the place of a file of the Log folder ("dormant.log",
// "deleted.log", the pending deletions, "warned.log"); else the message that stops the scan, naming the first.
// The scan writes those files without following links, so a link there would fail it half way.
std::string LogFileProblem(const DormixPaths& paths);
