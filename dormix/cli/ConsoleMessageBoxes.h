#pragma once
// The message boxes of a run without a window: problems (errors and warnings) go to standard
// error, results to standard output, and the scan's questions are answered as the command line
// says: the mail-server users' by --tervox, one before something is destroyed by --yes.
#include <cstdio>

#include "platform/MessageBox.h"

class ConsoleMessageBoxes : public platform::MessageBoxes {
public:
    explicit ConsoleMessageBoxes(platform::Answer question = platform::Answer::Failed) : question_(question) {}
    using MessageBoxes::show;
    platform::Answer show(const std::string& text, const std::string& caption, platform::Buttons buttons,
                          platform::Severity severity) override;

    // Where results go; standard error keeps standard output for a machine-readable list.
    void sendResultsTo(std::FILE* stream) { results_ = stream; }

private:
    platform::Answer question_;
    std::FILE* results_ = stdout;
};

// How the command line was asked to print: --quiet keeps only the summary and the problems;
// --format=csv prints the accounts as the Preview saves them, and then standard output holds the
// list alone.
struct OutputStyle {
    bool quiet = false;
    bool csv = false;
    std::FILE* results() const { return csv ? stderr : stdout; }
};

// One line on a stream (standard output unless said), bytes as they are.
void PrintLine(const std::string& line, std::FILE* stream = stdout);
