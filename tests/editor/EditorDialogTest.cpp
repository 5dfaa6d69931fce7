// The dialog itself: Submit, Cancel, Escape, the controls and their order.
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include "marqueta/ui/CBannerEditorDlg.h"
#include "tests/editor/RunModal.h"
#include "tests/support/ScriptedMessageBoxes.h"

namespace {

QLineEdit* Edit(QWidget* dialog, const char* name) {
    auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(edit, nullptr) << name;
    return edit;
}

QPushButton* Button(QWidget* dialog, const char* name) {
    auto* button = dialog->findChild<QPushButton*>(QString::fromLatin1(name));
    EXPECT_NE(button, nullptr) << name;
    return button;
}

void Type(QWidget* dialog, const char* name, const char* text) { Edit(dialog, name)->setText(QString::fromLatin1(text)); }

class EditorDialog : public ::testing::Test {
protected:
    MarquetaPaths paths;
    ScriptedMessageBoxes boxes;
    CBannerEditorDlg dlg{paths, boxes};

    void FillRow() {
        dlg.setRecord({"*logo.gif", "Acme", "Anvil", "7", "http://acme.example/", "03/07/1999", "1/1/2000", "0.25",
                       "00004A2F", ".gif"});
    }
};

}  // namespace

TEST_F(EditorDialog, ControlsShowTheMembers) {
    FillRow();
    RunModal(dlg, [&](QWidget* d) {
        const std::pair<const char*, const char*> shown[] = {
            {"imageLineEdit", "*logo.gif"}, {"companyLineEdit", "Acme"}, {"productLineEdit", "Anvil"},
            {"sequenceLineEdit", "7"},       {"urlLineEdit", "http://acme.example/"}, {"rateLineEdit", "0.25"},
            {"uidLineEdit", "00004A2F"},
        };
        for (const auto& [name, text] : shown) {
            EXPECT_EQ(Edit(d, name)->text(), QString::fromLatin1(text)) << name;
            EXPECT_EQ(Edit(d, name)->cursorPosition(), 0) << name << " shows the start of its text";
        }
        EXPECT_TRUE(Edit(d, "uidLineEdit")->isReadOnly());
        EXPECT_EQ(d->focusWidget(), Button(d, "browsePushButton"));
        dlg.reject();
    });
}

TEST_F(EditorDialog, FailedChecksShowOneBoxAndKeepTheDialogOpen) {
    FillRow();
    const int result = RunModal(dlg, [&](QWidget* d) {
        Type(d, "companyLineEdit", "Acme, Inc.");
        Type(d, "productLineEdit", "");
        Button(d, "submitPushButton")->click();
        EXPECT_TRUE(dlg.isVisible());
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text,
                  "Commas not allowed in Company field.\nPlease enter a value in the product field.\n");
        EXPECT_EQ(boxes.shown[0].caption, "Program Exiting...");
        EXPECT_EQ(boxes.shown[0].buttons, platform::Buttons::Ok);
        // Nothing entered is cleared.
        EXPECT_EQ(Edit(d, "companyLineEdit")->text(), QStringLiteral("Acme, Inc."));
        EXPECT_EQ(Edit(d, "productLineEdit")->text(), QString());

        Type(d, "companyLineEdit", "Acme Inc.");
        Type(d, "productLineEdit", "Rocket");
        Button(d, "submitPushButton")->click();
        EXPECT_EQ(boxes.shown.size(), 1u);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(dlg.record().company, "Acme Inc.");
    EXPECT_EQ(dlg.record().product, "Rocket");
}

TEST_F(EditorDialog, BannerNameWithACommaIsRefused) {
    FillRow();
    const int result = RunModal(dlg, [&](QWidget* d) {
        Type(d, "imageLineEdit", "logo,new.gif");
        Type(d, "rateLineEdit", "1,5");
        Button(d, "submitPushButton")->click();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, "Commas not allowed in Banner field.\nCommas not allowed in Rate field.\n");
        dlg.reject();
    });
    EXPECT_EQ(result, QDialog::Rejected);
}

