// marqueta_screenshots INSTALLATION OUT: runs Marqueta on the installation made by make-demo
// (VELTA.INI in INSTALLATION/windows) and saves the main window and the banner editor, filled
// from the second row, as OUT/main-window.png and OUT/banner-editor.png, and both together (the
// list's schedule states above the editor's preview) as OUT/states-and-preview.png, and the main
// window with View > Show Pictures on as OUT/list-with-pictures.png.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include <QApplication>
#include <QItemSelectionModel>
#include <QPainter>
#include <QPixmap>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include "marqueta/app/MainWindow.h"
#include "marqueta/ui/CBannerEditorDlg.h"
#include "marqueta/ui/CRowListView.h"
#include "tests/support/Portable.h"
#include "tests/support/ScriptedMessageBoxes.h"

namespace {

bool Save(const QPixmap& picture, const std::string& path) {
    const bool saved = picture.save(QString::fromLocal8Bit(path), "PNG");
    std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "wrote" : "could not write", path.c_str());
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: marqueta_screenshots INSTALLATION OUT\n");
        return 2;
    }
    const std::string windir = std::string(argv[1]) + "/windows";
    const std::string out = argv[2];
    setenv("WINDIR", windir.c_str(), 1);
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication qtApp(argc, argv);

    ScriptedMessageBoxes boxes;  // nothing here should ask; what does is printed below
    std::ostringstream trace;
    CMarquetaApp app(boxes, &trace);
    if (!app.InitInstance(1)) {
        for (const std::string& text : boxes.texts()) std::fprintf(stderr, "%s\n", text.c_str());
        return 1;
    }
    std::unique_ptr<CMainFrame> frame = CreateMainWindow(app);
    frame->resize(1100, 360);
    frame->show();
    CRowListView& view = *frame->findChild<CRowListView*>(QStringLiteral("rowListView"));
    if (view.rows().count() > 1)
        view.selectionModel()->select(view.model()->index(1, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QApplication::processEvents();  // the status bar's counts follow the loaded rows
    const QPixmap window = frame->grab();
    bool ok = Save(window, out + "/main-window.png");

    // Pictures on for this one picture only: the installation's settings stay as they were.
    view.setShowPictures(true);
    const auto allRead = [&view] {  // a picture still being read is described by its file name alone
        for (int row = 0; row < view.rows().count(); ++row)
            if (const QString said = view.pictureDescription(row);
                !said.contains(QStringLiteral(", ")) && said != QStringLiteral("No picture"))
                return false;
        return true;
    };
    QElapsedTimer waited;
    waited.start();
    while (!allRead() && waited.elapsed() < 10000) {
        QApplication::processEvents();
        QThread::msleep(5);
    }
    ok = Save(frame->grab(), out + "/list-with-pictures.png") && ok;
    view.setShowPictures(false);

    QTimer::singleShot(0, frame.get(), [&] {
        if (QWidget* editor = QApplication::activeModalWidget()) {
            const QPixmap dialog = editor->grab();
            ok = Save(dialog, out + "/banner-editor.png") && ok;
            QPixmap both(window.width(), window.height() + dialog.height() + 12);
            both.fill(Qt::white);
            QPainter painter(&both);
            painter.drawPixmap(0, 0, window);
            painter.drawPixmap((window.width() - dialog.width()) / 2, window.height() + 12, dialog);
            painter.end();
            ok = Save(both, out + "/states-and-preview.png") && ok;
            editor->close();
        }
    });
    view.EditBanner(view.rows().count() > 1 ? 1 : -1);
    for (const std::string& text : boxes.texts()) std::fprintf(stderr, "asked: %s\n", text.c_str());
    return ok && boxes.shown.empty() ? 0 : 1;
}
