#include "dormix/cli/ConsoleMessageBoxes.h"

void PrintLine(const std::string& line, std::FILE* stream) {
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

platform::Answer ConsoleMessageBoxes::show(const std::string& text, const std::string&, platform::Buttons buttons,
                                           platform::Severity severity) {
    // --yes answers a question before something is destroyed; --tervox the question of the users.
    if (buttons == platform::Buttons::YesNoDefaultNo)
        return question_ == platform::Answer::Failed ? question_ : platform::Answer::Yes;
    if (buttons != platform::Buttons::Ok) return question_;
    const bool problem = severity == platform::Severity::Error || severity == platform::Severity::Warning;
    PrintLine(text, problem ? stderr : results_);
    return platform::Answer::Ok;
}
