#include "marqueta/ui/CRowListView.h"

#include <QDialog>
#include <QIcon>
#include <QMouseEvent>

#include "marqueta/ui/BannerPreview.h"
#include "marqueta/ui/CBannerEditorDlg.h"

namespace {

constexpr int kEmptyBox = 1;
constexpr int kTickedBox = 2;

}  // namespace

CRowListView::CRowListView(Catalogue& catalogue, RowTableModel::Clock clock, QWidget* parent)
    : CListViewEx(catalogue.rows(), std::move(clock), parent), catalogue_(catalogue) {
    setObjectName(QStringLiteral("rowListView"));
    setShowSelectionAlways(true);
    setImageLists(LoadListImages());
}

void CRowListView::showEvent(QShowEvent* event) {
    CListViewEx::showEvent(event);
    if (loaded_) return;
    loaded_ = true;
    catalogue_.load();
}

// The picture the editor would show for the row.
std::string CRowListView::picturePath(int position) const {
    const RowTable& rows = catalogue_.rows();
    return BannerPicturePath(catalogue_.paths(), rows.cell(position, Uid), rows.cell(position, Ext));
}

int CRowListView::firstSelectedRow() const {
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        const int position = rowOf(index);
        if (first < 0 || position < first) first = position;
    }
    return first;
}

void CRowListView::EditBanner(int row) {
    BannerRecord loaded;
    if (row >= 0 && row < rows().count()) loaded = BannerRecord::fromCells(rows().row(row).cells);
    CBannerEditorDlg editor(catalogue_.paths(), catalogue_.boxes(), this);
    BannerRecord shown = loaded;
    if (shown.url.empty()) shown.url = "http://";
    editor.setRecord(shown);
    std::string loadedUrl = loaded.url;
    while (editor.exec() == QDialog::Accepted) {
        // Another program may have saved while the editor stood open. When the reloaded list no
        // longer holds the row exactly once as it was, the input stays in the editor, and the
        // next Submit adds it as a new banner: no other banner is written over.
        bool editKept = false;
        if (const std::optional<int> at = catalogue_.mayBeWritten(row, &editKept)) {
            catalogue_.publish(*at, editor.record(), loadedUrl, editor.chosenImagePath());
            return;
        }
        if (!editKept) return;
        row = -1;
        loadedUrl.clear();
    }
}

// Add, Modify, Delete and the double-click write files before they save, so they ask first
// whether the catalogue may be written at all.
void CRowListView::EditBannerIfWritable(int row) {
    if (const std::optional<int> writable = catalogue_.mayBeWritten(row)) EditBanner(*writable);
}

void CRowListView::OnAdd() { EditBannerIfWritable(-1); }

void CRowListView::OnModify() {
    if (firstSelectedRow() >= 0) EditBannerIfWritable(firstSelectedRow());
}

void CRowListView::OnDelete() {
    if (const std::optional<int> row = catalogue_.mayBeWritten(firstSelectedRow())) catalogue_.deleteBanner(*row);
}

void CRowListView::OnSave() { catalogue_.save(); }

void CRowListView::ToggleMark(int row) {
    const bool unmark = row == markedRow_ && markedRow_ != -1;
    if (unmark && row < rows().count()) rows().setStateImage(row, kEmptyBox);
    if (row == markedRow_) {
        markedRow_ = -1;
        window()->setWindowIcon(QIcon());
        return;
    }
    markedRow_ = row;
    if (row < 0 || row >= rows().count()) return;
    rows().setStateImage(row, kTickedBox);
    // The row's position is the image number; rows past the last image lend no icon.
    QIcon icon;
    if (row < imageLists().small.size()) icon.addPixmap(imageLists().small.at(row));
    if (row < imageLists().large.size()) icon.addPixmap(imageLists().large.at(row));
    window()->setWindowIcon(icon);
}

// A press on a row's check-box area marks the row instead of selecting it.
void CRowListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint at = event->position().toPoint();
        const QModelIndex index = indexAt(at);
        const int position = index.isValid() ? rowOf(index) : -1;
        const RowLayout layout = position >= 0 ? rowLayout(position) : RowLayout();
        if (position >= 0 && at.x() >= layout.stateImage.left() && at.x() < layout.icon.left()) {
            ToggleMark(position);
            event->accept();
            return;
        }
    }
    CListViewEx::mousePressEvent(event);
}

// The banner under the mouse, or a new one below the last row. The list's own double-click
// handling is not run: it would turn the event into a second press on rows that may have moved.
void CRowListView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        CListViewEx::mouseDoubleClickEvent(event);
        return;
    }
    EditBannerIfWritable(rowOf(indexAt(event->position().toPoint())));
    event->accept();
}
