// Browse: the chosen image's path, folder, extension and, for a nameless banner, its name.
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "marqueta/ui/CBannerEditorDlg.h"
#include "marqueta/ui/OpenFileDialog.h"
#include "marqueta/ui/FileDialogHook.h"
#include "platform/Paths.h"
#include "tests/editor/RunModal.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace {

struct BrowseCase {
    const char* name;
    const char* imageMember;  // the row's banner name
    const char* typed;        // typed into the name edit before Browse; null: nothing typed
    const char* chosenFile;   // relative to the temporary folder; null: Browse cancelled
    const char* image;        // expected afterwards
    const char* ext;
    bool chosen;              // sourceImagePath and lastBrowseDir take the file
};

const BrowseCase kBrowseCases[] = {
    {"new banner takes the file's name", "", nullptr, "pics/logo.gif", "logo.gif", ".gif", true},
    {"a typed name is replaced", "", "my name", "pics/logo.gif", "logo.gif", ".gif", true},
    {"an existing name stays", "*old.gif", nullptr, "pics/new.JPG", "*old.gif", ".JPG", true},
    {"a name without extension", "", nullptr, "pics/readme", "readme", "", true},
    {"the last dot counts", "", nullptr, "pics/a.b.png", "a.b.png", ".png", true},
    {"a dotted folder is no extension", "", nullptr, "pics.d/logo", "logo", "", true},
    {"cancelled", "", nullptr, nullptr, "", ".bmp", false},
    {"an extension with a comma is refused", "", nullptr, "pics/bad.g,if", "", ".bmp", false},
};

}  // namespace

TEST(EditorBrowse, ChosenFileFillsPathFolderExtensionAndName) {
    for (const BrowseCase& c : kBrowseCases) {
        TempDir tmp;
        MarquetaPaths paths;
        paths.lastBrowseDir = "/start/";
        ScriptedMessageBoxes boxes;
        CBannerEditorDlg dlg(paths, boxes);
        BannerRecord shown;
        shown.image = c.imageMember;
        shown.ext = ".bmp";
        shown.company = "Acme";
        shown.product = "Anvil";
        shown.url = "http://acme.example/";
        dlg.setRecord(shown);
        const std::string chosen = c.chosenFile ? tmp.file(c.chosenFile) : std::string();
        if (c.chosenFile) {
            std::filesystem::create_directories(std::filesystem::path(chosen).parent_path());
            WriteBytes(chosen, "GIF89a");
            SetNextChosenImageFile(chosen);
        } else {
            SetNextChosenImageFile(std::nullopt);
        }
        const int result = RunModal(dlg, [&](QWidget* d) {
            auto* edit = d->findChild<QLineEdit*>(QStringLiteral("imageLineEdit"));
            ASSERT_NE(edit, nullptr);
            if (c.typed) edit->setText(QString::fromLatin1(c.typed));
            d->findChild<QPushButton*>(QStringLiteral("browsePushButton"))->click();
            const char* shown = c.typed && !c.chosen ? c.typed : c.image;
            EXPECT_EQ(edit->text().toStdString(), shown) << c.name;
            dlg.accept();
        });
        EXPECT_EQ(result, QDialog::Accepted) << c.name;
        EXPECT_EQ(dlg.record().image, c.image) << c.name;
        EXPECT_EQ(dlg.record().ext, c.ext) << c.name;
        EXPECT_EQ(dlg.chosenImagePath(), c.chosen ? chosen : "") << c.name;
        EXPECT_EQ(paths.lastBrowseDir, c.chosen ? platform::DirectoryOf(chosen) : "/start/") << c.name;
        if (c.chosen) {
            EXPECT_EQ(paths.lastBrowseDir.back(), platform::kSep) << c.name;
        }
        const bool refused = c.chosenFile && !c.chosen;
        ASSERT_EQ(boxes.shown.size(), refused ? 1u : 0u) << c.name;
        if (refused) {
            EXPECT_EQ(boxes.shown[0].text, "Commas not allowed in the image file's extension.");
        }
    }
}

// A file name with a line break would end the catalogue line wherever it went: refused.
TEST(EditorBrowse, AFileNameWithALineBreakIsRefused) {
    TempDir tmp;
    MarquetaPaths paths;
    paths.lastBrowseDir = "/start/";
    ScriptedMessageBoxes boxes;
    CBannerEditorDlg dlg(paths, boxes);
    BannerRecord shown;
    shown.ext = ".bmp";
    dlg.setRecord(shown);
    const std::string chosen = tmp.file("bad\nname.gif");
#ifndef _WIN32  // Windows refuses such a name to every file; the name alone is refused here
    WriteBytes(chosen, "GIF89a");
#endif
    SetNextChosenImageFile(chosen);
    RunModal(dlg, [&](QWidget* d) {
        d->findChild<QPushButton*>(QStringLiteral("browsePushButton"))->click();
        EXPECT_EQ(d->findChild<QLineEdit*>(QStringLiteral("imageLineEdit"))->text(), QString());
        dlg.reject();
    });
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Line breaks not allowed in the image file's name.");
    EXPECT_EQ(dlg.record().image, "");
    EXPECT_EQ(dlg.record().ext, ".bmp");
    EXPECT_EQ(dlg.chosenImagePath(), "");
    EXPECT_EQ(paths.lastBrowseDir, "/start/");
}

TEST(EditorBrowse, EachChoiceOverwritesTheLast) {
    TempDir tmp;
    MarquetaPaths paths;
    ScriptedMessageBoxes boxes;
    CBannerEditorDlg dlg(paths, boxes);
    const std::string first = tmp.file("first.gif");
    std::filesystem::create_directories(tmp.path() / "other");
    const std::string second = tmp.file("other/second.png");
    RunModal(dlg, [&](QWidget* d) {
        auto* browse = d->findChild<QPushButton*>(QStringLiteral("browsePushButton"));
        SetNextChosenImageFile(first);
        browse->click();
        SetNextChosenImageFile(second);
        browse->click();
        dlg.reject();
    });
    EXPECT_EQ(dlg.chosenImagePath(), second);
    EXPECT_EQ(dlg.record().ext, ".png");
    EXPECT_EQ(dlg.record().image, "first.gif") << "the name came from the first choice";
    EXPECT_EQ(paths.lastBrowseDir, tmp.file("other") + platform::kSepText);
}

// The real file-open dialog: one existing file, any name, starting in the last folder.
TEST(EditorBrowse, FileEditorOpensInTheLastFolderAndReturnsTheChosenPath) {
    TempDir tmp;
    const std::string picked = tmp.file("banner.gif");
    WriteBytes(picked, "GIF89a");
    WriteBytes(tmp.file("notes.txt"), "x");
    for (const bool accept : {true, false}) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<OpenFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = true;
            EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
            EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
            EXPECT_EQ(QDir(dialog->directory()).canonicalPath(),
                      QDir(QString::fromLocal8Bit(tmp.path().string())).canonicalPath());
            if (accept) {
                dialog->selectFile(QString::fromLocal8Bit(picked));
                static_cast<QDialog*>(dialog)->accept();
            } else {
                dialog->reject();
            }
        });
        const std::optional<std::string> answer = ChooseImageFile(nullptr, tmp.path().string() + "/");
        EXPECT_TRUE(seen);
        if (accept) {
            ASSERT_TRUE(answer.has_value());
            EXPECT_EQ(std::filesystem::canonical(*answer), std::filesystem::canonical(picked));
        } else {
            EXPECT_FALSE(answer.has_value());
        }
    }
}
