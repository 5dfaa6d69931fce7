#pragma once
// The list of banner rows, shown from a table it does not own: every row drawn whole (the
// highlight runs on to the right edge of the view), cell texts shortened to fit, and sorting by a
// click on a column heading.
#include <QTreeView>

#include "marqueta/catalogue/RowTable.h"
#include "marqueta/ui/ListImages.h"
#include "marqueta/ui/MidnightTimer.h"
#include "marqueta/ui/RowFilterModel.h"
#include "marqueta/ui/RowGeometry.h"
#include "marqueta/ui/RowTableModel.h"

class CListViewEx : public QTreeView {
    Q_OBJECT
public:
    // Shows rows, which must outlive the list.
    explicit CListViewEx(RowTable& rows, RowTableModel::Clock clock = {}, QWidget* parent = nullptr);

    RowTable& rows() { return rows_; }
    RowTableModel& rowModel() { return model_; }
    // What the list shows of the rows: all of them, or those the find text narrows them to.
    RowFilterModel& rowFilter() { return filter_; }

    // The position among all rows of a row the list shows; -1 for an invalid index.
    int rowOf(const QModelIndex& shown) const;
    // Where the list shows the row at position; invalid while the find text hides it.
    QModelIndex shownIndex(int position, int column = 0) const;

    void setImageLists(ListImages images);
    const ListImages& imageLists() const { return images_; }

    // Selected rows stay highlighted while the view lacks the focus.
    void setShowSelectionAlways(bool on) { showSelectionAlways_ = on; }

    // Where the parts of the row at position (among all rows) lie, in viewport coordinates.
    RowLayout rowLayout(int position) const;

    // The sort of a click on the heading of column: ascending unless the heading carries
    // " (asc)"; then every heading loses its old mark and the sorted one gets its new one.
    void OnColumnClick(int column);

    // Repaints the rows whose look depends on the focus.
    void RepaintSelectedRows();

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QRect rowStrip(int shownRow) const;
    RowLayout layoutAt(int top, int height) const;

    RowTable& rows_;
    RowTableModel model_;
    RowFilterModel filter_;
    MidnightTimer midnight_;
    ListImages images_;
    bool showSelectionAlways_ = false;
};