// A field is one line: of pasted or dropped text only the first line goes in, as in a
// single-line edit control, so no line break reaches the catalogue or the page.
TEST_F(EditorDialog, PastedLinesKeepOnlyTheirFirstLine) {
    FillRow();
    const int result = RunModal(dlg, [&](QWidget* d) {
        QLineEdit* company = Edit(d, "companyLineEdit");
        company->setCursorPosition(2);  // "Ac|me"
        QApplication::clipboard()->setText(QStringLiteral("x\r\ny\nz"));
        company->paste();
        EXPECT_EQ(company->text(), QStringLiteral("Acxme"));
        EXPECT_EQ(company->cursorPosition(), 3);

        QLineEdit* url = Edit(d, "urlLineEdit");
        url->selectAll();
        QApplication::clipboard()->setText(QStringLiteral("http://new.example/\nsecond line"));
        url->paste();
        EXPECT_EQ(url->text(), QStringLiteral("http://new.example/"));
        Button(d, "submitPushButton")->click();
    });
    ASSERT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(dlg.record().company, "Acxme");
    EXPECT_EQ(dlg.record().url, "http://new.example/");
}

TEST_F(EditorDialog, SubmitReturnsEveryEnteredValue) {
    FillRow();
    const int result = RunModal(dlg, [&](QWidget* d) {
        Type(d, "imageLineEdit", "spring banner");
        Type(d, "companyLineEdit", "  ");
        Type(d, "productLineEdit", "Kettle");
        Type(d, "sequenceLineEdit", "twelve");
        Type(d, "urlLineEdit", "http://b.example/%20x");
        Type(d, "rateLineEdit", "");
        Button(d, "submitPushButton")->click();
    });
    ASSERT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(boxes.shown.empty());
    const BannerRecord expected{"spring banner", "  ",         "Kettle",     "twelve",   "http://b.example/%20x",
                                "03/07/1999",    "01/01/2000", "",           "00004A2F", ".gif"};
    EXPECT_EQ(dlg.record().toCells(), expected.toCells());
    EXPECT_EQ(dlg.chosenImagePath(), "");
}

TEST_F(EditorDialog, CancelAndEscapeReturnTheCancelResult) {
    for (const bool escape : {false, true}) {
        FillRow();
        boxes.shown.clear();
        const int result = RunModal(dlg, [&](QWidget* d) {
            Type(d, "companyLineEdit", "Changed");
            Type(d, "productLineEdit", "");
            if (escape) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QCoreApplication::sendEvent(d, &press);
            } else {
                Button(d, "cancelPushButton")->click();
            }
        });
        EXPECT_EQ(result, QDialog::Rejected) << (escape ? "Escape" : "Cancel");
        EXPECT_EQ(dlg.record().company, "Acme") << "a cancelled edit leaves the members";
        EXPECT_EQ(dlg.record().beginDate, "03/07/1999");
        EXPECT_TRUE(boxes.shown.empty());
    }
}

TEST_F(EditorDialog, TabOrderFollowsTheTemplateAndPassesThePickersBy) {
    RunModal(dlg, [&](QWidget* d) {
        QStringList order;
        QWidget* w = Button(d, "browsePushButton");
        for (int i = 0; i < 40 && order.size() < 10; ++i, w = w->nextInFocusChain()) {
            if (w->parentWidget() == d && (w->focusPolicy() & Qt::TabFocus)) order << w->objectName();
        }
        EXPECT_EQ(order, QStringList({QStringLiteral("browsePushButton"), QStringLiteral("imageLineEdit"),
                                      QStringLiteral("companyLineEdit"), QStringLiteral("productLineEdit"),
                                      QStringLiteral("sequenceLineEdit"), QStringLiteral("urlLineEdit"),
                                      QStringLiteral("rateLineEdit"), QStringLiteral("submitPushButton"),
                                      QStringLiteral("cancelPushButton"), QStringLiteral("uidLineEdit")}));
        for (const char* name : {"beginDateEdit", "endDateEdit"}) {
            auto* picker = d->findChild<QDateEdit*>(QString::fromLatin1(name));
            ASSERT_NE(picker, nullptr);
            EXPECT_EQ(picker->focusPolicy(), Qt::ClickFocus) << name;
            EXPECT_EQ(picker->displayFormat(), QStringLiteral("MM/dd/yyyy")) << name;
        }
        dlg.reject();
    });
}

