#pragma once
// TFileListModel: the rows of the file list as the views of lvFiles show them: eight columns,
// the check mark in the Name column, the type icon, the texts exactly as the core made them.
// It follows the list event by event, as the window hands them on; it never reads the file
// system and never resets itself.

#include <QAbstractTableModel>
#include <QIcon>
#include <QTimer>
#include <functional>
#include <vector>

#include "core/RunPreview.h"
#include "filelist/FileList.h"
#include "filelist/FileListObserver.h"

namespace ui {

class TFileListModel : public QAbstractTableModel, public filelist::IFileListObserver {
    Q_OBJECT
public:
    // `setChecked` is how a check mark the user sets reaches the list (the core's SetChecked);
    // the change comes back as RowChanged. While `preview` shows a plan for a row, its planned
    // cells show the values a run would leave, those that change in bold, with the value of
    // today as their tooltip; a row the run would refuse carries a warning and the reasons.
    // The list and the preview outlive the model.
    TFileListModel(const filelist::TFileList& list,
                   std::function<void(int row, bool checked)> setChecked,
                   const core::TRunPreview* preview = nullptr, QObject* parent = nullptr);

    const filelist::TFileList& List() const { return list_; }

    // Rows that a folder search appends arrive one at a time; they are shown together, at most
    // kInsertBatchMs after the first of them, so that the views lay themselves out once per
    // batch and not once per find. Shows the rows waiting now.
    void ShowArrivedRows();
    static constexpr int kInsertBatchMs = 100;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The list's events.
    void RowsInserted(int first, int last) override;
    void RowsRemoved(int first, int last) override;
    void RowChanged(int row, filelist::ListColumn column) override;
    void RowsMoved() override;
    // The preview's events: a row's plan arrived; the preview ended (every row shows its own
    // values again).
    void PreviewRowPlanned(int row);
    void PreviewEnded();

private:
    QIcon IconOf(int imageIndex) const;
    QVariant PreviewData(const core::RowPreview& plan, filelist::ListColumn column, int role) const;

    const filelist::TFileList& list_;
    std::function<void(int, bool)> setChecked_;
    const core::TRunPreview* preview_;
    // The rows the views know; the list may hold more that are waiting to be shown.
    int shownRows_ = 0;
    QTimer insertBatch_;
    mutable std::vector<QIcon> icons_;  // by the platform's icon index
    mutable QIcon warning_;             // a row a run would refuse
};

}  // namespace ui
