#pragma once
// The banner list and its commands: Add, Delete, Modify, Save, the double-click that edits a
// banner, and the mark on a row's check box that lends the row's icons to the main window. The
// list shows the program's catalogue and hands every command to it.
#include "marqueta/document/Catalogue.h"
#include "marqueta/ui/CListViewEx.h"

class CRowListView : public CListViewEx {
    Q_OBJECT
public:
    // Shows catalogue, which must outlive the list; it is loaded when the list is first shown.
    explicit CRowListView(Catalogue& catalogue, RowTableModel::Clock clock = {}, QWidget* parent = nullptr);

    // Opens a fresh editor filled from the row (empty for -1) and, after Submit, publishes the
    // banner into the row, or appends it for -1. When a reload at Submit no longer finds the row
    // as it was, the editor opens again with the input, and its next Submit appends a new banner.
    void EditBanner(int row);
    // Marks the row (ticked box, its icons on the main window) or, for the marked row, unmarks it.
    void ToggleMark(int row);

    // True when the program may end now: asks first when a change could not be saved.
    bool mayClose() { return catalogue_.mayBeLeft(); }

    // The selected row with the lowest position, or -1.
    int firstSelectedRow() const;
    int markedRow() const { return markedRow_; }

public slots:
    void OnAdd();
    void OnDelete();
    void OnModify();
    void OnSave();

protected:
    std::string picturePath(int position) const override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Asks before a command on the row at position row (-1: none) whether the catalogue may be
    // written, then edits the row's position (in the reloaded list after a reload).
    void EditBannerIfWritable(int row);

    Catalogue& catalogue_;
    int markedRow_ = -1;
    bool loaded_ = false;
};
