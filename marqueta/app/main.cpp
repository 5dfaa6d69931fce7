// Marqueta: the banner catalogue editor of a Velta web-mail installation.
#include <QApplication>
#include <QIcon>

#include "marqueta/app/CMarquetaApp.h"
#include "marqueta/app/MainWindow.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/qt/HelpAndVersion.h"
#include "platform/qt/QtMessageBoxes.h"

int main(int argc, char** argv) {
    platform::UseParentConsole();  // --help and --version print there
    QCoreApplication::setApplicationName(QStringLiteral("Marqueta"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELTA_VERSION));
    const QString description = QStringLiteral("The banner catalogue editor of a Velta web-mail installation.");
    platform::AnswerHelpOrVersion(argc, argv, description);

    QApplication qtApp(argc, argv);
    if (!platform::NoOtherArguments(qtApp, description)) return 2;
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/marqueta/marqueta.png")));

    platform::QtMessageBoxes boxes;
    CMarquetaApp app(boxes);
    if (!app.InitInstance(platform::TickCount())) return 1;

    std::unique_ptr<CMainFrame> frame = CreateMainWindow(app);
    frame->show();
    return QApplication::exec();
}
