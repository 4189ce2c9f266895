#pragma once
// Stand-in for the list model until the real one lands: the interface the window uses.

#include <QAbstractTableModel>
#include <functional>

#include "filelist/FileList.h"

namespace ui {

class TFileListModel : public QAbstractTableModel, public filelist::IFileListObserver {
    Q_OBJECT
public:
    TFileListModel(const filelist::TFileList& list, std::function<void(int, bool)> setChecked,
                   QObject* parent = nullptr)
        : QAbstractTableModel(parent), list_(list), setChecked_(std::move(setChecked)) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : rows_;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 8;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const filelist::FileRow& row = list_.Row(index.row());
        if (role == Qt::DisplayRole)
            return QString::fromStdString(
                index.column() == 0 ? row.caption : row.texts[std::size_t(index.column() - 1)]);
        if (role == Qt::CheckStateRole && index.column() == 0)
            return row.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::CheckStateRole)
            return false;
        setChecked_(index.row(), value.toInt() == Qt::Checked);
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return QAbstractTableModel::flags(index) | Qt::ItemIsUserCheckable;
    }

    void RowsInserted(int first, int last) override {
        beginInsertRows({}, first, last);
        rows_ += last - first + 1;
        endInsertRows();
    }
    void RowsRemoved(int first, int last) override {
        beginRemoveRows({}, first, last);
        rows_ -= last - first + 1;
        endRemoveRows();
    }
    void RowChanged(int row, filelist::ListColumn column) override {
        const QModelIndex at = index(row, static_cast<int>(column));
        emit dataChanged(at, at);
    }
    void RowsMoved() override {
        emit layoutAboutToBeChanged();
        emit layoutChanged();
    }

private:
    const filelist::TFileList& list_;
    std::function<void(int, bool)> setChecked_;
    int rows_ = 0;
};

}  // namespace ui
