#include "tests/support/LocalSmtpServer.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/TempDir.h"

LocalSmtpServer::LocalSmtpServer(std::string folder, const std::vector<std::string>& refused, Keep keep,
                                 const std::vector<std::string>& options)
    : folder_(std::move(folder)) {
    std::vector<std::string> args = {SMTP_SINK_PYTHON, SMTP_SINK_SCRIPT};
    if (keep == Keep::Nothing) args.push_back("--discard");
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(folder_);
    args.insert(args.end(), refused.begin(), refused.end());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        execv(SMTP_SINK_PYTHON, argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    FILE* out = fdopen(pipeEnds[0], "r");
    if (out && std::fscanf(out, "%d", &port_) != 1) port_ = 0;
    if (out) std::fclose(out);
}

LocalSmtpServer::~LocalSmtpServer() { stop(); }

std::string LocalSmtpServer::url() const { return "smtp://127.0.0.1:" + std::to_string(port_); }

void LocalSmtpServer::stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

std::vector<std::string> LocalSmtpServer::messages() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
        if (entry.path().extension() == ".eml") names.push_back(entry.path().string());
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> messages;
    for (const std::string& name : names) messages.push_back(ReadBytes(name));
    return messages;
}

int LocalSmtpServer::connections() const {
    const std::string log = ReadBytes(folder_ + "/connections.log");
    return static_cast<int>(std::count(log.begin(), log.end(), '\n'));
}
