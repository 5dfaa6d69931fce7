#include "tests/reliability/KeyInstallation.h"

#include <filesystem>
#include <vector>

#include "tests/scan/fixture/KeyFiles.h"

namespace reliability {

namespace {

std::string TimeKeyOf(int i) { return "T" + std::to_string(900000 + i); }

}  // namespace

KeyInstallation::KeyInstallation(int users) : removed(users / 2), users_(users) {
    writeFiles(dir.file("USER"), false, false);
    before = TreeOf(installPath());
    TempDir scratch;
    writeFiles(scratch.file("USER"), true, false);
    userGone = TreeOf(scratch.path().string());
    writeFiles(scratch.file("USER"), true, true);
    bothGone = TreeOf(scratch.path().string());
}

std::string KeyInstallation::UserName(int i) { return "user" + std::to_string(10000 + i); }

void KeyInstallation::restore() const {
    std::filesystem::remove_all(dir.file("USER"));
    std::filesystem::create_directories(dir.file("USER"));
    for (const char* name : {"USER/USER.KEY", "USER/USERTIME.KEY"}) WriteBytes(dir.file(name), before.at(name));
}

void KeyInstallation::writeFiles(const std::string& folder, bool withoutUserRecord, bool withoutTimeRecord) const {
    std::filesystem::create_directories(folder);
    std::vector<KeyEntry> userKeys, timeKeys;
    for (int i = 0; i < users_; ++i) {
        if (i != removed || !withoutUserRecord) userKeys.emplace_back(UserKeyOf(UserName(i)), TimeKeyOf(i));
        if (i != removed || !withoutTimeRecord) timeKeys.emplace_back(TimeKeyOf(i), UserName(i));
    }
    WriteKeyFile(folder + "/USER.KEY", userKeys);
    WriteKeyFile(folder + "/USERTIME.KEY", timeKeys);
}

}  // namespace reliability
