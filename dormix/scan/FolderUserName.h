#pragma once
#include <string>

// The user name of an account folder: its own whole name as the folder listing gives it (after
// the last separator of this system; one trailing separator is dropped first) decoded from
// hexadecimal. A backslash is an ordinary character of a name here and splits nothing.
std::string FolderUserName(const std::string& folderPath);

// True when the folder's own name spells a user name plainly: pairs of hexadecimal digits, none of
// them 00. Only such a folder is matched to a user's key records and mail-server user.
bool NamesAUser(const std::string& folderPath);
