#pragma once
// Stand-in for the list views until the real ones land: the interface the window uses.

#include <QItemSelectionModel>
#include <QListView>
#include <QStackedWidget>
#include <QTreeView>

#include "ui/FileListModel.h"

namespace ui {

class TFileListViews : public QStackedWidget {
    Q_OBJECT
public:
    explicit TFileListViews(TFileListModel& model, QWidget* parent = nullptr)
        : QStackedWidget(parent), selection_(&model) {
        details_.setModel(&model);
        icons_.setModel(&model);
        details_.setSelectionModel(&selection_);
        icons_.setSelectionModel(&selection_);
        details_.setSelectionMode(QAbstractItemView::ExtendedSelection);
        details_.setRootIsDecorated(false);
        addWidget(&icons_);
        addWidget(&details_);
        connect(&selection_, &QItemSelectionModel::selectionChanged, this,
                &TFileListViews::SelectionChanged);
    }
    void SetViewStyle(int style) {
        style_ = style;
        setCurrentIndex(style == 3 ? 1 : 0);
    }
    int ViewStyle() const { return style_; }
    void SetGridLines(bool on) { grid_ = on; }
    bool GridLines() const { return grid_; }
    QItemSelectionModel& SelectionModel() { return selection_; }
    QAbstractItemView& DetailsView() { return details_; }
    QAbstractItemView& IconView() { return icons_; }

signals:
    void SelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

private:
    QItemSelectionModel selection_;
    QTreeView details_;
    QListView icons_;
    int style_ = 3;
    bool grid_ = false;
};

}  // namespace ui
