#include "marqueta/app/CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPixmap>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/VeltaSettings.h"
#include "marqueta/app/AboutBox.h"
#include "marqueta/app/CMarquetaApp.h"
#include "marqueta/app/KeyLockPanes.h"
#include "marqueta/app/ToolTipFilter.h"
#include "marqueta/ui/CRowListView.h"
#include "marqueta/ui/FindBar.h"
#include "marqueta/ui/ScheduleCountPane.h"
#include "marqueta/ui/LocalText.h"

namespace {

const char* const kReady = "Ready";

// View > Show Pictures, kept in Marqueta's section of the settings file: "1" on, else off.
const char* const kPicturesKey = "SHOWPICTURES";

QAction* MakeAction(QObject* parent, const char* objectName, const char* text, const char* prompt) {
    auto* action = new QAction(QString::fromLatin1(text), parent);
    action->setObjectName(QString::fromLatin1(objectName));
    action->setStatusTip(QString::fromLatin1(prompt));
    return action;
}

// The tool-bar faces are one strip of 45 by 15 pixel pictures.
QIcon ToolBarFace(int position) {
    return QIcon(QPixmap(QStringLiteral(":/marqueta/toolbar.png")).copy(position * 45, 0, 45, 15));
}

}  // namespace

CMainFrame::CMainFrame(CMarquetaApp& app, QWidget* parent) : QMainWindow(parent), app_(app) {
    app_.mainFrame = this;
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(QStringLiteral("Marqueta"));
    createActions();
    createKeyboardActions();
    createMenus();
    createToolBar();
    createStatusBar();
    resize(1024, 576);
}

CMainFrame::~CMainFrame() {
    if (app_.mainFrame == this) app_.mainFrame = nullptr;
    app_.catalogue.setStatusPane(nullptr);
}

void CMainFrame::createActions() {
    exitAction_ = MakeAction(this, "exitAction", "E&xit", "Quit the application; prompts to save documents");
    saveAction_ = MakeAction(this, "saveAction", "&Save", "Save the active document");
    aboutAction_ = MakeAction(this, "aboutAction", "&About Marqueta...", "");
    statusBarAction_ = MakeAction(this, "statusBarAction", "&Status Bar", "Show or hide the status bar");
    statusBarAction_->setCheckable(true);
    statusBarAction_->setChecked(true);
    // The tool-bar commands have no prompt of their own.
    addAction_ = MakeAction(this, "addAction", "Add", "");
    deleteAction_ = MakeAction(this, "deleteAction", "Delete", "");
    modifyAction_ = MakeAction(this, "modifyAction", "Modify", "");
    addAction_->setIcon(ToolBarFace(0));
    deleteAction_->setIcon(ToolBarFace(1));
    modifyAction_->setIcon(ToolBarFace(2));

    connect(exitAction_, &QAction::triggered, this, &QWidget::close);
    connect(aboutAction_, &QAction::triggered, this, [this] {
        AboutBox about(this);
        about.exec();
    });
    showPicturesAction_ = MakeAction(this, "showPicturesAction", "Show &Pictures",
                                     "Show each banner's picture at the start of its row");
    showPicturesAction_->setCheckable(true);
    showPicturesAction_->setChecked(ReadVeltaSetting("BANNER", kPicturesKey) == "1");
    connect(statusBarAction_, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
}

// The Edit menu's own items carry the keys and a prompt; the tool-bar buttons stay without one.
void CMainFrame::createKeyboardActions() {
    editAddAction_ = MakeAction(this, "editAddAction", "&Add", "Add a new banner");
    editModifyAction_ = MakeAction(this, "editModifyAction", "&Modify", "Modify the selected banner");
    editDeleteAction_ = MakeAction(this, "editDeleteAction", "&Delete", "Delete the selected banner");
    findAction_ = MakeAction(this, "findAction", "&Find", "Show only the banners that contain a text");
    editAddAction_->setShortcut(QKeySequence(Qt::Key_Insert));
    editModifyAction_->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    editDeleteAction_->setShortcut(QKeySequence(QKeySequence::Delete));
    findAction_->setShortcut(QKeySequence(QKeySequence::Find));
    saveAction_->setShortcut(QKeySequence(QKeySequence::Save));
}

void CMainFrame::createMenus() {
    toolBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBarAction_ = toolBar_->toggleViewAction();
    toolBarAction_->setObjectName(QStringLiteral("toolBarAction"));
    toolBarAction_->setText(QStringLiteral("&Toolbar"));
    toolBarAction_->setStatusTip(QStringLiteral("Show or hide the toolbar"));

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    file->addAction(exitAction_);
    file->addAction(saveAction_);
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("editMenu"));
    edit->addAction(editAddAction_);
    edit->addAction(editModifyAction_);
    edit->addAction(editDeleteAction_);
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    view->addAction(toolBarAction_);
    view->addAction(statusBarAction_);
    view->addSeparator();
    view->addAction(findAction_);
    view->addAction(showPicturesAction_);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    help->addAction(aboutAction_);
}

