#include "dormix/cli/ConsoleMessageBoxes.h"

#include <cstdio>

void PrintLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

platform::Answer ConsoleMessageBoxes::show(const std::string& text, const std::string&, platform::Buttons buttons) {
    if (buttons == platform::Buttons::Ok) {
        PrintLine(text);
        return platform::Answer::Ok;
    }
    return question_;
}
