#pragma once
// How the GUI-free core speaks to the user: one modal box, its answer returned.
#include <string>

namespace platform {

// ReloadOverwriteCancel: the question about a file another program changed; its answers are
// Reload, Overwrite and Cancel. YesNoDefaultNo: a question before something is destroyed, whose
// Enter answers No.
enum class Buttons { Ok, YesNo, YesNoCancel, ReloadOverwriteCancel, YesNoDefaultNo };
enum class Answer { Ok, Yes, No, Cancel, Failed, Reload, Overwrite };

// What a box tells: a window picks its icon by it, a console its stream (problems to standard
// error, results to standard output). None is a box that says neither: no icon, a result.
enum class Severity { None, Information, Question, Warning, Error };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // text and caption are 8-bit texts of the system code page.
    virtual Answer show(const std::string& text, const std::string& caption, Buttons buttons, Severity severity) = 0;
    Answer show(const std::string& text, const std::string& caption, Buttons buttons) {
        return show(text, caption, buttons, Severity::None);
    }
    Answer ok(const std::string& text, const std::string& caption = {}) {
        return show(text, caption, Buttons::Ok, Severity::None);
    }
    Answer information(const std::string& text, const std::string& caption = {}) {
        return show(text, caption, Buttons::Ok, Severity::Information);
    }
    Answer warning(const std::string& text, const std::string& caption = {}) {
        return show(text, caption, Buttons::Ok, Severity::Warning);
    }
    Answer error(const std::string& text, const std::string& caption = {}) {
        return show(text, caption, Buttons::Ok, Severity::Error);
    }
};

}  // namespace platform
