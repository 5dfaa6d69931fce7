// dormix_screenshots INSTALLATION OUT: the preview of Dormix for 30 days, its age chart on top, on
// the installation made by make-demo (VELTA.INI in INSTALLATION/windows), saved as
// OUT/preview-window.png.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include <QApplication>

#include "dormix/app/CPreviewWindow.h"
#include "dormix/scan/RunPlan.h"
#include "tests/support/Portable.h"
#include "tests/support/ScriptedMessageBoxes.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: dormix_screenshots INSTALLATION OUT\n");
        return 2;
    }
    const std::string windir = std::string(argv[1]) + "/windows";
    const std::string out = std::string(argv[2]) + "/preview-window.png";
    setenv("WINDIR", windir.c_str(), 1);
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication qtApp(argc, argv);

    ScriptedMessageBoxes boxes;
    DormixPaths paths;
    if (!LoadDormixPaths(boxes, paths)) {
        std::fprintf(stderr, "%s\n", boxes.texts().front().c_str());
        return 1;
    }
    const std::time_t now = std::time(nullptr);
    AccountAges ages;
    const RunPlan next = PlanRun(30, paths, ReadProtectedAccounts(), now, nullptr, &ages);
    CPreviewWindow preview(next.accounts, 30, now, boxes, nullptr, next.pending);
    preview.showAges(ages);
    preview.resize(760, 620);
    preview.show();
    const bool saved = preview.grab().save(QString::fromLocal8Bit(out), "PNG");
    std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "wrote" : "could not write", out.c_str());
    return saved ? 0 : 1;
}
