#include "ui/FileListModel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QListView>
#include <QSignalSpy>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "ui/FileListView.h"
#include "ui/MsgStr.h"

namespace {

using filelist::AddFolderMode;
using testsupport::TempDir;

// A list, its model and the views, wired as the window wires them to the core: a check mark or
// selection made in a view goes to the list, and the list's events come back to the model.
struct ListFixture {
    ListFixture() {
        list.SetObserver(&model);
        QObject::connect(&views, &ui::TFileListViews::RowSelectionChanged,
                         [this](int row, bool selected) { list.SetSelected(row, selected); });
    }
    ~ListFixture() { list.SetObserver(nullptr); }

    void Add(const std::vector<std::string>& names) {
        for (const std::string& name : names)
            ASSERT_TRUE(list.AddFileRow(dir.Write(name), AddFolderMode::FilesOnly)) << name;
    }
    std::vector<bool> ListSelection() const {
        std::vector<bool> rows;
        for (const filelist::FileRow& row : list.Rows())
            rows.push_back(row.selected);
        return rows;
    }
    std::vector<bool> ViewSelection() const {
        std::vector<bool> rows;
        for (int row = 0; row < model.rowCount(); ++row)
            rows.push_back(views.SelectionModel().isRowSelected(row));
        return rows;
    }

    TempDir dir;
    filelist::TFileList list;
    ui::TFileListModel model{list,
                             [this](int row, bool checked) { list.SetChecked(row, checked); }};
    ui::TFileListViews views{model};
};

TEST(FileListModel, ShowsTheRowsAsTheListHoldsThem) {
    ListFixture f;
    f.Add({"b.txt", "a.gif"});
    const std::string badName = "caf\xE9.txt";  // Latin-1, not UTF-8
    f.Add({badName});
    ASSERT_EQ(f.list.RowCount(), 3);

    ASSERT_EQ(f.model.columnCount(), 8);
    for (int column = 0; column < 8; ++column)
        EXPECT_EQ(f.model.headerData(column, Qt::Horizontal).toString().toStdString(),
                  ui::msg::kColumns[static_cast<std::size_t>(column)]);
    f.model.ShowArrivedRows();
    ASSERT_EQ(f.model.rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        const filelist::FileRow& listRow = f.list.Row(row);
        for (int column = 1; column < 8; ++column)
            EXPECT_EQ(f.model.index(row, column).data().toString().toStdString(),
                      listRow.Text(static_cast<filelist::ListColumn>(column)));
        EXPECT_FALSE(f.model.index(row, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
        EXPECT_EQ(f.model.index(row, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    }
    EXPECT_EQ(f.model.index(0, 0).data().toString(), "b.txt");
    // Size and Attributes stand at the right.
    for (int column = 0; column < 8; ++column) {
        const bool right = column == 1 || column == 6;
        const auto alignment = f.model.index(0, column).data(Qt::TextAlignmentRole).toInt();
        EXPECT_EQ((alignment & Qt::AlignRight) != 0, right) << column;
    }
    // A name that is not UTF-8 is readable, and the list keeps its bytes.
    EXPECT_EQ(f.model.index(2, 0).data().toString(), QString::fromUtf8("caf\xEF\xBF\xBD.txt"));
    EXPECT_EQ(f.list.Row(2).caption, badName);
}

TEST(FileListModel, RowsFromFindsArriveInBatches) {
    ListFixture f;
    QSignalSpy inserted(&f.model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&f.model, &QAbstractItemModel::modelReset);
    f.Add({"1", "2", "3"});
    EXPECT_EQ(f.model.rowCount(), 0);
    ASSERT_TRUE(inserted.wait(5 * ui::TFileListModel::kInsertBatchMs));
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 2);

    // Rows 1..4 go while rows 3 and 4 still wait to be shown: the views lose only the shown
    // ones, and the rest appear in order.
    f.Add({"4", "5", "6"});
    for (int row = 1; row <= 4; ++row)
        f.list.SetSelected(row, true);
    QSignalSpy removed(&f.model, &QAbstractItemModel::rowsRemoved);
    EXPECT_EQ(f.list.RemoveSelected(), 4);
    ASSERT_EQ(removed.size(), 1);
    EXPECT_EQ(removed[0][1].toInt(), 1);
    EXPECT_EQ(removed[0][2].toInt(), 2);
    EXPECT_EQ(f.model.rowCount(), 1);
    f.model.ShowArrivedRows();
    ASSERT_EQ(f.model.rowCount(), 2);
    EXPECT_EQ(f.model.index(1, 0).data().toString(), "6");
    EXPECT_EQ(reset.size(), 0);
}

TEST(FileListModel, CheckMarksGoToTheListAndComeBack) {
    ListFixture f;
    f.Add({"a", "b"});
    f.model.ShowArrivedRows();
    QSignalSpy changed(&f.model, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(f.model.flags(f.model.index(1, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(f.model.flags(f.model.index(1, 3)) & Qt::ItemIsEditable);
    for (const Qt::CheckState state : {Qt::Checked, Qt::Unchecked}) {
        EXPECT_TRUE(f.model.setData(f.model.index(1, 0), state, Qt::CheckStateRole));
        EXPECT_EQ(f.list.Row(1).checked, state == Qt::Checked);
        EXPECT_EQ(f.model.index(1, 0).data(Qt::CheckStateRole).toInt(), state);
    }
    EXPECT_EQ(changed.size(), 2);
    EXPECT_FALSE(f.list.Row(0).checked);
    // Only the check mark is the user's to set.
    EXPECT_FALSE(f.model.setData(f.model.index(1, 3), "x", Qt::EditRole));
}

TEST(FileListViews, SelectionIsTheListsInEveryViewStyle) {
    ListFixture f;
    f.Add({"a", "b", "c", "d"});
    f.model.ShowArrivedRows();
    QItemSelectionModel& selection = f.views.SelectionModel();

    // The user's selection reaches the list.
    selection.select(f.model.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(f.ListSelection(), (std::vector<bool>{false, true, false, false}));

    // A command's selection shows in the views, whichever style they have.
    for (int style = ui::vsIcon; style <= ui::vsReport; ++style) {
        f.views.SetViewStyle(style);
        EXPECT_EQ(f.views.ViewStyle(), style);
        EXPECT_EQ(qobject_cast<QListView*>(&f.views.CurrentView()) != nullptr,
                  style != ui::vsReport);
        f.list.InvertSelection();
        QApplication::processEvents();
        EXPECT_EQ(f.ViewSelection(), f.ListSelection()) << "style " << style;
    }
    EXPECT_EQ(f.ListSelection(), (std::vector<bool>{false, true, false, false}));

    // Sorting moves the selection with the rows.
    f.list.SetSelected(0, true);
    f.list.SetSelected(1, false);
    f.model.RowsMoved();
    QApplication::processEvents();
    EXPECT_EQ(f.ViewSelection(), (std::vector<bool>{true, false, false, false}));
}

TEST(FileListViews, ContextMenuBelongsToTheWholeList) {
    ListFixture f;
    f.views.setContextMenuPolicy(Qt::CustomContextMenu);
    QSignalSpy requested(&f.views, &QWidget::customContextMenuRequested);
    for (int style : {ui::vsReport, ui::vsList}) {
        f.views.SetViewStyle(style);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
        QApplication::sendEvent(f.views.CurrentView().viewport(), &event);
    }
    EXPECT_EQ(requested.size(), 2);
}

}  // namespace
