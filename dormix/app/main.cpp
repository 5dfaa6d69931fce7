// Dormix, the dormant-account remover: one dialog, one scan, then the program ends.
#include <QApplication>

#include "dormix/app/CDormixApp.h"
#include "platform/qt/HelpAndVersion.h"

int main(int argc, char** argv) {
    QCoreApplication::setApplicationVersion(QStringLiteral(VELTA_VERSION));
    platform::AnswerHelpOrVersion(argc, argv, QStringLiteral("Removes the dormant accounts of a Velta web-mail installation."));
    QApplication application(argc, argv);
    CDormixApp dormix;
    dormix.InitInstance();
    return 0;
}
