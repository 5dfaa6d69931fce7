#include "tests/e2e/MarquetaSession.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

#include "marqueta/app/MainWindow.h"
#include "marqueta/ui/CBannerEditorDlg.h"
#include "marqueta/ui/CRowListView.h"
#include "tests/support/Named.h"

namespace {

void SendMouse(QWidget* target, QEvent::Type type, const QPoint& at, Qt::KeyboardModifiers modifiers) {
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, modifiers);
    QApplication::sendEvent(target, &event);
}

void Click(QWidget* target, const QPoint& at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    SendMouse(target, QEvent::MouseButtonPress, at, modifiers);
    SendMouse(target, QEvent::MouseButtonRelease, at, modifiers);
}

// A fixed day, so that rows without a date sort the same on every run.
std::time_t FixedNow() { return 1086350400; }  // 4 June 2004

}  // namespace

MarquetaSession::MarquetaSession(std::uint32_t seed) : seed_(seed) {}

MarquetaSession::~MarquetaSession() = default;

bool MarquetaSession::start() {
    if (!app.InitInstance(seed_)) return false;
    MainWindowOptions options;
    options.clock = FixedNow;
    frame_ = CreateMainWindow(app, options);
    frame_->show();
    return true;
}

CRowListView& MarquetaSession::view() const {
    return *frame_->findChild<CRowListView*>(QStringLiteral("rowListView"));
}

int MarquetaSession::rowCount() const { return view().rows().count(); }

Cells MarquetaSession::row(int position) const { return view().rows().row(position).cells; }

void MarquetaSession::press(QAction* action) {
    QWidget* button = Named<QToolBar>(*frame_, "toolBar")->widgetForAction(action);
    if (auto* toolButton = qobject_cast<QAbstractButton*>(button)) {
        toolButton->click();
    } else {
        action->trigger();  // a menu item
    }
}

void MarquetaSession::clickRow(int position, bool control) {
    const QRect label = view().rowLayout(position).label;
    Click(view().viewport(), label.center(), control ? Qt::ControlModifier : Qt::NoModifier);
}

void MarquetaSession::pressStateImage(int position) {
    Click(view().viewport(), view().rowLayout(position).stateImage.center());
}

void MarquetaSession::doubleClick(int position) {
    QPoint at;
    if (position >= 0) {
        at = view().rowLayout(position).label.center();
    } else {
        const int last = rowCount() - 1;
        const int below = last >= 0 ? view().rowLayout(last).bounds.bottom() + 10 : 10;
        at = QPoint(40, below);
        EXPECT_LT(below, view().viewport()->height()) << "room below the last row";
    }
    SendMouse(view().viewport(), QEvent::MouseButtonDblClick, at, Qt::NoModifier);
}

void MarquetaSession::clickHeading(int column) {
    QHeaderView* heading = view().header();
    const QPoint at(heading->sectionViewportPosition(column) + heading->sectionSize(column) / 2,
                    heading->height() / 2);
    Click(heading->viewport(), at);
}

void MarquetaSession::whenEditorOpens(std::function<void(CBannerEditorDlg&)> work) {
    editorOpened_ = false;
    QTimer::singleShot(0, frame_.get(), [this, work = std::move(work)] {
        auto* editor = qobject_cast<CBannerEditorDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr) << "the editor is open";
        editorOpened_ = true;
        work(*editor);
        if (editor->isVisible()) {
            ADD_FAILURE() << "the editor was left open";
            editor->reject();
        }
    });
}

void TypeInto(CBannerEditorDlg& editor, const char* field, const std::string& text) {
    auto* edit = editor.findChild<QLineEdit*>(QString::fromLatin1(field));
    ASSERT_NE(edit, nullptr) << field;
    edit->setText(QString::fromLocal8Bit(text));
}

std::string FieldText(CBannerEditorDlg& editor, const char* field) {
    auto* edit = editor.findChild<QLineEdit*>(QString::fromLatin1(field));
    EXPECT_NE(edit, nullptr) << field;
    return edit ? edit->text().toLocal8Bit().toStdString() : std::string();
}

void PressButton(CBannerEditorDlg& editor, const char* button) {
    auto* push = editor.findChild<QPushButton*>(QString::fromLatin1(button));
    ASSERT_NE(push, nullptr) << button;
    push->click();
}
