// The window keeps the catalogue's bytes: 8-bit fields survive an edit of another field, and a
// catalogue that was not read whole is never written over.
#include <QApplication>
#include <QDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "marqueta/ui/LocalText.h"
#include "platform/FaultInjection.h"
#include "tests/ui/MarquetaWindow.h"

namespace {

// As the product writes it on Windows, in Windows-1252: "Bannière", "Société", "Café".
const Cells kEightBitRow = {"Banni\xE8re", "Soci\xE9t\xE9", "Caf\xE9", "3", "http://example.com/",
                            "01/02/1999", "12/31/1999", "10", "00000101", ".gif"};

}  // namespace

TEST(CatalogueBytes, AnEditKeepsTheBytesAndTheEncodingOfEightBitFields) {
    const std::tuple<const char*, QString, Field, std::string> cases[] = {
        {"rateLineEdit", QStringLiteral("12"), Rate, "12"},
        {"companyLineEdit", QString::fromUtf8("Soci\xC3\xA9t\xC3\xA9 G\xC3\xA9n\xC3\xA9rale"), Company,
         "Soci\xE9t\xE9 G\xE9n\xE9rale"},
    };
    for (const auto& [field, typed, column, stored] : cases) {
        MarquetaWindow w({kEightBitRow});
        w.view().selectionModel()->select(w.view().shownIndex(0), QItemSelectionModel::Select);
        QString shown;
        WorkModalDialog([&](QDialog& d) {
            shown = d.findChild<QLineEdit*>(QStringLiteral("companyLineEdit"))->text();
            d.findChild<QLineEdit*>(QString::fromLatin1(field))->setText(typed);
            d.findChild<QPushButton*>(QStringLiteral("submitPushButton"))->click();
        });
        w.view().OnModify();

        EXPECT_EQ(shown, QString::fromUtf8("Soci\xC3\xA9t\xC3\xA9"));
        Cells expected = kEightBitRow;
        expected[column] = stored;
        EXPECT_EQ(w.catalogueText(), CatalogueBytes({expected})) << field;
    }
}

TEST(CatalogueBytes, NoCommandWritesOverACatalogueThatWasNotReadWhole) {
    platform::fault::FailAt(platform::fault::Step::Read, 1);
    MarquetaWindow w({kEightBitRow});
    platform::fault::Reset();
    const std::string path = w.app.paths.dataFilePath, before = w.catalogueText();
    EXPECT_EQ(w.boxes.texts().at(0).rfind("Unable to open file " + path + ". Reason: ", 0), 0u);

    QDialog* editorOpened = nullptr;  // a refused Add opens no editor; one opened by mistake is closed
    QTimer::singleShot(0, [&] {
        if ((editorOpened = qobject_cast<QDialog*>(QApplication::activeModalWidget()))) editorOpened->reject();
    });
    w.view().OnAdd();
    QApplication::processEvents();
    w.view().OnDelete();
    w.view().OnSave();

    EXPECT_EQ(editorOpened, nullptr);
    const std::string refusal = "Nothing was written: the catalogue file " + path +
                                " was not read whole. Start Marqueta again once the file can be read.";
    EXPECT_EQ(w.boxes.texts(), (std::vector<std::string>{w.boxes.texts().at(0), refusal, refusal, refusal}));
    EXPECT_EQ(w.catalogueText(), before);
}

TEST(CatalogueBytes, EightBitTextShowsAndGoesBackInItsOwnEncoding) {
    // UTF-8 ending beyond ASCII; Windows-1252 with a lead byte below 0xC2, the euro sign, y with diaeresis.
    for (const std::string bytes : {"Caf\xC3\xA9", "\xC1\xA9", "\x80", "\xFF"}) {
        const QString shown = bytes.size() == 5 ? QString::fromUtf8(bytes.c_str()) : QString::fromLatin1(bytes.c_str());
        EXPECT_EQ(ToQt(bytes), bytes == "\x80" ? QString(QChar(0x20AC)) : shown) << bytes;
        EXPECT_EQ(FromQt(ToQt(bytes) + QLatin1Char('!'), bytes), bytes + '!') << "an edit keeps the encoding";
    }
}
