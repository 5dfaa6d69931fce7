#pragma once
#include <string>

// The demo installation under root: root/windows/VELTA.INI, root/web (the web folder of the
// banners), root/velta (the installation with its account folders), root/tervox/users.db.
void MakeMarquetaDemo(const std::string& root);
void MakeDormixDemo(const std::string& root);

// root/mail/windows/VELTA.INI: the demo's settings with warnings by mail (7 days ahead) through
// the mail server on port of 127.0.0.1. False, said on standard error, when it cannot be written.
bool MakeDormixMailDemo(const std::string& root, const std::string& port);
