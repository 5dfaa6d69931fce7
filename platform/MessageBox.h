#pragma once
// How the GUI-free core speaks to the user: one modal box, its answer returned.
#include <string>

namespace platform {

// ReloadOverwriteCancel: the question about a file another program changed; its answers are
// Reload, Overwrite and Cancel.
enum class Buttons { Ok, YesNo, YesNoCancel, ReloadOverwriteCancel };
enum class Answer { Ok, Yes, No, Cancel, Failed, Reload, Overwrite };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // text and caption are 8-bit texts of the system code page.
    virtual Answer show(const std::string& text, const std::string& caption, Buttons buttons) = 0;
    Answer ok(const std::string& text, const std::string& caption = {}) {
        return show(text, caption, Buttons::Ok);
    }
};

}  // namespace platform
