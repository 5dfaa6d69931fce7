#pragma once
#include <string>

// The demo installation under root: root/windows/VELTA.INI, root/web (the web folder of the
// banners), root/velta (the installation with its account folders), root/tervox/users.db.
void MakeMarquetaDemo(const std::string& root);
void MakeDormixDemo(const std::string& root);
