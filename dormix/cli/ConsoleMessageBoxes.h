#pragma once
// The message boxes of a run without a window: every text goes to standard output, and the
// one question of the scan is answered as the command line says.
#include "platform/MessageBox.h"

class ConsoleMessageBoxes : public platform::MessageBoxes {
public:
    explicit ConsoleMessageBoxes(platform::Answer question = platform::Answer::Failed) : question_(question) {}
    platform::Answer show(const std::string& text, const std::string& caption, platform::Buttons buttons) override;

private:
    platform::Answer question_;
};

// One line on standard output, bytes as they are.
void PrintLine(const std::string& line);
