#include "platform/qt/HelpAndVersion.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

void AddHelpAndVersion(QCommandLineParser& parser, const QString& description) {
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    parser.addVersionOption();
}

bool AsksForHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        for (const char* flag : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], flag) == 0) return true;
        }
    }
    return false;
}

}  // namespace

void AnswerHelpOrVersion(int argc, char** argv, const QString& description) {
    if (!AsksForHelpOrVersion(argc, argv)) return;
    QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    AddHelpAndVersion(parser, description);
    if (!parser.parse(core.arguments()) || parser.isSet(QStringLiteral("help-all"))) {
        parser.process(core);  // says what is wrong, or shows Qt's own options too, and ends the process
    }
    // Printed here rather than by the parser: Qt for Windows puts them in a message box, or
    // nowhere, for a program with windows.
    const QString text = parser.isSet(QStringLiteral("version"))
                             ? QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n'
                             : parser.helpText();
    std::fputs(qPrintable(text), stdout);
    std::fflush(stdout);
    std::exit(EXIT_SUCCESS);
}

bool NoOtherArguments(const QCoreApplication& app, const QString& description) {
    QCommandLineParser parser;
    AddHelpAndVersion(parser, description);
    const bool parsed = parser.parse(app.arguments());
    if (parsed && parser.positionalArguments().isEmpty()) return true;
    const QString problem = parsed ? QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first())
                                   : parser.errorText();
    std::fprintf(stderr, "%s\n\n%s", qPrintable(problem), qPrintable(parser.helpText()));
    return false;
}

QString PackageVersionText() {
    return QStringLiteral("marqueta-dormix " VELTA_VERSION);
}

}  // namespace platform
