#include "bench/scan/LargeSite.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string UserName(int i) { return "user" + std::to_string(10000000 + i); }

void WriteSmallFile(const std::string& path, const std::string& text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
    if (fd >= 0) ::close(fd);
}

}  // namespace

ChildRun InChild(const std::function<void()>& work) {
    ::malloc_trim(0);
    ChildRun run;
    run.seconds = Seconds([&] {
        const pid_t child = ::fork();
        if (child == 0) {
            work();
            ::_exit(0);
        }
        int status = 0;
        struct rusage usage {};
        ::wait4(child, &status, 0, &usage);
        run.peakKiB = usage.ru_maxrss;
    });
    return run;
}

std::vector<std::string> LayOutStraight(DormixInstallation& install, int accounts, int dormantEvery, std::time_t now,
                                        bool withMail) {
    std::vector<std::string> names, dormant;
    for (int i = 0; i < accounts; ++i) {
        const std::string name = UserName(i);
        const std::string folder = install.folderOf(name);
        const bool isDormant = i % dormantEvery == 0;
        ::mkdir(folder.c_str(), 0755);
        WriteSmallFile(folder + "/user.ini",
                       "[PROGRAM]\r\nLASTLOGON=" + LogonDaysBefore(now, isDormant ? 400 : i % 30) + "\r\nLANGUAGE=en\r\n");
        if (withMail) {
            ::mkdir((folder + "/mail").c_str(), 0755);
            WriteSmallFile(folder + "/mail/1.msg", "Subject: hello\r\n\r\nbody\r\n");
        }
        if (isDormant) dormant.push_back(folder);
        names.push_back(name);
    }
    install.writeKeyFiles(names);
    return dormant;
}

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
