#include "ui/FileListView.h"

#include <QDateTime>
#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>
#include <array>

#include "filelist/ColumnText.h"
#include "platform/FileTime.h"
#include "platform/LocaleFormats.h"

namespace ui {

namespace {

// The widths of the eight columns until the settings say otherwise.
constexpr std::array<int, filelist::kListColumnCount> kDefaultWidths = {200, 55, 51, 102,
                                                                        102, 69, 45, 200};
// The room of one name in the small icon and list styles: every name gets the same, so a
// list of a million rows is laid out without measuring each name.
constexpr int kListItemWidth = 200;
constexpr QSize kLargeIconGrid(96, 72);
// The first rows whose texts the Size and Type columns are fitted to.
constexpr int kFirstRowsFitted = 200;
// What a cell adds to its text: the margins, and in the Name column the check box and icon.
constexpr int kCellMargins = 12;
constexpr int kNameDecoration = 44;

// A late date with a late time (the afternoon where the clock has twelve hours): the widest
// texts the date columns show in today's locale, with the time and (Opened) without.
std::pair<QString, QString> WidestDateTexts() {
    const QDateTime late(QDate(2026, 12, 28), QTime(23, 58, 58));
    platform::FileTime time = 0;
    if (!platform::UnixToFileTime({static_cast<time_t>(late.toSecsSinceEpoch()), 0}, time))
        return {};
    const platform::LocaleFormats& formats = platform::CurrentLocaleFormats();
    return {QString::fromStdString(filelist::DateTimeText(time, formats)),
            QString::fromStdString(filelist::DateText(time, formats))};
}

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

// Every item of the icon styles takes the room of one grid cell. The view measures one item and
// gives every other the same size (so a long list is laid out at once); measured, the first
// row's name would set the room of all, and a sort would hand each row the room of another's.
class TGridCellDelegate : public QStyledItemDelegate {
public:
    TGridCellDelegate(const QListView& view, QObject* parent)
        : QStyledItemDelegate(parent), view_(view) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize grid = view_.gridSize();
        return grid.isValid() ? grid : QStyledItemDelegate::sizeHint(option, index);
    }

private:
    const QListView& view_;
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
    FitColumnsToLocale();
    connect(header, &QHeaderView::sectionClicked, this, &TFileListViews::ColumnClicked);
    details_.viewport()->installEventFilter(this);
    icons_.viewport()->installEventFilter(this);

    icons_.setModel(&model);
    icons_.setSelectionModel(details_.selectionModel());
    icons_.setUniformItemSizes(true);
    icons_.setMovement(QListView::Static);
    icons_.setResizeMode(QListView::Adjust);
    icons_.setLayoutMode(QListView::Batched);
    icons_.setWrapping(true);
    icons_.setTextElideMode(Qt::ElideRight);
    icons_.setItemDelegate(new TGridCellDelegate(icons_, &icons_));

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
                FitColumnsToFirstRows();
                ListDataChanged(model_.index(first, 0), model_.index(last, 0));
            });
    SetViewStyle(vsReport);
}

// The widths were chosen for an eight-point font; where the desktop's font or the locale's
// texts are wider, a column is as wide as its title and the widest text it shows.
void TFileListViews::FitColumnsToLocale() {
    const QHeaderView& header = *details_.header();
    const auto [dateTime, date] = WidestDateTexts();
    // Measured in bold: a preview shows the times a run would write in bold, and they fit too.
    QFont bold = details_.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int dateTimeWidth = metrics.horizontalAdvance(dateTime) + kCellMargins;
    const int dateWidth = metrics.horizontalAdvance(date) + kCellMargins;
    for (std::size_t column = 0; column < kDefaultWidths.size(); ++column) {
        const int index = static_cast<int>(column);
        int width = std::max(kDefaultWidths[column], header.sectionSizeHint(index));
        const auto listColumn = static_cast<filelist::ListColumn>(column);
        if (listColumn == filelist::ListColumn::Created ||
            listColumn == filelist::ListColumn::Modified)
            width = std::max(width, dateTimeWidth);
        else if (listColumn == filelist::ListColumn::Opened)
            width = std::max(width, dateWidth);
        details_.setColumnWidth(index, width);
    }
}

void TFileListViews::FitColumnsToFirstRows() {
    if (widthsStored_)
        return;
    widthsStored_ = true;
    const int rows = std::min(model_.rowCount(), kFirstRowsFitted);
    for (const filelist::ListColumn column :
         {filelist::ListColumn::Size, filelist::ListColumn::Type}) {
        const int index = static_cast<int>(column);
        int width = details_.columnWidth(index);
        for (int row = 0; row < rows; ++row)
            width = std::max(width, details_.fontMetrics().horizontalAdvance(
                                        model_.index(row, index).data().toString()) +
                                        kCellMargins);
        details_.setColumnWidth(index, width);
    }
    emit ColumnsFitted();
}

void TFileListViews::SetColumnWidth(int column, int width) {
    widthsStored_ = true;
    details_.setColumnWidth(column, width);
}

int TFileListViews::ColumnsWidth() const {
    int width = 0;
    for (int column = 0; column < model_.columnCount(); ++column)
        width += details_.columnWidth(column);
    return width;
}

void TFileListViews::SetTexts(const QString& name, const QString& emptyHint) {
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(&details_), static_cast<QAbstractItemView*>(&icons_)})
        view->setAccessibleName(name);
    details_.hint = emptyHint;
    icons_.hint = emptyHint;
}

bool TFileListViews::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip ||
        (watched != details_.viewport() && watched != icons_.viewport()))
        return QWidget::eventFilter(watched, event);
    QAbstractItemView& view = CurrentView();
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = view.indexAt(help->pos());
    const QString text = index.data().toString();
    const int decoration = index.column() == 0 ? kNameDecoration : 0;
    // A cell in bold (a preview's planned value) is measured in bold.
    const QVariant font = index.data(Qt::FontRole);
    const QFontMetrics metrics =
        font.isValid() ? QFontMetrics(font.value<QFont>()) : view.fontMetrics();
    const int needed = metrics.horizontalAdvance(text) + kCellMargins + decoration;
    QStringList lines;
    if (index.isValid() && needed > view.visualRect(index).width())
        lines << text;
    // The model's own tooltip (a preview's value of today, the reasons of a refusal) follows.
    if (const QString own = index.data(Qt::ToolTipRole).toString(); !own.isEmpty())
        lines << own;
    if (lines.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), lines.join('\n'), view.viewport());
    return true;
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
