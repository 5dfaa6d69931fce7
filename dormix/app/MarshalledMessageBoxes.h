#pragma once
// Message boxes for a scan that runs off the window thread: each box is shown on the thread of
// the window, and the scan waits for its answer.
#include "platform/MessageBox.h"

class QObject;

class MarshalledMessageBoxes : public platform::MessageBoxes {
public:
    // windowObject: any object that lives on the window thread.
    MarshalledMessageBoxes(platform::MessageBoxes& target, QObject* windowObject)
        : target_(target), windowObject_(windowObject) {}
    using MessageBoxes::show;
    platform::Answer show(const std::string& text, const std::string& caption, platform::Buttons buttons,
                          platform::Severity severity) override;

private:
    platform::MessageBoxes& target_;
    QObject* windowObject_;
};