void CMainFrame::createToolBar() {
    toolBar_->setIconSize(QSize(45, 15));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setFloatable(true);
    toolBar_->setMovable(true);
    toolBar_->addAction(addAction_);
    toolBar_->addSeparator();
    toolBar_->addAction(deleteAction_);
    toolBar_->addSeparator();
    toolBar_->addAction(modifyAction_);
    auto* toolTipFilter = new ToolTipFilter(toolBar_);
    for (QAction* action : {addAction_, deleteAction_, modifyAction_})
        toolBar_->widgetForAction(action)->installEventFilter(toolTipFilter);
    addToolBar(Qt::TopToolBarArea, toolBar_);
}

void CMainFrame::createStatusBar() {
    messagePane_ = new QLabel(QString::fromLatin1(kReady), this);
    messagePane_->setObjectName(QStringLiteral("messagePaneLabel"));
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    statusBar()->addWidget(messagePane_, 1);
    AddKeyLockPanes(*statusBar());
}

void CMainFrame::setView(CRowListView* view) {
    view_ = view;
    // The find field stands above the list, hidden until View > Find.
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientWidget"));
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    findBar_ = new FindBar(client);
    layout->addWidget(findBar_);
    layout->addWidget(view, 1);
    setCentralWidget(client);
    app_.catalogue.setStatusPane(this);
    statusBar()->insertWidget(1, new ScheduleCountPane(view->rowModel(), this));
    connect(findAction_, &QAction::triggered, findBar_, &FindBar::open);
    findBar_->setFilter(&view->rowFilter());
    connect(findBar_, &FindBar::closed, view, [view] { view->setFocus(); });
    connect(editAddAction_, &QAction::triggered, view, &CRowListView::OnAdd);
    connect(editDeleteAction_, &QAction::triggered, view, &CRowListView::OnDelete);
    connect(editModifyAction_, &QAction::triggered, view, &CRowListView::OnModify);
    connect(addAction_, &QAction::triggered, view, &CRowListView::OnAdd);
    connect(deleteAction_, &QAction::triggered, view, &CRowListView::OnDelete);
    connect(modifyAction_, &QAction::triggered, view, &CRowListView::OnModify);
    connect(saveAction_, &QAction::triggered, view, &CRowListView::OnSave);
    view->setShowPictures(showPicturesAction_->isChecked());
    connect(showPicturesAction_, &QAction::toggled, view, [view](bool on) {
        view->setShowPictures(on);
        WriteVeltaSetting("BANNER", kPicturesKey, on ? "1" : "0");
    });
}

void CMainFrame::showMessage(const std::string& text) {
    messagePane_->setText(ToQt(text));
    messagePane_->repaint();
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        messagePane_->setText(tip.isEmpty() ? QString::fromLatin1(kReady) : tip);
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (view_ && !view_->mayClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
