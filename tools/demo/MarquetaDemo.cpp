// The banner side of the demo installation: VELTA.INI naming the web folder, a handful of banner
// images drawn here, their pages and a catalogue listing them. The display periods lie around
// the day the demo is made, so that the list shows banners running, ending soon, scheduled and
// expired.
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QString>

#include "marqueta/catalogue/CatalogueFile.h"
#include "marqueta/publish/BannerId.h"
#include "marqueta/publish/PageText.h"
#include "marqueta/publish/PublishBanner.h"
#include "platform/Clock.h"
#include "platform/ProfileFile.h"
#include "platform/SafeWrite.h"
#include "platform/TextMode.h"
#include "tools/demo/Demo.h"

namespace {

struct DemoBanner {
    BannerRecord record;
    const char* slogan;
    QColor from, to;
};

// The date this many days from today, as the editor writes dates.
std::string DayFromToday(int days) {
    const std::time_t now = std::time(nullptr);
    std::tm day{};
    platform::LocalTime(now, day);
    day.tm_mday += days;  // mktime carries the days over into the right month and year
    day.tm_hour = 12;
    day.tm_isdst = -1;
    const std::time_t then = std::mktime(&day);
    return platform::LocalTimeText(then, "%m/%d/%Y");
}

BannerRecord Record(const char* image, const char* company, const char* product, const char* sequence,
                    const char* url, int beginDays, int endDays, const char* rate, int id, const char* ext) {
    return BannerRecord{image,  company, product, sequence, url, DayFromToday(beginDays), DayFromToday(endDays),
                        rate,   FormatBannerId(id), ext};
}

std::vector<DemoBanner> DemoBanners() {
    return {
        {Record("spring-sale.png", "Harbor Outfitters", "Rain Jackets", "1",
                "http://www.harbor-outfitters.example/spring", -90, -15, "0.35", 0x4A2F, ".png"),
         "Rain Jackets - Spring Sale", QColor(0, 70, 140), QColor(90, 170, 230)},
        {Record("coffee.jpg", "Northwind Coffee", "Dark Roast", "2", "http://northwind-coffee.example/dark%20roast",
                -60, 120, "0.20", 0x1C07, ".jpg"),
         "Northwind Dark Roast", QColor(60, 30, 10), QColor(190, 120, 60)},
        {Record("bikes.png", "Velo City Cycles", "Commuter Bike", "1", "http://velocity-cycles.example/",
                -30, 4, "0.50", 0x31D4, ".png"),
         "Ride to work: Velo City", QColor(20, 120, 40), QColor(180, 230, 90)},
        {Record("books.jpg", "Lantern Books", "Summer Reading", "3", "http://lanternbooks.example/summer",
                10, 70, "0.15", 0x0B92, ".jpg"),
         "Lantern Books - Summer Reading", QColor(120, 20, 60), QColor(240, 150, 90)},
        {Record("travel.png", "Bluewave Travel", "Island Tours", "2", "http://bluewave-travel.example/islands",
                -200, -100, "0.45", 0x6E11, ".png"),
         "Island Tours from Bluewave", QColor(0, 110, 130), QColor(120, 220, 210)},
        {Record("garden.jpg", "Greenleaf Garden Centre", "Seed Kits", "10", "http://greenleaf.example/seeds",
                -10, 200, "0.25", 0x52A0, ".jpg"),
         "Greenleaf Seed Kits", QColor(50, 90, 20), QColor(200, 210, 120)},
    };
}

// A 468 by 60 banner: a gradient with the slogan across it.
QImage DrawBanner(const DemoBanner& banner) {
    QImage image(468, 60, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, image.width(), 0);
    gradient.setColorAt(0, banner.from);
    gradient.setColorAt(1, banner.to);
    painter.fillRect(image.rect(), gradient);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(24);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(image.rect().adjusted(12, 0, -12, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     QString::fromLocal8Bit(banner.slogan));
    painter.end();
    return image;
}

}  // namespace

void MakeMarquetaDemo(const std::string& root) {
    const std::string web = root + "/web";
    platform::WriteProfileString(root + "/windows/VELTA.INI", "PROGRAM", "HTMLPATH", web);

    MarquetaPaths paths;
    paths.bannersDir = web + "/banners/";
    paths.imagesDir = web + "/banners/images/";
    std::filesystem::create_directories(paths.imagesDir);

    std::string catalogue;
    for (const DemoBanner& banner : DemoBanners()) {
        const BannerRecord& r = banner.record;
        DrawBanner(banner).save(QString::fromLocal8Bit(bannerImagePath(paths, r.uid, r.ext)));
        platform::WriteFileAtomically(bannerPagePath(paths, r.uid), platform::ToCrLf(pageText(r.url, r.uid + r.ext)));
        catalogue += catalogueLine(r.toCells());
    }
    platform::WriteFileAtomically(paths.bannersDir + "bannerfile.txt", platform::ToCrLf(catalogue));
}
