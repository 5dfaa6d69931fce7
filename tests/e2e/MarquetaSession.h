#pragma once
// The whole program in the test process: start-up, the main window with the banner list, and the
// operator's hand on the tool bar, the menu, the mouse and the editor dialog.
#include <ctime>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "marqueta/app/CMainFrame.h"
#include "marqueta/app/CMarquetaApp.h"
#include "marqueta/catalogue/BannerRecord.h"
#include "tests/support/ScriptedMessageBoxes.h"

class CBannerEditorDlg;
class CRowListView;
class QAction;

class MarquetaSession {
public:
    // The clock fixes "today" for rows without a date; the seed fixes the ids drawn.
    explicit MarquetaSession(std::uint32_t seed = 4711);
    ~MarquetaSession();

    // Start-up; when it succeeds, the main window is made and shown (the list loads then).
    bool start();

    ScriptedMessageBoxes boxes;
    std::ostringstream trace;
    CMarquetaApp app{boxes, &trace};

    CMainFrame& frame() const { return *frame_; }
    CRowListView& view() const;
    int rowCount() const;
    Cells row(int position) const;

    // Presses a tool-bar button or chooses a menu item, as the operator would.
    void press(QAction* action);
    // A click on a row's text (with Ctrl it adds the row to the selection).
    void clickRow(int position, bool control = false);
    // A press of the left button on the row's check-box area.
    void pressStateImage(int position);
    // A double-click on the row, or below the last row for -1.
    void doubleClick(int position);
    // A click on a column heading.
    void clickHeading(int column);

    // work runs while the editor is open and must close it; the command that opens it runs next.
    void whenEditorOpens(std::function<void(CBannerEditorDlg&)> work);
    bool editorOpened() const { return editorOpened_; }

private:
    std::uint32_t seed_;
    std::unique_ptr<CMainFrame> frame_;
    bool editorOpened_ = false;
};

// Editor helpers: type into a field by its object name, press a button by its object name.
void TypeInto(CBannerEditorDlg& editor, const char* field, const std::string& text);
std::string FieldText(CBannerEditorDlg& editor, const char* field);
void PressButton(CBannerEditorDlg& editor, const char* button);
