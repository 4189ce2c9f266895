#include "ui/FileListView.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <array>

namespace ui {

namespace {

// The widths of the eight columns until the settings say otherwise.
constexpr std::array<int, filelist::kListColumnCount> kDefaultWidths = {200, 55, 51, 102,
                                                                        102, 69, 45, 200};
// The room of one name in the small icon and list styles: every name gets the same, so a
// list of a million rows is laid out without measuring each name.
constexpr int kListItemWidth = 200;
constexpr QSize kLargeIconGrid(96, 72);

// Draws the cells, and around each a grid line when the list shows grid lines.
class TGridLinesDelegate : public QStyledItemDelegate {
public:
    TGridLinesDelegate(const bool& gridLines, QObject* parent)
        : QStyledItemDelegate(parent), gridLines_(gridLines) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (!gridLines_)
            return;
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        const QRect cell = option.rect;
        painter->drawLine(cell.topRight(), cell.bottomRight());
        painter->drawLine(cell.bottomLeft(), cell.bottomRight());
        painter->restore();
    }

private:
    const bool& gridLines_;
};

}  // namespace

TFileListViews::TFileListViews(TFileListModel& model, QWidget* parent)
    : QWidget(parent), model_(model), stack_(this) {
    setObjectName("lvFiles");
    details_.setModel(&model);
    details_.setRootIsDecorated(false);
    details_.setItemsExpandable(false);
    details_.setUniformRowHeights(true);
    details_.setAllColumnsShowFocus(true);
    details_.setItemDelegate(new TGridLinesDelegate(gridLines_, &details_));
    QHeaderView* header = details_.header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    header->setSectionsClickable(true);
    // The widths were chosen for an eight-point font; where the desktop's font is wider, a
    // column is at least as wide as its title.
    for (std::size_t column = 0; column < kDefaultWidths.size(); ++column) {
        const int index = static_cast<int>(column);
        details_.setColumnWidth(index,
                                std::max(kDefaultWidths[column], header->sectionSizeHint(index)));
    }
    connect(header, &QHeaderView::sectionClicked, this, &TFileListViews::ColumnClicked);

    icons_.setModel(&model);
    icons_.setSelectionModel(details_.selectionModel());
    icons_.setUniformItemSizes(true);
    icons_.setMovement(QListView::Static);
    icons_.setResizeMode(QListView::Adjust);
    icons_.setLayoutMode(QListView::Batched);
    icons_.setWrapping(true);
    icons_.setTextElideMode(Qt::ElideRight);

    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(&details_), static_cast<QAbstractItemView*>(&icons_)}) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        // The window's context menu belongs to lvFiles as a whole, whichever view shows.
        view->setContextMenuPolicy(Qt::NoContextMenu);
        stack_.addWidget(view);
    }
    setFocusProxy(&details_);
    connect(details_.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TFileListViews::ViewSelectionChanged);
    connect(&model, &QAbstractItemModel::dataChanged, this, &TFileListViews::ListDataChanged);
    connect(&model, &QAbstractItemModel::layoutChanged, this,
            &TFileListViews::ScheduleShowListSelection);
    // Rows shown late may have been selected by a command while they waited.
    connect(&model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                ListDataChanged(model_.index(first, 0), model_.index(last, 0));
            });
    SetViewStyle(vsReport);
}

QAbstractItemView& TFileListViews::CurrentView() {
    if (viewStyle_ == vsReport)
        return details_;
    return icons_;
}

void TFileListViews::SetViewStyle(int style) {
    const bool hadFocus = CurrentView().hasFocus();
    viewStyle_ = std::clamp(style, vsIcon, vsReport);
    if (viewStyle_ != vsReport) {
        const bool large = viewStyle_ == vsIcon;
        const int rowHeight = std::max(fontMetrics().height(), 16) + 4;
        icons_.setViewMode(large ? QListView::IconMode : QListView::ListMode);
        icons_.setIconSize(large ? QSize(32, 32) : QSize(16, 16));
        icons_.setFlow(viewStyle_ == vsList ? QListView::TopToBottom : QListView::LeftToRight);
        icons_.setWordWrap(large);
        icons_.setGridSize(large ? kLargeIconGrid : QSize(kListItemWidth, rowHeight));
        icons_.setMovement(QListView::Static);
    }
    stack_.setCurrentWidget(&CurrentView());
    setFocusProxy(&CurrentView());
    if (hadFocus)
        CurrentView().setFocus();
}

void TFileListViews::ShowSortIndicator(filelist::ListColumn column, bool ascending) {
    QHeaderView* header = details_.header();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(static_cast<int>(column),
                             ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void TFileListViews::SetGridLines(bool on) {
    gridLines_ = on;
    details_.viewport()->update();
}

void TFileListViews::ViewSelectionChanged(const QItemSelection& selected,
                                          const QItemSelection& deselected) {
    const QItemSelectionModel& selection = *details_.selectionModel();
    for (const QItemSelection* ranges : {&deselected, &selected}) {
        for (const QItemSelectionRange& range : *ranges) {
            for (int row = range.top(); row <= range.bottom(); ++row) {
                const bool shown = selection.isSelected(model_.index(row, 0));
                if (model_.List().Row(row).selected != shown)
                    emit RowSelectionChanged(row, shown);
            }
        }
    }
}

// A row's selection changed in the list (a command, or the user through the core): the views
// follow at the next turn of the event loop, all rows at once, so that inverting the selection
// of a long list is one change of the views and not one per row.
void TFileListViews::ListDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight) {
    if (selectionOutOfStep_ || topLeft.column() != static_cast<int>(filelist::ListColumn::Name))
        return;
    const QItemSelectionModel& selection = *details_.selectionModel();
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        if (model_.List().Row(row).selected != selection.isSelected(model_.index(row, 0))) {
            ScheduleShowListSelection();
            return;
        }
    }
}

void TFileListViews::ScheduleShowListSelection() {
    if (selectionOutOfStep_)
        return;
    selectionOutOfStep_ = true;
    QTimer::singleShot(0, this, &TFileListViews::ShowListSelection);
}

void TFileListViews::ShowListSelection() {
    if (!selectionOutOfStep_)
        return;
    selectionOutOfStep_ = false;
    QItemSelection rows;
    const int count = model_.rowCount();
    const int lastColumn = model_.columnCount() - 1;
    for (int first = 0; first < count; ++first) {
        if (!model_.List().Row(first).selected)
            continue;
        int last = first;
        while (last + 1 < count && model_.List().Row(last + 1).selected)
            ++last;
        rows.append(QItemSelectionRange(model_.index(first, 0), model_.index(last, lastColumn)));
        first = last;
    }
    details_.selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
}

}  // namespace ui
