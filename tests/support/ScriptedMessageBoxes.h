#pragma once
// A message-box stand-in for tests: records every box and answers from a script.
#include <deque>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

struct ShownBox {
    std::string text;
    std::string caption;
    platform::Buttons buttons;
    platform::Severity severity;
};

class ScriptedMessageBoxes : public platform::MessageBoxes {
public:
    // Answers given in order; when the script runs out, Ok for Ok boxes and Failed otherwise.
    std::deque<platform::Answer> answers;
    std::vector<ShownBox> shown;

    using MessageBoxes::show;
    platform::Answer show(const std::string& text, const std::string& caption, platform::Buttons buttons,
                          platform::Severity severity) override {
        shown.push_back({text, caption, buttons, severity});
        if (!answers.empty()) {
            platform::Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == platform::Buttons::Ok ? platform::Answer::Ok : platform::Answer::Failed;
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& b : shown) out.push_back(b.text);
        return out;
    }
};
