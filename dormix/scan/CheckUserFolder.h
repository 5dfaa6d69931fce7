#pragma once
// What must hold before the scan deletes anything: the account folders and the key files are found
// in one and the same folder, and the key files can be read without waiting.
#include <string>

// Empty when the scan may go on; else the message that stops it, naming the entries concerned.
// Names are found without regard to letter case, the exact spelling ("user", "USER.KEY",
// "USERTIME.KEY") first; several spellings without the exact one are not guessed between.
std::string UserFolderProblem(const std::string& installPath);
