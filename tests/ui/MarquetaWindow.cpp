#include "tests/ui/MarquetaWindow.h"

#include <filesystem>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "marqueta/app/MainWindow.h"
#include "marqueta/catalogue/CatalogueFile.h"
#include "platform/TextMode.h"

std::string CatalogueBytes(const std::vector<Cells>& rows) {
    std::string text;
    for (const Cells& cells : rows) text += catalogueLine(cells);
    return platform::ToCrLf(text);
}

MarquetaWindow::MarquetaWindow(const std::vector<Cells>& catalogue) : windir("WINDIR", dir.file("windows")) {
    std::filesystem::create_directories(dir.file("windows"));
    std::filesystem::create_directories(dir.file("web/banners/images"));
    const std::string web = dir.file("web");
    MarquetaPaths& paths = app.catalogue.paths();
    paths.bannersDir = web + "/banners/";
    paths.imagesDir = web + "/banners/images/";
    paths.dataFilePath = web + "/banners/bannerfile.txt";
    WriteBytes(paths.dataFilePath, CatalogueBytes(catalogue));

    MainWindowOptions options;
    options.clock = [] { return std::time_t{1118836800}; };  // 15 June 2005
    frame = CreateMainWindow(app, options);
    frame->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
}

MarquetaWindow::~MarquetaWindow() { frame.reset(); }

std::string MarquetaWindow::catalogueText() const { return ReadBytes(app.catalogue.paths().dataFilePath); }

void WorkModalDialog(std::function<void(QDialog&)> work) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, tries, work = std::move(work)] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            work(*dialog);
        } else if (++*tries > 2000) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal dialog was shown";
        }
    });
    timer->start();
}
