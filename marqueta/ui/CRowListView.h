#pragma once
// The banner list and its commands: Add, Delete, Modify, Save, the double-click that edits a
// banner, and the mark on a row's check box that lends the row's icons to the main window.
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "marqueta/catalogue/CatalogueFile.h"
#include "marqueta/catalogue/MarquetaPaths.h"
#include "marqueta/catalogue/StatusPane.h"
#include "marqueta/ui/CListViewEx.h"
#include "platform/MessageBox.h"

class CBannerEditorDlg;

class CRowListView : public CListViewEx {
    Q_OBJECT
public:
    // boxes answers the catalogue's and the publication's questions; status (the main window's
    // message pane) may be given later. The catalogue's trace lines go to trace.
    CRowListView(MarquetaPaths& paths, platform::MessageBoxes& boxes, StatusPane* status = nullptr,
                 RowTableModel::Clock clock = {}, std::ostream* trace = nullptr, QWidget* parent = nullptr);
    ~CRowListView() override;

    void setStatusPane(StatusPane* status) { status_ = status; }

    // Opens a fresh editor filled from the row (empty for -1); true after Submit.
    bool EditBanner(int row);
    // Applies the editor's values to the row, or appends a row for -1, and saves.
    bool PublishBanner(int row);
    // Marks the row (ticked box, its icons on the main window) or, for the marked row, unmarks it.
    void ToggleMark(int row);

    // True when the program may end now: asks first when a change could not be saved.
    bool mayClose();

    // The selected row with the lowest position, or -1.
    int firstSelectedRow() const;
    int markedRow() const { return markedRow_; }
    CBannerEditorDlg* editor() const { return editor_.get(); }
    const std::string& publishedImageName() const { return publishedImageName_; }

public slots:
    void OnAdd();
    void OnDelete();
    void OnModify();
    void OnSave();

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    CatalogueContext context();
    void OnInitialUpdate();
    // Asks, before a command on the row at position row (-1: none) starts, whether the catalogue
    // file may be written. The row's position, in the reloaded list when the user chose to
    // reload; none (after saying why) when the command must not start.
    std::optional<int> rowForCommand(int row);

    MarquetaPaths& paths_;
    platform::MessageBoxes& boxes_;
    StatusPane* status_;
    std::ostream& trace_;
    CatalogueFileState fileState_;
    std::string publishedImageName_;
    std::unique_ptr<CBannerEditorDlg> editor_;
    int markedRow_ = -1;
    bool loaded_ = false;
};
