#include "marqueta/app/CMainFrame.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPixmap>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>

#include "marqueta/app/CMarquetaApp.h"
#include "marqueta/app/KeyLockPanes.h"
#include "marqueta/app/NoToolTips.h"
#include "marqueta/ui/CRowListView.h"
#include "marqueta/ui/LocalText.h"

namespace {

const char* const kReady = "Ready";

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
    createMenus();
    createToolBar();
    createStatusBar();
    resize(1024, 576);
}

CMainFrame::~CMainFrame() {
    if (app_.mainFrame == this) app_.mainFrame = nullptr;
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
    connect(aboutAction_, &QAction::triggered, this, [this] { app_.OnAppAbout(); });
    connect(statusBarAction_, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
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
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    view->addAction(toolBarAction_);
    view->addAction(statusBarAction_);
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
    auto* noToolTips = new NoToolTips(toolBar_);
    for (QAction* action : {addAction_, deleteAction_, modifyAction_})
        toolBar_->widgetForAction(action)->installEventFilter(noToolTips);
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
    setCentralWidget(view);
    view->setStatusPane(this);
    connect(addAction_, &QAction::triggered, view, &CRowListView::OnAdd);
    connect(deleteAction_, &QAction::triggered, view, &CRowListView::OnDelete);
    connect(modifyAction_, &QAction::triggered, view, &CRowListView::OnModify);
    connect(saveAction_, &QAction::triggered, view, &CRowListView::OnSave);
}

void CMainFrame::showMessage(const std::string& text) {
    messagePane_->setText(ToQt(text));
    messagePane_->repaint();
}

QString CMainFrame::message() const { return messagePane_->text(); }

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        messagePane_->setText(tip.isEmpty() ? QString::fromLatin1(kReady) : tip);
        return true;
    }
    return QMainWindow::event(event);
}
