#pragma once
// TFileListViews: lvFiles, the file list as the user sees it. Details show in a tree view with
// the eight columns; large icons, small icons and list show the names in a list view. Both
// views share one model and one selection, so changing the view style keeps the selection.
// The selection belongs to the list's rows: the user's changes are sent out row by row for
// the core, and the rows' selection, however it changed, is shown.

#include <QItemSelection>
#include <QListView>
#include <QPainter>
#include <QStackedLayout>
#include <QTimer>
#include <QTreeView>
#include <QWidget>

#include "ui/FileListModel.h"

namespace ui {

// A view that tells what to do while the list has no rows: `hint`, over the empty area.
template <typename TView>
class THintedView : public TView {
public:
    QString hint;

protected:
    void paintEvent(QPaintEvent* event) override {
        TView::paintEvent(event);
        if (this->model() == nullptr || this->model()->rowCount() > 0 || hint.isEmpty())
            return;
        QPainter painter(this->viewport());
        painter.setPen(this->palette().color(QPalette::Disabled, QPalette::Text));
        painter.drawText(this->viewport()->rect().adjusted(8, 8, -8, -8),
                         Qt::AlignCenter | Qt::TextWordWrap, hint);
    }
};

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
    // A width the user chose, as stored: the columns no longer fit the first rows.
    void SetColumnWidth(int column, int width);
    // All eight columns together.
    int ColumnsWidth() const;
    // The views' name for a screen reader, and what they show while the list is empty.
    void SetTexts(const QString& name, const QString& emptyHint);
    // The header shows the column and direction of the last sort.
    void ShowSortIndicator(filelist::ListColumn column, bool ascending);

    QItemSelectionModel& SelectionModel() const { return *details_.selectionModel(); }
    // The view that the current style shows.
    QAbstractItemView& CurrentView();

protected:
    // A cut cell shows its whole text as its tooltip.
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The user selected or deselected a row: the window passes it on to the core.
    void RowSelectionChanged(int row, bool selected);
    // A column title was clicked (sorting by that column).
    void ColumnClicked(int column);
    // The columns were widened to fit the first rows.
    void ColumnsFitted();

private:
    void ViewSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void ListDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    void ScheduleShowListSelection();
    // Makes the views' selection that of the list's rows, in one step.
    void ShowListSelection();
    // The columns as wide as their titles and the widest texts of today's locale.
    void FitColumnsToLocale();
    // Once, for the first rows of a first start: the sizes and types they show.
    void FitColumnsToFirstRows();

    TFileListModel& model_;
    QStackedLayout stack_;
    THintedView<QTreeView> details_;
    THintedView<QListView> icons_;
    bool widthsStored_ = false;
    int viewStyle_ = vsReport;
    bool gridLines_ = false;
    // Set while the list's selection changed in ways the views do not show yet.
    bool selectionOutOfStep_ = false;
};

}  // namespace ui
