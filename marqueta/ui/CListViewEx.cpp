#include "marqueta/ui/CListViewEx.h"

#include <algorithm>

#include <QFocusEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

#include "marqueta/ui/HeadingMarks.h"
#include "marqueta/ui/LocalText.h"
#include "marqueta/ui/PictureFile.h"
#include "marqueta/ui/ScheduleColours.h"
#include "platform/Paths.h"

namespace {

// Sizes the rows: the view draws them itself, but Qt asks the delegate how high they are.
class RowHeightDelegate : public QStyledItemDelegate {
public:
    explicit RowHeightDelegate(CListViewEx& view) : QStyledItemDelegate(&view), view_(view) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        const ImageList& small = view_.imageLists().small;
        const int imageHeight = small.isEmpty() ? 0 : small.front().height();
        const int pictureHeight = view_.showPictures() ? kRowPictureBox.height() : 0;
        return QSize(0, RowHeight(option.fontMetrics.height(), std::max(imageHeight, pictureHeight)));
    }

private:
    CListViewEx& view_;
};

// The room a picture takes at the start of a row.
constexpr int kPictureRoomWidth = kRowPictureBox.width() + 2 * kFirstCellInset;

// Files change behind the list (a publication, another program): the pictures near the visible
// rows are checked this often.
constexpr int kPictureCheckMs = 2000;

}  // namespace

CListViewEx::CListViewEx(RowTable& rows, RowTableModel::Clock clock, QWidget* parent)
    : QTreeView(parent), rows_(rows), model_(rows_, clock), midnight_(clock) {
    filter_.setSourceModel(&model_);
    setModel(&filter_);
    // Today is read once per start and again as each day begins.
    connect(&midnight_, &MidnightTimer::midnight, &model_, &RowTableModel::readToday);
    setItemDelegate(new RowHeightDelegate(*this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);

    QHeaderView* heading = header();
    heading->setStretchLastSection(false);
    heading->setSectionsMovable(false);
    heading->setSectionsClickable(true);
    heading->setSortIndicatorShown(false);
    for (int column = 0; column < kColumnCount; ++column)
        heading->resizeSection(column, kColumns.at(static_cast<std::size_t>(column)).width);
    connect(heading, &QHeaderView::sectionClicked, this, &CListViewEx::OnColumnClick);

    pictureCheck_.setInterval(kPictureCheckMs);
    connect(&pictureCheck_, &QTimer::timeout, this, &CListViewEx::checkPictures);
}

void CListViewEx::setImageLists(ListImages images) {
    images_ = std::move(images);
    scheduleDelayedItemsLayout();
    viewport()->update();
}

RowLayout CListViewEx::layoutAt(int top, int height) const {
    RowGeometryInput in;
    in.left = header()->sectionViewportPosition(0);
    in.top = top;
    in.height = height;
    for (int visual = 0; visual < header()->count(); ++visual) {
        const int logical = header()->logicalIndex(visual);
        if (!header()->isSectionHidden(logical)) in.columnWidths.push_back(header()->sectionSize(logical));
    }
    in.pictureWidth = pictures_ ? kPictureRoomWidth : 0;
    in.stateImageWidth = images_.state.isEmpty() ? 0 : images_.state.front().width();
    in.smallIconWidth = images_.small.isEmpty() ? 0 : images_.small.front().width();
    in.clientWidth = viewport()->width();  // the highlight runs on to the right edge
    return LayoutRow(in);
}

int CListViewEx::rowOf(const QModelIndex& shown) const {
    return shown.isValid() ? filter_.mapToSource(shown).row() : -1;
}

QModelIndex CListViewEx::shownIndex(int position, int column) const {
    return filter_.mapFromSource(model_.index(position, column));
}

RowLayout CListViewEx::rowLayout(int position) const {
    const QRect cell = visualRect(shownIndex(position));
    return layoutAt(cell.top(), cell.height());
}

void CListViewEx::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const int shownRow = index.row();
    const QModelIndex source = filter_.mapToSource(index);
    const CatalogueRow& row = rows_.row(source.row());
    const bool focused = hasFocus();

    RowLook look;
    look.selected = (focused || showSelectionAlways_) && selectionModel()->isRowSelected(shownRow, {});
    look.drawFocus = focused && currentIndex().row() == shownRow;
    look.stateImage = row.stateImage;
    look.image = model_.data(source, RowTableModel::ImageIndexRole).toInt();
    if (pictures_) look.picture = pictureLook(source.row());
    const auto state = static_cast<ScheduleState>(model_.data(source, RowTableModel::ScheduleStateRole).toInt());
    const QColor dateColour = ScheduleTextColour(palette(), state);

    RowContent content;
    for (int visual = 0; visual < header()->count(); ++visual) {
        const int logical = header()->logicalIndex(visual);
        if (header()->isSectionHidden(logical)) continue;
        content.texts.push_back(row.cells.at(static_cast<std::size_t>(logical)));
        content.textColours.push_back(logical == BeginDate || logical == EndDate ? dateColour : QColor());
        content.alignments.push_back(
            model_.headerData(logical, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>());
    }

    // System colours: the same whether or not the window is active.
    const QPalette& pal = palette();
    RowColours colours;
    colours.highlight = pal.color(QPalette::Active, QPalette::Highlight);
    colours.highlightedText = pal.color(QPalette::Active, QPalette::HighlightedText);
    colours.text = pal.color(QPalette::Active, QPalette::Text);
    colours.textBackground = pal.color(QPalette::Active, QPalette::Base);
    colours.placeholder = pal.color(QPalette::Active, QPalette::AlternateBase);
    colours.mutedText = pal.color(QPalette::Disabled, QPalette::Text);

    painter->save();
    painter->setFont(font());
    DrawRow(*painter, layoutAt(option.rect.top(), option.rect.height()), look, content, colours, images_);
    painter->restore();
}

QRect CListViewEx::rowStrip(int shownRow) const {
    const QRect cell = visualRect(filter_.index(shownRow, 0));
    return QRect(0, cell.top(), viewport()->width(), cell.height());
}

// A selection change repaints the whole width of its rows, so that the highlight beyond the last
// column is drawn in full.
QRegion CListViewEx::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        const QRect top = rowStrip(range.top());
        const QRect bottom = rowStrip(range.bottom());
        region += QRect(0, top.top(), viewport()->width(), bottom.bottom() - top.top() + 1);
    }
    return region;
}

