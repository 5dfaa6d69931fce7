#pragma once
// A real mail server for the tests: tools/smtp_sink.py (aiosmtpd) on a free port of
// 127.0.0.1, storing what it takes in a folder that the test reads. On POSIX, and under Wine,
// where the Windows test program starts the Linux server through Wine and reaches it on
// 127.0.0.1 (not on Windows itself).
#include <string>
#include <vector>

#include <sys/types.h>

// The path on the machine that runs the server and the host's commands: the path itself on POSIX,
// its Linux path under Wine (empty when it has none).
std::string HostPath(const std::string& path);
// Runs a shell command there and returns its exit status (-1 when it cannot be run).
int RunOnHost(const std::string& command);

class LocalSmtpServer {
public:
    // Starts the server; refused are the recipients it answers with 550. A discarding server
    // takes every message and stores none. options go to smtp_sink.py before the folder
    // ("--tls CERT KEY" with HostPath's paths, "--auth USER PASSWORD").
    enum class Keep { Messages, Nothing };
    explicit LocalSmtpServer(std::string folder, const std::vector<std::string>& refused = {},
                             Keep keep = Keep::Messages, const std::vector<std::string>& options = {});
    ~LocalSmtpServer();
    LocalSmtpServer(const LocalSmtpServer&) = delete;
    LocalSmtpServer& operator=(const LocalSmtpServer&) = delete;

    int port() const { return port_; }
    std::string url() const;  // "smtp://127.0.0.1:PORT"
    void stop();              // the port then refuses connections

    // The messages it took, in order, as received.
    std::vector<std::string> messages() const;
    int connections() const;

private:
    std::string folder_;
    pid_t pid_ = -1;  // under Wine only a mark: positive while the server runs
    int port_ = 0;
};
