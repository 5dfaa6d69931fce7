// Marqueta's list with View > Show Pictures at 100,000 rows naming 2,000 different images: the
// first frame after start-up and the time of each page while scrolling the whole list, beside the
// same with pictures off in the same run. Goals: the first frame within 1.2 times pictures off, and
// no frame slower than 16 ms once the pictures are cached.
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include "marqueta/app/CMainFrame.h"
#include "marqueta/app/CMarquetaApp.h"
#include "marqueta/publish/BannerId.h"
#include "marqueta/ui/CRowListView.h"
#include "platform/MessageBox.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRows = 100000;
constexpr int kImages = 2000;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The interface thread's own processor time: what a frame costs however busy the machine is.
double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

class SilentBoxes : public platform::MessageBoxes {
public:
    using MessageBoxes::show;
    platform::Answer show(const std::string& text, const std::string&, platform::Buttons, platform::Severity) override {
        std::fprintf(stderr, "asked: %s\n", text.c_str());
        return platform::Answer::Ok;
    }
};

// The list, timing every paint of its rows.
class TimedList : public CRowListView {
public:
    using CRowListView::CRowListView;
    Clock::time_point firstPaintEnd{};
    double lastPaintMs = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        const Clock::time_point start = Clock::now();
        CRowListView::paintEvent(event);
        const Clock::time_point end = Clock::now();
        lastPaintMs = Ms(end - start);
        if (firstPaintEnd == Clock::time_point{}) firstPaintEnd = end;
    }
};

std::filesystem::path Folder() { return std::filesystem::temp_directory_path() / "velta-list-pictures-bench"; }

// 2,000 banners of 468 by 60 pixels, each its own colour and number, and 100,000 rows naming them.
void MakeInstallation() {
    const std::filesystem::path images = Folder() / "web" / "banners" / "images";
    std::filesystem::create_directories(images);
    std::filesystem::create_directories(Folder() / "windows");
    for (int i = 0; i < kImages; ++i) {
        QImage banner(468, 60, QImage::Format_RGB32);
        banner.fill(QColor::fromHsv(i * 37 % 360, 160, 230));
        QPainter painter(&banner);
        painter.drawText(banner.rect(), Qt::AlignCenter, QStringLiteral("Banner %1").arg(i));
        painter.end();
        banner.save(QString::fromStdString((images / (FormatBannerId(i) + ".png")).string()), "PNG");
    }
    std::ofstream out(Folder() / "web" / "banners" / "bannerfile.txt", std::ios::binary | std::ios::trunc);
    char line[256];
    for (int i = 0; i < kRows; ++i) {
        std::snprintf(line, sizeof line, "banner%d.png,Company %d,Product %d,%d,http://www.example%d.com/,"
                      "%02d/%02d/2024,12/31/2030,0.%02d,%s,.png,\r\n", i, i % 977, i % 313, i % 50, i, 1 + i % 12,
                      1 + i % 28, i % 100, FormatBannerId(i % kImages).c_str());
        out << line;
    }
}

