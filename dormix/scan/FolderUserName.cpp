#include "dormix/scan/FolderUserName.h"

#include "dormix/scan/HexDecode.h"
#include "platform/CaseFold.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"

namespace {

std::string OwnName(const std::string& folderPath) {
    std::string s = folderPath;
    if (!s.empty() && s.back() == platform::kSep) s.pop_back();
    const std::size_t sep = s.rfind(platform::kSep);
    return sep == std::string::npos ? s : s.substr(sep + 1);
}

}  // namespace

std::string FolderUserName(const std::string& folderPath) { return HexDecode(OwnName(folderPath)); }

bool NamesAUser(const std::string& folderPath) {
    const std::string name = OwnName(folderPath);
    if (name.empty() || name.size() % 2 != 0) return false;
    for (std::size_t i = 0; i < name.size(); i += 2) {
        const int high = HexDigitValue(platform::FoldCase(name[i]));
        const int low = HexDigitValue(platform::FoldCase(name[i + 1]));
        if (high > 15 || low > 15 || high + low == 0) return false;
    }
    return true;
}

std::string NameInUseAgain(const std::string& folder, const std::optional<keyindex::KeyRecordBytes>& userRecord,
                           const std::optional<keyindex::KeyValue>& ownValue) {
    if (!folder.empty() && platform::PathExists(folder)) return "the folder " + folder + " exists again";
    if (userRecord && (!ownValue || keyindex::ValueOfRecord(userRecord->data()) != *ownValue))
        return "USER.KEY holds a record of that name again";
    return {};
}
