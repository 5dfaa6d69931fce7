#include "tests/quarantine/QuarantineSite.h"

#include <sstream>

#include "dormix/scan/HexDecode.h"
#include "platform/FileOps.h"
#include "platform/TextMode.h"

QuarantineSite::QuarantineSite() {
    for (const std::string& user : kSiteUsers) site.addAccount(user, "2020/1/1");
    site.writeKeyFiles(kSiteUsers);
    site.writeTervoxUsers(kSiteUsers);
    const std::string record = dir.file("steps.txt");
    events.record = [record](const std::vector<QuarantineEntry>& entries, QuarantineEvent event) {
        const char* what[] = {"quarantined ", "restored ", "purged "};
        std::string lines;
        for (const QuarantineEntry& entry : entries) lines += what[static_cast<int>(event)] + entry.userName + "\n";
        return platform::AppendText(record, lines);
    };
}

QuarantineRun QuarantineSite::quarantine(const std::vector<std::string>& users, std::time_t now, bool tervox) const {
    PrepareQuarantine(install());
    std::vector<AccountToQuarantine> accounts;
    for (const std::string& user : users)
        if (platform::IsDirectory(site.folderOf(user))) accounts.push_back({site.folderOf(user), user, now - 86400 * 400});
    return QuarantineAccounts(install(), accounts, now, tervox, events);
}

reliability::FileTree QuarantineSite::files() const {
    reliability::FileTree tree = reliability::TreeOf(dir.path().string());
    std::erase_if(tree, [](const auto& entry) {
        return entry.first.ends_with("steps.txt") || entry.first.ends_with("users.db") || reliability::IsTemporaryName(entry.first);
    });
    // An entry names its mail-server user's file, which lies in this site's own folder.
    const std::string own = HexText(dir.path().string().data(), dir.path().string().size());
    for (auto& [path, bytes] : tree)
        for (std::size_t at; (at = bytes.find(own)) != std::string::npos;) bytes.replace(at, own.size(), "SITE");
    return tree;
}

std::set<std::string> QuarantineSite::recorded() const {
    std::set<std::string> lines;
    std::istringstream in(ReadBytes(dir.file("steps.txt")));
    for (std::string line; std::getline(in, line);) lines.insert(line.substr(0, line.find('\r')));
    return lines;
}

std::vector<std::string> QuarantineSite::tervoxUsers() const {
    std::vector<std::string> names;
    for (const TervoxUser& user : ReadUserDb(site.tervoxDb())) names.push_back(user.name);
    return names;
}
