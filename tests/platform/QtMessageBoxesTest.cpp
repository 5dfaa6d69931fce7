#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/qt/QtMessageBoxes.h"

namespace {

using platform::Answer;
using platform::Buttons;

struct Seen {
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
};

// Shows one box and works it, once it is up, with act; returns the answer and what the box showed.
Answer ShowAndAct(const std::string& text, const std::string& caption, Buttons buttons,
                  const std::function<void(QMessageBox*)>& act, Seen& seen) {
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen = {box->windowTitle(), box->text(), box->standardButtons()};
        act(box);
    });
    platform::QtMessageBoxes boxes;
    return boxes.show(text, caption, buttons);
}

std::function<void(QMessageBox*)> Click(QMessageBox::StandardButton which) {
    return [which](QMessageBox* box) { box->button(which)->click(); };
}

void PressEscape(QMessageBox* box) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(box, &press);
}

TEST(QtMessageBoxes, ShowsTextCaptionAndButtonsAndReturnsTheAnswer) {
    struct Case {
        Buttons buttons;
        std::function<void(QMessageBox*)> act;
        QMessageBox::StandardButtons expectedButtons;
        Answer expected;
    } cases[] = {
        {Buttons::Ok, Click(QMessageBox::Ok), QMessageBox::Ok, Answer::Ok},
        {Buttons::Ok, PressEscape, QMessageBox::Ok, Answer::Ok},
        {Buttons::YesNo, Click(QMessageBox::Yes), QMessageBox::Yes | QMessageBox::No, Answer::Yes},
        {Buttons::YesNo, Click(QMessageBox::No), QMessageBox::Yes | QMessageBox::No, Answer::No},
        {Buttons::YesNoCancel, Click(QMessageBox::No), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
         Answer::No},
        {Buttons::YesNoCancel, PressEscape, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, Answer::Cancel},
    };
    for (const auto& c : cases) {
        Seen seen;
        Answer a = ShowAndAct("Delete user \xC3\xA9l\xC3\xA8ve?", "Dormix", c.buttons, c.act, seen);
        EXPECT_EQ(a, c.expected);
        EXPECT_EQ(seen.title, QStringLiteral("Dormix"));
        EXPECT_EQ(seen.text, QString::fromLocal8Bit("Delete user \xC3\xA9l\xC3\xA8ve?"));
        EXPECT_EQ(seen.buttons, c.expectedButtons);
    }
}

TEST(QtMessageBoxes, AnEmptyCaptionGivesAnEmptyTitle) {
    Seen seen;
    EXPECT_EQ(ShowAndAct("Velta must be installed.", "", Buttons::Ok, Click(QMessageBox::Ok), seen), Answer::Ok);
    EXPECT_EQ(seen.text, QStringLiteral("Velta must be installed."));
    EXPECT_TRUE(seen.title.isEmpty());
}

TEST(QtMessageBoxes, TheChangedFileQuestionAnswersReloadOverwriteOrCancel) {
    for (const auto& [label, expected] : {std::pair{"Reload", Answer::Reload}, std::pair{"Overwrite", Answer::Overwrite},
                                          std::pair{"Cancel", Answer::Cancel}}) {
        Seen seen;
        const auto click = [label = QString::fromLatin1(label)](QMessageBox* box) {
            for (QAbstractButton* button : box->buttons()) if (button->text() == label) button->click();
        };
        EXPECT_EQ(ShowAndAct("Changed.", "", Buttons::ReloadOverwriteCancel, click, seen), expected) << label;
    }
}

}  // namespace
