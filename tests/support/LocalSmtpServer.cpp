#include "tests/support/LocalSmtpServer.h"

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <filesystem>

#include "tests/support/TempDir.h"

namespace {

// The server's command line: the files that stand for its output and its end (under Wine) come
// first, the folder and the refused addresses last.
std::vector<std::string> SinkArguments(const std::vector<std::string>& first, LocalSmtpServer::Keep keep,
                                       const std::vector<std::string>& options, const std::string& folder,
                                       const std::vector<std::string>& refused) {
    std::vector<std::string> args = {SMTP_SINK_PYTHON, SMTP_SINK_SCRIPT};
    args.insert(args.end(), first.begin(), first.end());
    if (keep == LocalSmtpServer::Keep::Nothing) args.push_back("--discard");
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(folder);
    args.insert(args.end(), refused.begin(), refused.end());
    return args;
}

}  // namespace

LocalSmtpServer::~LocalSmtpServer() { stop(); }

std::string LocalSmtpServer::url() const { return "smtp://127.0.0.1:" + std::to_string(port_); }

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

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

std::string HostPath(const std::string& path) { return path; }

int RunOnHost(const std::string& command) { return std::system(command.c_str()); }

LocalSmtpServer::LocalSmtpServer(std::string folder, const std::vector<std::string>& refused, Keep keep,
                                 const std::vector<std::string>& options)
    : folder_(std::move(folder)) {
    std::vector<std::string> args = SinkArguments({}, keep, options, folder_, refused);
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

void LocalSmtpServer::stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}
#else
// Under Wine a Windows program can start a Linux program but gets no handle of it and none of its
// output: the server writes its port into a file and ends when a file asks it to.
#include <chrono>
#include <thread>

#include <windows.h>

namespace {

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                             wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

// Starts the Linux program args[0] with its arguments; Wine splits the command line as Windows does.
bool StartOnHost(const std::vector<std::string>& args) {
    std::string line = "Z:" + args[0];
    std::replace(line.begin(), line.end(), '/', '\\');
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string quoted;
        for (const char c : args[i]) quoted += c == '"' ? std::string("\\\"") : std::string(1, c);
        line += " \"" + quoted + "\"";
    }
    std::wstring command = Wide(line);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    // Wine hands back no usable handles for a Linux program; closing them is harmless.
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    return true;
}

// Waits up to seconds for done() to hold.
template <typename Done>
bool WaitFor(Done done, int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return done();
}

}  // namespace

std::string HostPath(const std::string& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    static const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) return {};
    char* host = convert(Wide(path).c_str());
    if (!host) return {};
    std::string result(host);
    HeapFree(GetProcessHeap(), 0, host);
    return result;
}

int RunOnHost(const std::string& command) {
    wchar_t folder[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    if (!GetTempPathW(MAX_PATH + 1, folder) || !GetTempFileNameW(folder, L"run", 0, name)) return -1;
    const std::filesystem::path done(name);
    const std::string hostDone = HostPath(done.string());
    DeleteFileW(name);
    if (hostDone.empty() ||
        !StartOnHost({"/bin/sh", "-c", command + "; echo $? >" + hostDone + ".tmp && mv " + hostDone + ".tmp " + hostDone})) {
        return -1;
    }
    if (!WaitFor([&] { return Exists(done.string()); }, 300)) return -1;
    const int status = std::atoi(ReadBytes(done.string()).c_str());
    DeleteFileW(name);
    return status;
}

LocalSmtpServer::LocalSmtpServer(std::string folder, const std::vector<std::string>& refused, Keep keep,
                                 const std::vector<std::string>& options)
    : folder_(std::move(folder)) {
    const std::string portFile = folder_ + "\\smtp-sink.port";
    const std::string host = HostPath(folder_);
    if (host.empty() || !StartOnHost(SinkArguments({"--port-file", host + "/smtp-sink.port", "--stop-file",
                                                    host + "/smtp-sink.stop"},
                                                   keep, options, host, refused))) {
        return;
    }
    pid_ = 1;
    // Python and aiosmtpd take a few seconds to start on a busy machine.
    if (WaitFor([&] { return Exists(portFile); }, 120)) port_ = std::atoi(ReadBytes(portFile).c_str());
}

void LocalSmtpServer::stop() {
    if (pid_ <= 0) return;
    const std::string stopFile = folder_ + "\\smtp-sink.stop";
    WriteBytes(stopFile, "");
    WaitFor([&] { return !Exists(folder_ + "\\smtp-sink.port"); }, 30);
    DeleteFileW(Wide(stopFile).c_str());
    pid_ = -1;
}
#endif
