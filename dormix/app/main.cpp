// Dormix, the dormant-account remover: one dialog, one scan, then the program ends.
#include <QApplication>

#include "dormix/app/CDormixApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    CDormixApp dormix;
    dormix.InitInstance();
    return 0;
}
