#include "bench/scan/LargeSite.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

std::string UserName(int i) { return "user" + std::to_string(10000000 + i); }

}  // namespace

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Shell(const std::string& command) {
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
}

LargeSite::LargeSite(int accounts, int dormantEvery, std::time_t now) : base(dir.path().string() + "/base") {
    fs::create_directories(base.userFolder());
    std::vector<std::string> all;
    for (int i = 0; i < accounts; ++i) {
        all.push_back(UserName(i));
        const bool dormant = i % dormantEvery == 0;
        if (dormant) dormantNames.push_back(UserName(i));
        base.addAccount(UserName(i), LogonDaysBefore(now, dormant ? 400 : i % 30));
    }
    base.writeKeyFiles(all);
    base.writeTervoxUsers(all);
}

DormixInstallation LargeSite::copy() const {
    Shell("rm -rf '" + run() + "' && cp -a '" + dir.path().string() + "/base' '" + run() + "' && sync");
    return DormixInstallation(run());
}

DormixInstallation LargeSite::keysOnly() const {
    const DormixInstallation keys(run());
    Shell("rm -rf '" + run() + "' && mkdir -p '" + keys.userFolder() + "' && cp '" + base.userKeyPath() + "' '" +
          base.userTimeKeyPath() + "' '" + keys.userFolder() + "/' && sync");
    return keys;
}

std::string LargeSite::dormantList(const DormixInstallation& install) const {
    const std::string list = dir.path().string() + "/dormant.list";
    std::ofstream out(list);
    for (const std::string& name : dormantNames) out << install.folderOf(name) << '\n';
    return list;
}
