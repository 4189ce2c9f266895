#include "ui/FileListModel.h"

#include <QApplication>
#include <QFont>
#include <QStyle>
#include <algorithm>

#include "platform/ShellInfo.h"
#include "ui/MsgStr.h"

namespace ui {

namespace {

// A name is bytes; one that is not valid UTF-8 is shown with a replacement mark for each bad
// byte and keeps its bytes in the list.
QString Readable(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

filelist::ListColumn ColumnOf(const QModelIndex& index) {
    return static_cast<filelist::ListColumn>(index.column());
}

// The name cell carries the row's check mark and icon.
bool IsName(const QModelIndex& index) {
    return ColumnOf(index) == filelist::ListColumn::Name;
}

bool RightAligned(filelist::ListColumn column) {
    return column == filelist::ListColumn::Size || column == filelist::ListColumn::Attributes;
}

}  // namespace

TFileListModel::TFileListModel(const filelist::TFileList& list,
                               std::function<void(int row, bool checked)> setChecked,
                               const core::TRunPreview* preview, QObject* parent)
    : QAbstractTableModel(parent),
      list_(list),
      setChecked_(std::move(setChecked)),
      preview_(preview),
      shownRows_(list.RowCount()) {
    insertBatch_.setSingleShot(true);
    insertBatch_.setInterval(kInsertBatchMs);
    connect(&insertBatch_, &QTimer::timeout, this, &TFileListModel::ShowArrivedRows);
}

void TFileListModel::ShowArrivedRows() {
    insertBatch_.stop();
    const int rows = list_.RowCount();
    if (rows <= shownRows_)
        return;
    beginInsertRows(QModelIndex(), shownRows_, rows - 1);
    shownRows_ = rows;
    endInsertRows();
}

int TFileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int TFileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : filelist::kListColumnCount;
}

QVariant TFileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= shownRows_)
        return {};
    const filelist::FileRow& row = list_.Row(index.row());
    const filelist::ListColumn column = ColumnOf(index);
    if (const core::RowPreview* plan = preview_ ? preview_->Row(index.row()) : nullptr) {
        if (QVariant planned = PreviewData(*plan, column, role); planned.isValid())
            return planned;
    }
    switch (role) {
        case Qt::DisplayRole:
            return Readable(row.Text(column));
        case Qt::CheckStateRole:
            if (IsName(index))
                return row.checked ? Qt::Checked : Qt::Unchecked;
            return {};
        case Qt::DecorationRole:
            if (IsName(index))
                return IconOf(row.ImageIndex());
            return {};
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignVCenter |
                                       (RightAligned(column) ? Qt::AlignRight : Qt::AlignLeft));
        default:
            return {};
    }
}

bool TFileListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || !IsName(index) || role != Qt::CheckStateRole ||
        index.row() >= shownRows_) {
        return false;
    }
    setChecked_(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags TFileListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (IsName(index))
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant TFileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= filelist::kListColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return msg::ToQString(msg::kColumns[static_cast<std::size_t>(section)]);
    // Titles start at the left even over right-aligned numbers: a column narrowed by the user
    // keeps the beginning of its title instead of showing "ributes".
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | Qt::AlignLeft);
    return {};
}

void TFileListModel::RowsInserted(int /*first*/, int /*last*/) {
    if (!insertBatch_.isActive())
        insertBatch_.start();
}

// Rows not shown yet simply go with the list; the shown ones leave the views.
void TFileListModel::RowsRemoved(int first, int last) {
    const int lastShown = std::min(last, shownRows_ - 1);
    if (first > lastShown)
        return;
    beginRemoveRows(QModelIndex(), first, lastShown);
    shownRows_ -= lastShown - first + 1;
    endRemoveRows();
}

void TFileListModel::RowChanged(int row, filelist::ListColumn column) {
    if (row >= shownRows_)
        return;
    const QModelIndex changed = index(row, static_cast<int>(column));
    emit dataChanged(changed, changed);
}

// The list sorted itself: the same rows in another order. Selection and check marks travel
// with the rows in the list, so the views only draw again.
void TFileListModel::RowsMoved() {
    ShowArrivedRows();
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}

// A file that could not be opened has no values to plan: its row keeps its own and shows why.
QVariant TFileListModel::PreviewData(const core::RowPreview& plan, filelist::ListColumn column,
                                     int role) const {
    const bool refused = !plan.refusals.empty();
    const bool planned = plan.opened && core::IsPlannedColumn(column);
    switch (role) {
        case Qt::DisplayRole:
            if (planned)
                return Readable(core::PlannedText(plan, column));
            return {};
        case Qt::FontRole:
            if (planned && core::TextChanges(plan, column)) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        case Qt::ToolTipRole: {
            QStringList lines;
            if (planned)
                lines << msg::ToQString(msg::kPreviewToday)
                             .arg(Readable(core::TodayText(plan, column)));
            if (refused && column == filelist::ListColumn::Name)
                for (const std::string& reason : plan.refusals)
                    lines << Readable(reason);
            return lines.isEmpty() ? QVariant() : QVariant(lines.join('\n'));
        }
        case Qt::DecorationRole:
            if (refused && column == filelist::ListColumn::Name) {
                if (warning_.isNull())
                    warning_ = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
                return warning_;
            }
            return {};
        default:
            return {};
    }
}

void TFileListModel::PreviewRowPlanned(int row) {
    if (row < shownRows_)
        emit dataChanged(index(row, 0), index(row, filelist::kListColumnCount - 1));
}

void TFileListModel::PreviewEnded() {
    if (shownRows_ > 0)
        emit dataChanged(index(0, 0), index(shownRows_ - 1, filelist::kListColumnCount - 1));
}

// Theme icons by the MIME type's icon name; where the theme has none, its generic file or
// folder icon, and failing that the style's own.
QIcon TFileListModel::IconOf(int imageIndex) const {
    if (imageIndex < 0)
        return {};
    const auto slot = static_cast<std::size_t>(imageIndex);
    if (slot < icons_.size() && !icons_[slot].isNull())
        return icons_[slot];
    const QString name = QString::fromStdString(platform::IconNameAt(imageIndex));
    const bool folder = name == QLatin1String("inode-directory");
    const QIcon styleIcon =
        QApplication::style()->standardIcon(folder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    const QIcon generic = QIcon::fromTheme(
        folder ? QStringLiteral("folder") : QStringLiteral("text-x-generic"), styleIcon);
    if (slot >= icons_.size())
        icons_.resize(slot + 1);
    icons_[slot] = name.isEmpty() ? generic : QIcon::fromTheme(name, generic);
    return icons_[slot];
}

}  // namespace ui
