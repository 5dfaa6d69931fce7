#pragma once
// Marqueta's one window: menu, tool bar (Add, Delete, Modify), status bar with the message pane
// and the key-lock panes, and the banner list in its client area. The caption stays "Marqueta".
#include <string>

#include <QMainWindow>

#include "marqueta/catalogue/StatusPane.h"

class CMarquetaApp;
class CRowListView;
class FindBar;
class QAction;
class QLabel;
class QMenu;
class QToolBar;

// Parts carry object names: the actions exitAction, saveAction, toolBarAction, statusBarAction,
// aboutAction, addAction, deleteAction, modifyAction, editAddAction, editModifyAction,
// editDeleteAction, findAction and showPicturesAction; toolBar, findBar, messagePaneLabel and the
// list rowListView.
class CMainFrame : public QMainWindow, public StatusPane {
    Q_OBJECT
public:
    // Becomes app.mainFrame before anything else is made; clears it again when destroyed.
    explicit CMainFrame(CMarquetaApp& app, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The message pane (messagePaneLabel): shown at once.
    void showMessage(const std::string& text) override;

    // Puts the list into the client area and wires the tool bar and File > Save to it.
    void setView(CRowListView* view);

protected:
    // A highlighted menu item's prompt goes into the message pane; "Ready" when there is none.
    bool event(QEvent* event) override;
    // File > Exit and the close box: a list with changes that could not be saved asks first.
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void createKeyboardActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();

    CMarquetaApp& app_;
    CRowListView* view_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* messagePane_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* toolBarAction_ = nullptr;
    QAction* statusBarAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    QAction* addAction_ = nullptr;
    QAction* deleteAction_ = nullptr;
    QAction* modifyAction_ = nullptr;
    QAction* editAddAction_ = nullptr;
    QAction* editModifyAction_ = nullptr;
    QAction* editDeleteAction_ = nullptr;
    QAction* findAction_ = nullptr;
    QAction* showPicturesAction_ = nullptr;
    FindBar* findBar_ = nullptr;
};
