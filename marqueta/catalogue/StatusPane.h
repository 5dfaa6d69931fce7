#pragma once
#include <string>

// The message pane of the main window's status bar, where the save shows its progress.
class StatusPane {
public:
    virtual ~StatusPane() = default;
    virtual void showMessage(const std::string& text) = 0;  // shown at once
};
