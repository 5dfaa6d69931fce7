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

class CMainFrame : public QMainWindow, public StatusPane {
    Q_OBJECT
public:
    // Becomes app.mainFrame before anything else is made; clears it again when destroyed.
    explicit CMainFrame(CMarquetaApp& app, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The message pane: shown at once.
    void showMessage(const std::string& text) override;
    QString message() const;

    // Puts the list into the client area and wires the tool bar and File > Save to it.
    void setView(CRowListView* view);
    CRowListView* view() const { return view_; }

    QToolBar* toolBar() const { return toolBar_; }
    QAction* exitAction() const { return exitAction_; }
    QAction* saveAction() const { return saveAction_; }
    QAction* toolBarAction() const { return toolBarAction_; }
    QAction* statusBarAction() const { return statusBarAction_; }
    QAction* aboutAction() const { return aboutAction_; }
    QAction* addAction() const { return addAction_; }
    QAction* deleteAction() const { return deleteAction_; }
    QAction* modifyAction() const { return modifyAction_; }
    // The Edit menu's items (with their keys) and View > Find.
    QAction* editAddAction() const { return editAddAction_; }
    QAction* editModifyAction() const { return editModifyAction_; }
    QAction* editDeleteAction() const { return editDeleteAction_; }
    QAction* findAction() const { return findAction_; }
    FindBar* findBar() const { return findBar_; }

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
    FindBar* findBar_ = nullptr;
};