void WriteSettings(bool pictures) {
    std::ofstream ini(Folder() / "windows" / "VELTA.INI", std::ios::binary | std::ios::trunc);
    ini << "[PROGRAM]\r\nHTMLPATH=" << (Folder() / "web").string() << "\r\n[BANNER]\r\nSHOWPICTURES="
        << (pictures ? "1" : "0") << "\r\n";
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Figures {
    double firstFrameMs = 0;   // start-up (settings, catalogue, window) to the end of the list's first paint
    double firstPaintMs = 0;   // that paint alone
    double coldMedianMs = 0, coldWorstMs = 0;  // the first scroll through the list
    double medianMs = 0, worstMs = 0;          // the second, pictures cached
    double cpuMedianMs = 0, cpuWorstMs = 0;    // the second, the interface thread's processor time
    int pages = 0;
    qsizetype cachedBytes = 0;
};

// Every page of the list, top to bottom; each frame is the scroll and the paint it needs. With
// waitForPictures, each page waits for its pictures before the next (filling the cache).
struct Frames {
    std::vector<double> wall, cpu;
};

Frames ScrollThrough(TimedList& list, bool waitForPictures) {
    QScrollBar* bar = list.verticalScrollBar();
    bar->setValue(0);
    QApplication::processEvents();
    Frames frames;
    for (int value = 0;; value += bar->pageStep()) {
        const Clock::time_point start = Clock::now();
        const double cpuStart = ThreadCpuMs();
        bar->setValue(value);
        list.viewport()->repaint();
        frames.cpu.push_back(ThreadCpuMs() - cpuStart);
        frames.wall.push_back(Ms(Clock::now() - start));
        if (waitForPictures && list.pictures()) {
            const Clock::time_point limit = Clock::now() + std::chrono::seconds(5);
            for (bool all = false; !all && Clock::now() < limit;) {
                QApplication::processEvents(QEventLoop::AllEvents, 5);
                all = true;
                for (int row = list.indexAt(QPoint(1, 1)).row(); all && row >= 0 && row < list.model()->rowCount(); ++row) {
                    if (list.visualRect(list.model()->index(row, 0)).top() > list.viewport()->height()) break;
                    all = !list.pictureDescription(list.rowOf(list.model()->index(row, 0))).endsWith(QStringLiteral(".png"));
                }
            }
        } else {
            QApplication::processEvents();
        }
        if (value >= bar->maximum()) break;
    }
    return frames;
}

Figures Run(bool pictures, bool scroll) {
    WriteSettings(pictures);
    Figures f;
    SilentBoxes boxes;
    std::ostringstream trace;
    const Clock::time_point start = Clock::now();
    CMarquetaApp app(boxes, &trace);
    if (!app.InitInstance(1)) std::exit(1);
    auto frame = std::make_unique<CMainFrame>(app);
    auto* list = new TimedList(app.catalogue);
    frame->setView(list);
    frame->show();
    while (list->firstPaintEnd == Clock::time_point{}) QApplication::processEvents();
    f.firstFrameMs = Ms(list->firstPaintEnd - start);
    f.firstPaintMs = list->lastPaintMs;
    if (list->rows().count() != kRows || list->showPictures() != pictures) std::exit(1);
    if (!scroll) return f;
    const std::vector<double> cold = ScrollThrough(*list, pictures).wall;
    const Frames warmFrames = ScrollThrough(*list, false);
    const std::vector<double>& warm = warmFrames.wall;
    f.cpuMedianMs = Median(warmFrames.cpu);
    f.cpuWorstMs = *std::max_element(warmFrames.cpu.begin(), warmFrames.cpu.end());
    f.pages = static_cast<int>(warm.size());
    f.coldMedianMs = Median(cold);
    f.coldWorstMs = *std::max_element(cold.begin(), cold.end());
    f.medianMs = Median(warm);
    f.worstMs = *std::max_element(warm.begin(), warm.end());
    f.cachedBytes = list->pictures() ? list->pictures()->cachedBytes() : 0;
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("WINDIR", (Folder() / "windows").string().c_str(), 1);
    QApplication qtApp(argc, argv);
    std::filesystem::remove_all(Folder());
    MakeInstallation();

    // Start-ups alternate so that neither side has the warmer file cache; the median of five each.
    std::vector<double> firstOff, firstOn, paintOff, paintOn;
    Run(false, false);  // reads the files once
    for (int i = 0; i < 5; ++i) {
        const Figures off = Run(false, false), on = Run(true, false);
        firstOff.push_back(off.firstFrameMs);
        firstOn.push_back(on.firstFrameMs);
        paintOff.push_back(off.firstPaintMs);
        paintOn.push_back(on.firstPaintMs);
    }
    const Figures off = Run(false, true), on = Run(true, true);

    std::printf("%d rows naming %d images (median of 5 start-ups; frames of every page, ms; wall time unless\n"
                "marked CPU, the interface thread's own processor time)\n", kRows, kImages);
    std::printf("%-38s %10s %10s %8s\n", "", "off", "on", "on/off");
    const auto row = [](const char* what, double a, double b) {
        std::printf("%-38s %10.2f %10.2f %8.2f\n", what, a, b, a > 0 ? b / a : 0);
    };
    row("first frame after start-up", Median(firstOff), Median(firstOn));
    row("  of which the first paint", Median(paintOff), Median(paintOn));
    row("scrolling, first pass: median", off.coldMedianMs, on.coldMedianMs);
    row("scrolling, first pass: worst", off.coldWorstMs, on.coldWorstMs);
    row("scrolling, cached: median", off.medianMs, on.medianMs);
    row("scrolling, cached: worst", off.worstMs, on.worstMs);
    row("scrolling, cached: median (CPU)", off.cpuMedianMs, on.cpuMedianMs);
    row("scrolling, cached: worst (CPU)", off.cpuWorstMs, on.cpuWorstMs);
    std::printf("pages: off %d, on %d; pictures cached: %.1f MB\n", off.pages, on.pages,
                static_cast<double>(on.cachedBytes) / (1 << 20));
    std::filesystem::remove_all(Folder());
    return 0;
}
