// Dormix, the dormant-account remover: one dialog, one scan, then the program ends. With
// arguments it runs without a window (see DormixCommandLine.h).
#include <ctime>

#include <QApplication>

#include "dormix/app/CDormixApp.h"
#include "dormix/cli/DormixCommandLine.h"
#include "platform/Console.h"

int main(int argc, char** argv) {
    platform::UseParentConsole();
    if (argc > 1) {
        QCoreApplication application(argc, argv);
        QCoreApplication::setApplicationVersion(QStringLiteral(VELTA_VERSION));
        return RunDormixCommandLine(QCoreApplication::arguments(), std::time(nullptr));
    }
    QApplication application(argc, argv);
    CDormixApp dormix;
    dormix.InitInstance();
    return 0;
}
