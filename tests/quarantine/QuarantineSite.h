#pragma once
// An installation for the quarantine's tests: five accounts with key records and mail-server
// users, every step recorded as a line in a file of its own.
#include <set>
#include <string>
#include <vector>

#include "dormix/quarantine/Quarantine.h"
#include "tests/reliability/FileTree.h"
#include "tests/scan/fixture/DormixInstallation.h"
#include "tests/support/TempDir.h"

struct QuarantineSite {
    QuarantineSite();
    std::string install() const { return site.paths().installPath; }
    // Quarantines those of the users whose folder is still in place.
    QuarantineRun quarantine(const std::vector<std::string>& users, std::time_t now, bool tervox = true) const;
    // Every file but the steps' record, the user database and temporary files.
    reliability::FileTree files() const;
    std::set<std::string> recorded() const;  // "quarantined ann", ...
    std::vector<std::string> tervoxUsers() const;

    TempDir dir;
    DormixInstallation site{dir.path().string()};
    ScopedEnv db{"ACCTKIT_DB", site.tervoxDb()};
    QuarantineEvents events;
};

inline const std::vector<std::string> kSiteUsers = {"ann", "bob", "cleo", "dan", "eve"};
