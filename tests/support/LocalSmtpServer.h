#pragma once
// A real mail server for the tests: tools/smtp_sink.py (aiosmtpd) on a free port of
// 127.0.0.1, storing what it takes in a folder that the test reads. POSIX only.
#include <string>
#include <vector>

#include <sys/types.h>

class LocalSmtpServer {
public:
    // Starts the server; refused are the recipients it answers with 550. A discarding server
    // takes every message and stores none. options go to smtp_sink.py before the folder
    // ("--tls CERT KEY", "--auth USER PASSWORD").
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
    pid_t pid_ = -1;
    int port_ = 0;
};