TEST_F(EditorDialog, CaptionFrameButtonsAndLabels) {
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Banner Editor"));
    const Qt::WindowFlags flags = dlg.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
    EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize()) << "fixed size";
    EXPECT_EQ(Button(&dlg, "browsePushButton")->text(), QStringLiteral("Browse..."));
    EXPECT_EQ(Button(&dlg, "submitPushButton")->text(), QStringLiteral("Submit"));
    EXPECT_TRUE(Button(&dlg, "submitPushButton")->isDefault());
    EXPECT_EQ(Button(&dlg, "cancelPushButton")->text(), QStringLiteral("Cancel"));

    const std::pair<const char*, const char*> labelled[] = {
        {"Banner Image", "imageLineEdit"},       {"Company Name", "companyLineEdit"},
        {"Product Name", "productLineEdit"},     {"Group Sequence Number", "sequenceLineEdit"},
        {"URL Link", "urlLineEdit"},             {"Begin Display Date", "beginDateEdit"},
        {"End Display Date", "endDateEdit"},     {"Billing Rate", "rateLineEdit"},
        {"Unique ID", "uidLineEdit"},
    };
    const QList<QLabel*> labels = dlg.findChildren<QLabel*>();
    for (const auto& [text, field] : labelled) {
        QWidget* buddy = dlg.findChild<QWidget*>(QString::fromLatin1(field));
        ASSERT_NE(buddy, nullptr) << field;
        EXPECT_EQ(buddy->accessibleName(), QString::fromLatin1(text));
        const auto label = std::find_if(labels.begin(), labels.end(), [&](QLabel* l) { return l->buddy() == buddy; });
        ASSERT_NE(label, labels.end()) << text;
        EXPECT_EQ((*label)->text(), QString::fromLatin1(text));
        EXPECT_TRUE((*label)->alignment() & Qt::AlignRight) << text;
        EXPECT_EQ((*label)->geometry().center().y(), buddy->geometry().center().y()) << text;
        EXPECT_LT((*label)->geometry().right(), buddy->geometry().left()) << text << " stands left of its field";
    }
}

// The template is 364 by 228 dialog units; a dialog unit across is half as many pixels as
// one down (a quarter of the average width against an eighth of the height), more or less.
// The banner preview takes a strip below the template.
TEST_F(EditorDialog, LayoutKeepsTheTemplateProportions) {
    const QRect browse = Button(&dlg, "browsePushButton")->geometry();
    const QRect image = Edit(&dlg, "imageLineEdit")->geometry();
    const QRect submit = Button(&dlg, "submitPushButton")->geometry();
    const QRect cancel = Button(&dlg, "cancelPushButton")->geometry();
    const QRect uid = Edit(&dlg, "uidLineEdit")->geometry();
    const double perDluX = dlg.width() / 364.0;
    const double perDluY = dlg.findChild<QWidget*>(QStringLiteral("bannerPreview"))->y() / 228.0;
    auto near = [](double actual, double expected) { return std::abs(actual - expected) <= 2.0; };
    EXPECT_TRUE(near(image.x(), 111 * perDluX)) << image.x();
    EXPECT_TRUE(near(image.width(), 157 * perDluX)) << image.width();
    EXPECT_TRUE(near(browse.x(), 274 * perDluX)) << browse.x();
    EXPECT_TRUE(near(submit.y(), 189 * perDluY)) << submit.y();
    EXPECT_TRUE(near(cancel.y(), 207 * perDluY)) << cancel.y();
    EXPECT_TRUE(near(uid.y(), 179 * perDluY)) << uid.y();
    EXPECT_EQ(image.y(), browse.y());
    EXPECT_GT(browse.x(), image.right()) << "Browse stands right of the name";
    EXPECT_LE(cancel.bottom(), dlg.height());
    EXPECT_LE(submit.right(), dlg.width());
    for (QWidget* child : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(dlg.rect().contains(child->geometry())) << child->objectName().toStdString();
}
