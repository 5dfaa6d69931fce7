#pragma once
// Message boxes for benchmarks: every question gets the same answer, every notice OK.
#include "platform/MessageBox.h"

class AnswerAlways : public platform::MessageBoxes {
public:
    explicit AnswerAlways(platform::Answer answer) : answer_(answer) {}
    using MessageBoxes::show;
    platform::Answer show(const std::string&, const std::string&, platform::Buttons buttons,
                          platform::Severity) override {
        return buttons == platform::Buttons::Ok ? platform::Answer::Ok : answer_;
    }

private:
    platform::Answer answer_;
};
