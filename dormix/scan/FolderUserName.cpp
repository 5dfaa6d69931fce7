#include "dormix/scan/FolderUserName.h"

#include "dormix/scan/HexDecode.h"
#include "platform/Paths.h"

std::string FolderUserName(const std::string& folderPath) {
    std::string s = folderPath;
    if (!s.empty() && s.back() == platform::kSep) s.pop_back();
    return HexDecode(platform::FileNameOf(s));
}
