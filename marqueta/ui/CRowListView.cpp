#include "marqueta/ui/CRowListView.h"

#include <iostream>

#include <QDialog>
#include <QIcon>
#include <QMouseEvent>

#include "marqueta/publish/DeleteBanner.h"
#include "marqueta/publish/PublishBanner.h"
#include "marqueta/ui/CBannerEditorDlg.h"

namespace {

constexpr int kEmptyBox = 1;
constexpr int kTickedBox = 2;

}  // namespace

CRowListView::CRowListView(MarquetaPaths& paths, platform::MessageBoxes& boxes, StatusPane* status,
                           RowTableModel::Clock clock, std::ostream* trace, QWidget* parent)
    : CListViewEx(std::move(clock), parent), paths_(paths), boxes_(boxes), status_(status),
      trace_(trace ? *trace : std::cout) {
    setObjectName(QStringLiteral("rowListView"));
    setShowSelectionAlways(true);
    setImageLists(LoadListImages());
}

CRowListView::~CRowListView() = default;

CatalogueContext CRowListView::context() {
    return CatalogueContext{paths_, rows(), boxes_, status_, &fileState_, &trace_};
}

std::optional<int> CRowListView::rowForCommand(int row) {
    CatalogueContext ctx = context();
    return rowMayBeWritten(ctx, row);
}

bool CRowListView::mayClose() {
    CatalogueContext ctx = context();
    return catalogueMayBeLeft(ctx);
}

void CRowListView::showEvent(QShowEvent* event) {
    CListViewEx::showEvent(event);
    if (!loaded_) OnInitialUpdate();
}

void CRowListView::OnInitialUpdate() {
    loaded_ = true;
    CatalogueContext ctx = context();
    reloadCatalogue(ctx);
}

int CRowListView::firstSelectedRow() const {
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        const int position = rowOf(index);
        if (first < 0 || position < first) first = position;
    }
    return first;
}

bool CRowListView::EditBanner(int row) {
    editor_.reset();
    editor_ = std::make_unique<CBannerEditorDlg>(paths_, boxes_, this);
    CBannerEditorDlg& d = *editor_;
    if (row >= 0 && row < rows().count()) {
        const BannerRecord record = BannerRecord::fromCells(rows().row(row).cells);
        d.image = record.image;
        d.company = record.company;
        d.product = record.product;
        d.sequence = record.sequence;
        d.url = record.url;
        d.beginDate = record.beginDate;
        d.endDate = record.endDate;
        d.rate = record.rate;
        d.uid = record.uid;
        d.ext = record.ext;
        d.loadedUrl = record.url;
    }
    if (d.url.empty()) d.url = "http://";
    return d.exec() == QDialog::Accepted;
}

bool CRowListView::PublishBanner(int row) {
    if (!editor_) return false;
    BannerEdit edit = editor_->toEdit();
    CatalogueContext ctx = context();
    const bool written = ::PublishBanner(row, edit, ctx, publishedImageName_);
    editor_->uid = edit.values.uid;
    editor_->sourceImagePath = edit.sourceImagePath;
    return written;
}

// Add, Modify, Delete and the double-click write files before they save, so they ask first
// whether the catalogue may be written at all.
void CRowListView::OnAdd() {
    if (rowForCommand(-1) && EditBanner(-1)) PublishBanner(-1);
}

void CRowListView::OnModify() {
    if (firstSelectedRow() < 0) return;
    const std::optional<int> row = rowForCommand(firstSelectedRow());
    if (row && EditBanner(*row)) PublishBanner(*row);
}

void CRowListView::OnDelete() {
    const std::optional<int> row = rowForCommand(firstSelectedRow());
    if (!row) return;
    CatalogueContext ctx = context();
    ::DeleteSelectedBanner(ctx, *row);
}

void CRowListView::OnSave() {
    CatalogueContext ctx = context();
    saveCatalogue(ctx);
}

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
        if (position >= 0 && at.x() < rowLayout(position).icon.left()) {
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
    const QModelIndex index = indexAt(event->position().toPoint());
    const std::optional<int> row = rowForCommand(rowOf(index));
    if (row && EditBanner(*row)) PublishBanner(*row);
    event->accept();
}
