#pragma once
#include <QString>

class QCoreApplication;

namespace platform {

// --help and --version are answered before any window system is opened, so that both work without
// a display: when either is among the arguments this prints the usage text or the program's name
// and version (QCoreApplication's) and ends the process with status 0; else it returns.
void AnswerHelpOrVersion(int argc, char** argv, const QString& description);

// After the application took its own options: false, with the unexpected argument and the usage
// text on standard error, when any argument is left.
bool NoOtherArguments(const QCoreApplication& app, const QString& description);

// The package and its version, for the About boxes: "marqueta-dormix 2.0.0.5".
QString PackageVersionText();

}  // namespace platform
