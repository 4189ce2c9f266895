#pragma once
// TFileListViews: lvFiles, the file list as the user sees it. Details show in a tree view with
// the eight columns; large icons, small icons and list show the names in a list view. Both
// views share one model and one selection, so changing the view style keeps the selection.
// The selection belongs to the list's rows: the user's changes are sent out row by row for
// the core, and the rows' selection, however it changed, is shown.

#include <QItemSelection>
#include <QListView>
#include <QStackedLayout>
#include <QTimer>
#include <QTreeView>
#include <QWidget>

#include "ui/FileListModel.h"

namespace ui {

// View styles in the order of the View menu and of the settings file.
inline constexpr int vsIcon = 0;
inline constexpr int vsSmallIcon = 1;
inline constexpr int vsList = 2;
inline constexpr int vsReport = 3;

class TFileListViews : public QWidget {
    Q_OBJECT
public:
    // Details view, no grid lines, the default column widths. The model outlives the views.
    explicit TFileListViews(TFileListModel& model, QWidget* parent = nullptr);

    // 0 large icons, 1 small icons, 2 list, 3 details (vsIcon ... vsReport).
    void SetViewStyle(int style);
    int ViewStyle() const { return viewStyle_; }
    void SetGridLines(bool on);
    bool GridLines() const { return gridLines_; }
    int ColumnWidth(int column) const { return details_.columnWidth(column); }
    void SetColumnWidth(int column, int width) { details_.setColumnWidth(column, width); }
    // The header shows the column and direction of the last sort.
    void ShowSortIndicator(filelist::ListColumn column, bool ascending);

    QItemSelectionModel& SelectionModel() const { return *details_.selectionModel(); }
    // The view that the current style shows.
    QAbstractItemView& CurrentView();

signals:
    // The user selected or deselected a row: the window passes it on to the core.
    void RowSelectionChanged(int row, bool selected);
    // A column title was clicked (sorting by that column).
    void ColumnClicked(int column);

private:
    void ViewSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void ListDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    void ScheduleShowListSelection();
    // Makes the views' selection that of the list's rows, in one step.
    void ShowListSelection();

    TFileListModel& model_;
    QStackedLayout stack_;
    QTreeView details_;
    QListView icons_;
    int viewStyle_ = vsReport;
    bool gridLines_ = false;
    // Set while the list's selection changed in ways the views do not show yet.
    bool selectionOutOfStep_ = false;
};

}  // namespace ui