void CListViewEx::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    if (previous.isValid()) viewport()->update(rowStrip(previous.row()));
    if (current.isValid()) viewport()->update(rowStrip(current.row()));
}

void CListViewEx::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    RepaintSelectedRows();
}

void CListViewEx::focusOutEvent(QFocusEvent* event) {
    QTreeView::focusOutEvent(event);
    RepaintSelectedRows();
}

void CListViewEx::RepaintSelectedRows() {
    QRegion region;
    const QModelIndex current = currentIndex();
    if (current.isValid()) region += rowStrip(current.row());
    if (!showSelectionAlways_) region += visualRegionForSelection(selectionModel()->selection());
    if (!region.isEmpty()) viewport()->repaint(region);
}

void CListViewEx::OnColumnClick(int column) {
    const bool ascending = SortsAscendingNext(model_.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
    model_.sort(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    for (int i = 0; i < model_.columnCount(); ++i) {
        const QString heading = model_.headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
        model_.setHeaderData(i, Qt::Horizontal, i == column ? MarkedHeading(heading, ascending) : PlainHeading(heading),
                             Qt::DisplayRole);
    }
}

void CListViewEx::setShowPictures(bool on) {
    if (on == showPictures()) return;
    const int firstWidth = header()->sectionSize(0);
    if (on) {
        pictures_ = std::make_unique<RowPictures>(kRowPictureBox);
        connect(pictures_.get(), &RowPictures::pictureRead, this, [this] {
            const QRect room = layoutAt(0, viewport()->height()).picture;
            viewport()->update(room);
        });
        filter_.setPictureDescription([this](int position) { return pictureDescription(position); });
        header()->resizeSection(0, firstWidth + kPictureRoomWidth);
        pictureCheck_.start();
    } else {
        pictureCheck_.stop();
        filter_.setPictureDescription({});
        pictures_.reset();
        header()->resizeSection(0, std::max(firstWidth - kPictureRoomWidth, header()->minimumSectionSize()));
    }
    scheduleDelayedItemsLayout();  // the rows' height follows the picture
    viewport()->update();
}

void CListViewEx::askForPictures(bool recheck) {
    const int shown = filter_.rowCount();
    if (!pictures_ || shown == 0) return;
    const QModelIndex top = indexAt(QPoint(1, 1));
    const int first = top.isValid() ? top.row() : 0;
    const int page = viewport()->height() / std::max(1, rowHeight(filter_.index(first, 0))) + 1;
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(3 * page));
    const auto add = [&](int from, int to) {
        for (int shownRow = std::max(from, 0); shownRow < std::min(to, shown); ++shownRow)
            paths.push_back(picturePath(rowOf(filter_.index(shownRow, 0))));
    };
    add(first, first + page);
    add(first + page, first + 2 * page);
    add(first - page, first);
    pictures_->want(paths, recheck);
}

void CListViewEx::checkPictures() {
    if (isVisible()) askForPictures(true);
}

RowPictureLook CListViewEx::pictureLook(int position) const {
    RowPictureLook look;
    const std::string path = picturePath(position);
    const RowPicture* picture = path.empty() ? nullptr : pictures_->find(path);
    if (path.empty() || (picture && picture->pixmap.isNull())) look.kind = RowPictureLook::Missing;
    else if (picture) {
        look.kind = RowPictureLook::Shown;
        look.pixmap = picture->pixmap;
    }
    return look;
}

QString CListViewEx::pictureDescription(int position) const {
    const std::string path = picturePath(position);
    const QString none = QString::fromLatin1(kNoPictureText);
    if (path.empty()) return none;
    const QString name = ToQt(platform::FileNameOf(path));
    const RowPicture* picture = pictures_ ? pictures_->find(path) : nullptr;
    if (!picture) return name;
    return name + QStringLiteral(", ") + (picture->pixmap.isNull() ? none : PictureSizeText(picture->size));
}

void CListViewEx::paintEvent(QPaintEvent* event) {
    if (pictures_) askForPictures(false);
    QTreeView::paintEvent(event);
}

// Over a picture, the pointer is told its file and size; elsewhere the row's own tip.
bool CListViewEx::viewportEvent(QEvent* event) {
    if (pictures_ && event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int position = rowOf(indexAt(help->pos()));
        if (position >= 0 && rowLayout(position).picture.contains(help->pos())) {
            QToolTip::showText(help->globalPos(), pictureDescription(position), viewport());
            return true;
        }
    }
    return QTreeView::viewportEvent(event);
}
