#include "dormix/scan/ProtectedAccounts.h"

#include <algorithm>

#include "common/NextToken.h"
#include "common/VeltaSettings.h"
#include "platform/CaseFold.h"
#include "platform/ProfileFile.h"

const char* const kProtectListTooLong =
    "The list of protected accounts (PROTECT in section DORMIX of VELTA.INI) is too long: keep it under 259 "
    "characters. Nothing was deleted.";

bool ProtectedAccounts::covers(const std::string& userName) const {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& name) { return platform::EqualsIgnoringCase(name, userName); });
}

ProtectedAccounts ParseProtectedAccounts(const std::string& value) {
    ProtectedAccounts list;
    list.cut = value.size() >= platform::kMaxProfileValue;
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t comma = value.find(',', start);
        if (comma == std::string::npos) comma = value.size();
        const std::string name = TrimSpace(value.substr(start, comma - start));
        if (!name.empty()) list.names.push_back(name);
        start = comma + 1;
    }
    return list;
}

ProtectedAccounts ReadProtectedAccounts() { return ParseProtectedAccounts(ReadVeltaSetting("DORMIX", "PROTECT")); }
