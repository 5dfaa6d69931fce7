#pragma once
#include <string>

// The user name of an account folder: its own name (after the last separator; one trailing
// separator is dropped first) decoded from hexadecimal.
std::string FolderUserName(const std::string& folderPath);
