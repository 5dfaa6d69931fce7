#pragma once
#include "platform/MessageBox.h"

class QWidget;

namespace platform {

// Message boxes shown with QMessageBox; texts converted from the system code page at this edge.
class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* owner = nullptr) : owner_(owner) {}
    using MessageBoxes::show;
    Answer show(const std::string& text, const std::string& caption, Buttons buttons, Severity severity) override;

private:
    QWidget* owner_;
};

}  // namespace platform
