#pragma once
// The list of banner rows, shown from a table it does not own: every row drawn whole (the
// highlight runs on to the right edge of the view), cell texts shortened to fit, and sorting by a
// click on a column heading.
#include <memory>
#include <string>

#include <QTimer>
#include <QTreeView>

#include "marqueta/catalogue/RowTable.h"
#include "marqueta/ui/ListImages.h"
#include "marqueta/ui/MidnightTimer.h"
#include "marqueta/ui/RowFilterModel.h"
#include "marqueta/ui/RowGeometry.h"
#include "marqueta/ui/RowPainting.h"
#include "marqueta/ui/RowPictures.h"
#include "marqueta/ui/RowTableModel.h"

// A row's picture: the page's 468 by 60 banner box at 24 pixels high, which sets a row's height.
inline constexpr QSize kRowPictureBox{187, 24};

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

    // Each row starts with its banner's picture, read in the background; the first column widens
    // to hold it. Off, the list is drawn exactly as without pictures.
    void setShowPictures(bool on);
    bool showPictures() const { return pictures_ != nullptr; }
    // Reads again the pictures near the visible rows whose files changed; done every few seconds.
    void checkPictures();
    // The picture of the row at position for the pointer and for screen readers: its file name
    // and size, or "No picture".
    QString pictureDescription(int position) const;
    RowPictures* pictures() const { return pictures_.get(); }

protected:
    // The file holding the picture of the row at position; empty when it has none.
    virtual std::string picturePath(int /*position*/) const { return {}; }

    void paintEvent(QPaintEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QRect rowStrip(int shownRow) const;
    RowLayout layoutAt(int top, int height) const;
    // Asks for the pictures of the visible rows, then of a page below and a page above them.
    void askForPictures(bool recheck);
    RowPictureLook pictureLook(int position) const;

    RowTable& rows_;
    RowTableModel model_;
    RowFilterModel filter_;
    MidnightTimer midnight_;
    ListImages images_;
    bool showSelectionAlways_ = false;
    std::unique_ptr<RowPictures> pictures_;
    QTimer pictureCheck_;
};
