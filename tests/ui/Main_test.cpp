// The main window driven through its real actions, buttons and menus, offscreen.

#include "ui/Main.h"

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDropEvent>
#include <QFont>
#include <QHeaderView>
#include <QHelpEvent>
#include <QIcon>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>
#include <QUrl>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>

#include "MainWindowSupport.h"
#include "platform/FileSystem.h"
#include "platform/FileTime.h"
#include "platform/LocaleFormats.h"
#include "support/LocaleScope.h"
#include "ui/FileDialogs.h"
#include "ui/Manual.h"
#include "ui/MsgStr.h"

namespace {

using uitest::TWindowUnderTest;

QString Text(std::string_view text) {
    return ui::msg::ToQString(text);
}

// The objects a menu holds, by name, "-" for a separator.
QStringList Items(QMenu& menu) {
    QStringList names;
    for (QAction* action : menu.actions())
        names << (action->isSeparator() ? QString("-") : action->objectName());
    return names;
}

TEST(MainWindow, MenusHoldTheirItemsInOrder) {
    TWindowUnderTest w;
    const std::pair<const char*, QStringList> menus[] = {
        {"FileMenu", {"item_Delete", "-", "item_Close"}},
        {"EditMenu",
         {"item_UndoLastRun", "-", "item_AddFile", "item_AddFolder", "-", "item_RemoveFile",
          "item_RemoveFolder", "-", "item_ClearList", "-", "item_InvertSelection",
          "item_InvertChecked"}},
        {"ViewMenu",
         {"item_Toolbar", "item_StatusBar", "-", "item_GridLines", "-", "item_ViewIcons",
          "item_ViewSmallIcons", "item_ViewList", "item_ViewDetails", "-", "item_Arrange"}},
        {"item_Arrange",
         {"item_ByName", "item_ByType", "item_BySize", "item_ByCreated", "item_ByModified",
          "item_ByOpened", "item_ByAttr", "item_ByFolder"}},
        {"RunMenu",
         {"item_Operate0", "item_Operate1", "-", "item_Operate2", "item_Operate3", "-",
          "item_Operate4", "item_Operate5", "-", "item_Operate6", "-", "RunPreviewMenu", "-",
          "item_Stop"}},
        {"HelpMenu", {"item_Contents", "-", "item_About"}},
        {"PopupMenu1",
         {"item_AddFile", "pitem_AddFolder", "-", "item_RemoveFile", "item_RemoveFolder", "-",
          "item_ClearList"}},
        {"pmAddFolderParams",
         {"item_AddFilesOnly", "item_AddFilesAndFolders", "item_AddFoldersOnly"}},
        {"pitem_AddFolder",
         {"item_AddFilesOnly", "item_AddFilesAndFolders", "item_AddFoldersOnly"}},
        {"pmOperate",
         {"item_Operate0", "item_Operate1", "-", "item_Operate2", "item_Operate3", "-",
          "item_Operate4", "item_Operate5", "-", "item_Operate6"}},
        {"pmPreview",
         {"item_Preview0", "item_Preview1", "-", "item_Preview2", "item_Preview3", "-",
          "item_Preview4", "item_Preview5", "-", "item_Preview6"}},
        {"RunPreviewMenu",
         {"item_Preview0", "item_Preview1", "-", "item_Preview2", "item_Preview3", "-",
          "item_Preview4", "item_Preview5", "-", "item_Preview6"}},
    };
    for (const auto& [menu, items] : menus)
        EXPECT_EQ(Items(w.Find<QMenu>(menu)), items) << menu;
    EXPECT_EQ(w.Find<QMenu>("pmOperate").defaultAction(), &w.Find("item_Operate6"));
}

// Captions come from the string table; a tool button's tooltip is its command's caption
// without the first "&", and every command's long hint is its status tip.
TEST(MainWindow, CaptionsAndHintsComeFromTheStringTable) {
    TWindowUnderTest w;
    const std::pair<const char*, ui::msg::TCommandText> commands[] = {
        {"item_Delete", ui::msg::item_Delete},
        {"item_AddFolder", ui::msg::item_AddFolder},
        {"pitem_AddFolder", ui::msg::item_AddFolder},
        {"item_RemoveFolder", ui::msg::item_RemoveFolder},
        {"item_ByOpened", ui::msg::item_ByOpened},
        {"ViewMenu", ui::msg::ViewMenu},
    };
    for (const auto& [name, text] : commands) {
        const QAction& action = w.Find(name);
        EXPECT_EQ(action.text(), Text(text.caption)) << name;
        EXPECT_EQ(action.statusTip(), Text(text.hint)) << name;
    }
    const std::pair<const char*, QString> buttons[] = {{"btnAddFiles", "Add File to List"},
                                                       {"btnAddDir", "Add Folder to List..."},
                                                       {"btnRemoveDir", "Remove Folder from List"},
                                                       {"btnDetails", "Details"}};
    for (const auto& [name, tooltip] : buttons)
        EXPECT_EQ(w.Find<QToolButton>(name).toolTip(), tooltip) << name;
    EXPECT_EQ(w.Find<QToolButton>("btnRemoveDir").statusTip(),
              "Removes items from the same folder.");

    auto& start = w.Find<QToolButton>("btnStartStop");
    EXPECT_EQ(start.text(), " &Start to handle...");
    EXPECT_TRUE(start.isEnabled());  // a list filled by a drop can be run at once
    EXPECT_EQ(start.toolTip(), "");
    for (int scope = 0; scope < 7; ++scope)
        EXPECT_EQ(w.Find(qPrintable(QString("item_Operate%1").arg(scope))).text(),
                  Text(ui::msg::kOperateCaptions[static_cast<std::size_t>(scope)]));
    auto& pages = w.Find<QTabWidget>("pcTymo");
    EXPECT_EQ(pages.tabText(0), "File List");
    EXPECT_EQ(pages.tabText(1), "Parameters");
    EXPECT_EQ(pages.tabText(2), "Settings");
    EXPECT_EQ(pages.currentIndex(), 0);
    EXPECT_EQ(w.window.windowTitle(), "Orbel Kelvane");
    EXPECT_EQ(w.window.minimumSize(), QSize(610, 400));
    EXPECT_EQ(w.Panel(0), "0 object(s)");
}

TEST(MainWindow, TheLongHintOfWhatIsUnderThePointerShowsInPanel2) {
    TWindowUnderTest w;
    w.window.show();
    auto& button = w.Find<QToolButton>("btnRemoveDir");
    QStatusTipEvent enter(button.statusTip());
    QApplication::sendEvent(&button, &enter);
    EXPECT_EQ(w.Panel(2), "Removes items from the same folder.");
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(w.Panel(2), "");

    auto& edit = w.Find<QMenu>("EditMenu");
    edit.popup({});
    edit.setActiveAction(&w.Find("item_AddFile"));
    EXPECT_EQ(w.Panel(2), "Insert the items from selected location.");
    edit.hide();
}

// The rules apply while a menu is open; removing "the" folder needs exactly one selected row,
// in the Edit menu and the context menu alike.
TEST(MainWindow, MenuItemsAreEnabledByTheListWhenTheMenuOpens) {
    struct Case {
        int rows;
        std::vector<int> selected;
        const char* menu;
        std::vector<std::pair<const char*, bool>> enabled;
    };
    const Case cases[] = {
        {0, {}, "FileMenu", {{"item_Delete", false}, {"item_Close", true}}},
        {0,
         {},
         "EditMenu",
         {{"item_AddFile", true},
          {"item_AddFolder", true},
          {"item_RemoveFile", false},
          {"item_RemoveFolder", false},
          {"item_ClearList", false},
          {"item_InvertSelection", false},
          {"item_InvertChecked", false},
          {"item_UndoLastRun", false}}},
        {3,
         {},
         "EditMenu",
         {{"item_RemoveFile", false}, {"item_ClearList", true}, {"item_InvertChecked", true}}},
        {3, {0, 1, 2}, "FileMenu", {{"item_Delete", true}}},
        {3,
         {0, 1, 2},
         "EditMenu",
         {{"item_RemoveFile", true}, {"item_RemoveFolder", false}, {"item_InvertSelection", true}}},
        {3, {1}, "EditMenu", {{"item_RemoveFolder", true}}},
        {3,
         {0, 1, 2},
         "PopupMenu1",
         {{"item_RemoveFile", true}, {"item_RemoveFolder", false}, {"item_ClearList", true}}},
        {3, {2}, "PopupMenu1", {{"item_RemoveFolder", true}}},
        {0, {}, "PopupMenu1", {{"item_RemoveFolder", false}, {"item_ClearList", false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.menu << " with " << c.rows << " rows");
        TWindowUnderTest w;
        const std::vector<std::string> names = {"a.txt", "b.txt", "c.txt"};
        w.AddFiles({names.begin(), names.begin() + c.rows});
        w.Select(c.selected);
        auto& menu = w.Find<QMenu>(c.menu);
        menu.popup({});
        for (const auto& [item, enabled] : c.enabled)
            EXPECT_EQ(w.Find(item).isEnabled(), enabled) << item;
        menu.hide();
        // The tool buttons stay usable: each command checks what it needs itself.
        EXPECT_TRUE(w.Find<QToolButton>("btnRemoveDir").isEnabled());
    }
}

// A view command sets the list's style, checks its menu item and puts its button down; the
// toggles show and hide what they name.
TEST(MainWindow, ViewCommandsAndToggles) {
    TWindowUnderTest w;
    auto& views = w.Find<ui::TFileListViews>("lvFiles");
    const char* styles[][2] = {{"btnIcons", "item_ViewIcons"},
                               {"btnSmallIcons", "item_ViewSmallIcons"},
                               {"btnList", "item_ViewList"},
                               {"btnDetails", "item_ViewDetails"}};
    EXPECT_EQ(views.ViewStyle(), 3);
    for (int style = 0; style < 4; ++style) {
        w.Find<QToolButton>(styles[style][0]).click();
        EXPECT_EQ(views.ViewStyle(), style);
        for (int other = 0; other < 4; ++other) {
            EXPECT_EQ(w.Find<QToolButton>(styles[other][0]).isChecked(), other == style);
            EXPECT_EQ(w.Find(styles[other][1]).isChecked(), other == style);
        }
    }
    w.Find("item_GridLines").trigger();
    EXPECT_TRUE(views.GridLines());
    w.Find("item_Toolbar").trigger();
    EXPECT_TRUE(w.Find<QToolBar>("tbFileList").isHidden());
    w.Find("item_StatusBar").trigger();
    EXPECT_TRUE(w.Find<ui::TStatusBarPro>("SB").isHidden());
    auto& view = w.Find<QMenu>("ViewMenu");
    view.popup({});
    EXPECT_FALSE(w.Find("item_Toolbar").isChecked());
    EXPECT_FALSE(w.Find("item_StatusBar").isChecked());
    EXPECT_TRUE(w.Find("item_GridLines").isChecked());
    view.hide();
    w.Find("item_Toolbar").trigger();
    EXPECT_FALSE(w.Find<QToolBar>("tbFileList").isHidden());
}

// "&Close" waits for the end of a run; the title bar's close stops the run and closes.
TEST(MainWindow, ClosingDuringARun) {
    TWindowUnderTest w;
    w.AddFiles({"a.txt", "b.txt"});
    w.window.show();
    w.RunWith("item_Operate6", [&] { w.Find("item_Close").trigger(); });
    EXPECT_TRUE(w.window.isVisible());
    w.RunWith("item_Operate6", [&] {
        w.window.close();
        EXPECT_EQ(w.Find<QToolButton>("btnStartStop").text(), " &Start to handle...");
    });
    EXPECT_FALSE(w.window.isVisible());
    w.window.show();
    w.Find("item_Close").trigger();
    EXPECT_FALSE(w.window.isVisible());
}

bool WriteProtected(const std::string& path) {
    using std::filesystem::perms;
    return (std::filesystem::status(path).permissions() &
            (perms::owner_write | perms::group_write | perms::others_write)) == perms::none;
}

// "Set new" with Read-only ticked (and Archive, as it starts): a changed file is write-protected.
void AskForReadOnly(TWindowUnderTest& w) {
    w.Find<QAbstractButton>("cbSetAttr").click();
    w.Find<QAbstractButton>("cbReadOnly").click();
}

// Row 0 checked, row 1 selected, row 2 neither: each group of scopes visits its rows.
TEST(MainWindowRun, EachScopeVisitsItsRows) {
    const std::pair<const char*, std::vector<bool>> cases[] = {
        {"item_Operate0", {true, false, false}},
        {"item_Operate3", {true, false, true}},
        {"item_Operate6", {true, true, true}},
    };
    for (const auto& [scope, changed] : cases) {
        SCOPED_TRACE(scope);
        TWindowUnderTest w;
        const std::vector<std::string> files =
            w.AddFiles({"checked.txt", "selected.txt", "none.txt"});
        w.Check({0});
        w.Select({1});
        AskForReadOnly(w);
        w.Find<QTabWidget>("pcTymo").setCurrentIndex(1);
        w.Find(scope).trigger();
        for (std::size_t i = 0; i < files.size(); ++i)
            EXPECT_EQ(WriteProtected(files[i]), changed[i]) << files[i];
        EXPECT_EQ(w.Find<QTabWidget>("pcTymo").currentIndex(), 0);
        EXPECT_EQ(w.Find<QProgressBar>("PB").maximum(), 2);
        EXPECT_EQ(w.Find<QProgressBar>("PB").value(), 0);
        EXPECT_EQ(w.Find<QToolButton>("btnStartStop").text(), " &Start to handle...");
    }
}

// During a run the button is a plain Stop (no scopes to drop down, which would hold the run),
// and the scopes are disabled: one click of the button, or Run > Stop, ends the run before
// the next file, and the status bar counts what it did.
TEST(MainWindowRun, StopEndsTheRunAtOnce) {
    for (const char* stop : {"btnStartStop", "item_Stop"}) {
        SCOPED_TRACE(stop);
        TWindowUnderTest w;
        const std::vector<std::string> files = w.AddFiles({"a.txt", "b.txt"});
        AskForReadOnly(w);
        EXPECT_FALSE(w.Find("item_Stop").isEnabled());
        auto& button = w.Find<QToolButton>("btnStartStop");
        QString caption;
        bool scopesEnabled = true;
        QMenu* menu = nullptr;
        w.RunWith("item_Operate6", [&] {
            caption = button.text();
            menu = button.menu();
            scopesEnabled = w.Find("item_Operate2").isEnabled();
            if (std::string(stop) == "btnStartStop")
                button.click();
            else
                w.Find(stop).trigger();
        });
        EXPECT_EQ(caption, "&Stop");
        EXPECT_EQ(menu, nullptr);
        EXPECT_FALSE(scopesEnabled);
        EXPECT_FALSE(WriteProtected(files[0]));
        EXPECT_FALSE(WriteProtected(files[1]));
        EXPECT_EQ(button.text(), " &Start to handle...");
        EXPECT_EQ(button.menu(), &w.Find<QMenu>("pmOperate"));
        EXPECT_TRUE(w.Find("item_Operate2").isEnabled());
        EXPECT_EQ(w.Find<QLabel>("laRunReport").text(), "0 files changed, 0 not changed");
    }
}

// After a run the status bar counts the files changed and those not; "Details…" lists each
// one not changed with why, to read and copy.
TEST(MainWindowRun, TheStatusBarReportsTheRunAndDetailsListTheFilesNotChanged) {
    TWindowUnderTest w;
    const std::vector<std::string> files = w.AddFiles({"a.txt", "gone.txt", "b.txt"});
    std::filesystem::remove(files[1]);
    AskForReadOnly(w);
    w.window.show();
    auto& report = w.Find<QLabel>("laRunReport");
    EXPECT_TRUE(report.isHidden());
    w.Find("item_Operate6").trigger();
    EXPECT_TRUE(report.isVisible());
    EXPECT_TRUE(report.text().startsWith("2 files changed, 1 not changed"));
    QString listed;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        listed = box->findChild<QPlainTextEdit*>("NotChangedList")->toPlainText();
        box->reject();
    });
    emit report.linkActivated("details");
    EXPECT_TRUE(listed.startsWith(QString::fromStdString(files[1]) + ": ")) << listed.toStdString();
}

// A damaged GIF ends a run with the application's error box, which says where, why and how many
// files were left, and the status bar counts the file as not changed. The button is ready for
// the next run. (A year the run refuses cannot be picked: the pickers refuse it first.)
TEST(MainWindowRun, ADamagedGifEndsTheRunAndSaysWhatIsLeft) {
    TWindowUnderTest w;
    const std::vector<std::string> files = w.AddFiles({"picture.gif", "later.txt"});
    w.folder.Write("picture.gif", "a text file, not a picture");
    w.Find<QAbstractButton>("cbDeleteGIFExtensions").click();
    AskForReadOnly(w);
    const uitest::TMessageBoxCatcher boxes;
    w.Find("item_Operate6").trigger();
    EXPECT_EQ(boxes.shown, std::vector<QString>{"Orbel Kelvane: The run stopped at " +
                                                QString::fromStdString(files[0]) +
                                                ": Invalid GIF signature; 1 file not processed."});
    EXPECT_FALSE(WriteProtected(files[1]));
    EXPECT_TRUE(w.Find<QLabel>("laRunReport").text().startsWith("0 files changed, 1 not changed"));
    EXPECT_EQ(w.Find<QToolButton>("btnStartStop").text(), " &Start to handle...");
}

platform::FileTime LocalFileTime(int year, int month, int day, int hour) {
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_isdst = -1;
    platform::FileTime time = 0;
    platform::UnixToFileTime({std::mktime(&parts), 0}, time);
    return time;
}

// The ways that take each file's own dates, chosen through the page's controls and run on a
// real file: a shift an hour back, Modified copied onto Created alone, the date in the name.
TEST(MainWindowRun, DatesShiftedCopiedOrTakenFromTheName) {
    const platform::FileTime hour = 3'600 * platform::kTicksPerSecond;
    const platform::FileTime created = LocalFileTime(2020, 5, 1, 10);
    const platform::FileTime modified = created + 24 * hour;
    const platform::FileTime opened = created + 48 * hour;
    const platform::FileTime named = LocalFileTime(2023, 1, 1, 12);
    struct Case {
        const char* name;
        std::function<void(TWindowUnderTest&)> choose;
        platform::FileTime created, modified, opened;
    };
    const Case cases[] = {
        {"shift.txt",
         [](TWindowUnderTest& w) {
             w.Find<QAbstractButton>("rbShiftDate").click();
             w.Find<QComboBox>("cmbShiftSign").setCurrentIndex(1);
             w.Find<QSpinBox>("seShiftHours").setValue(1);
         },
         created - hour, modified - hour, opened - hour},
        {"copy.txt",
         [](TWindowUnderTest& w) {
             w.Find<QAbstractButton>("rbCopyDate").click();
             auto& from = w.Find<QComboBox>("cmbCopyFrom");
             from.setCurrentIndex(from.findText("Modified"));
             w.Find<QAbstractButton>("cbModified").click();
             w.Find<QAbstractButton>("cbOpened").click();
         },
         modified, modified, opened},
        {"20230101_120000.txt",
         [](TWindowUnderTest& w) { w.Find<QAbstractButton>("rbDateFromFile").click(); }, named,
         named, named},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWindowUnderTest w;
        const std::string file = w.AddFiles({c.name})[0];
        ASSERT_TRUE(platform::SetFileTimes(
            file, {.creation = created, .lastAccess = opened, .lastWrite = modified}));
        c.choose(w);
        w.Find("item_Operate6").trigger();
        const std::optional<platform::FindData> found = platform::FindPath(file);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->creationTime, c.created);
        EXPECT_EQ(found->lastWriteTime, c.modified);
        EXPECT_EQ(found->lastAccessTime, c.opened);
    }
}

// A preview from the button's drop-down shows the planned values in the list, those that change
// in bold with today's as tooltip, a refused row with a warning and why, and the counts in the
// status bar; no file changes. A parameter changed ends it.
TEST(MainWindowPreview, TheListShowsThePlanUntilAParameterChanges) {
    TWindowUnderTest w;
    const std::vector<std::string> files = w.AddFiles({"a.txt", "b.txt", "locked.txt"});
    std::filesystem::permissions(files[2], std::filesystem::perms::owner_read);
    w.Find<QAbstractButton>("rbNameUpperCase").click();
    w.Find<QAbstractButton>("rbSetSelectedDate").click();
    w.window.show();
    auto& report = w.Find<QLabel>("laRunReport");
    auto& button = w.Find<QToolButton>("btnPreview");
    ASSERT_EQ(button.menu(), &w.Find<QMenu>("pmPreview"));
    button.menu()->actions().back()->trigger();
    const QString counts = "2 files would change, 1 would be refused";
    ASSERT_TRUE(QTest::qWaitFor([&] { return report.text() == counts; }))
        << report.text().toStdString();
    const QAbstractItemModel& model = *w.List().model();
    const auto cell = [&](int row, int role) { return model.index(row, 0).data(role); };
    EXPECT_EQ(cell(0, Qt::DisplayRole).toString(), "A.TXT");
    EXPECT_TRUE(cell(0, Qt::FontRole).value<QFont>().bold());
    EXPECT_TRUE(cell(2, Qt::FontRole).value<QFont>().bold());
    // The tooltips as the list shows them.
    auto& view = w.Find<QTreeView>(nullptr);
    const auto tooltip = [&](int row) {
        const QPoint at = view.visualRect(model.index(row, 0)).center();
        QHelpEvent tip(QEvent::ToolTip, at, view.viewport()->mapToGlobal(at));
        QApplication::sendEvent(view.viewport(), &tip);
        return QToolTip::text();
    };
    EXPECT_EQ(tooltip(0), "Now: a.txt");
    EXPECT_TRUE(tooltip(2).startsWith("Now: locked.txt\n")) << tooltip(2).toStdString();
    EXPECT_GT(tooltip(2).size(), QString("Now: locked.txt\n").size());
    const auto picture = [](const QIcon& icon) { return icon.pixmap(16).toImage(); };
    EXPECT_EQ(picture(cell(2, Qt::DecorationRole).value<QIcon>()),
              picture(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning)));
    EXPECT_TRUE(std::filesystem::exists(files[0]));

    w.Find<QAbstractButton>("rbNameDontChange").click();
    EXPECT_EQ(cell(0, Qt::DisplayRole).toString(), "a.txt");
    EXPECT_FALSE(cell(0, Qt::FontRole).isValid());
    EXPECT_TRUE(report.isHidden());
}

// A screen reader reads each control, menu item and page by its caption without "&", and the
// object count from the status bar.
TEST(MainWindow, AccessibleNames) {
    TWindowUnderTest w;
    w.AddFiles({"a.txt", "b.txt", "c.txt"});
    w.window.show();
    const auto name = [](QObject& object) {
        return QAccessible::queryAccessibleInterface(&object)->text(QAccessible::Name);
    };
    EXPECT_EQ(name(w.Find<QToolButton>("btnRemoveDir")), "Remove Folder from List");
    EXPECT_EQ(name(w.Find<QToolButton>("btnAddDir")), "Add Folder to List...");
    EXPECT_EQ(name(w.Find<QToolButton>("btnStartStop")), "Start to handle...");
    EXPECT_EQ(name(*w.Find<QTabWidget>("pcTymo").widget(1)), "Parameters");
    auto& edit = w.Find<QMenu>("EditMenu");
    edit.popup({});
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(&edit);
    EXPECT_EQ(menu->child(2)->text(QAccessible::Name), "Add File to List");
    EXPECT_EQ(menu->child(6)->text(QAccessible::Name), "Remove Folder from List");
    edit.hide();
    auto* table = static_cast<QAccessibleTableInterface*>(
        QAccessible::queryAccessibleInterface(&w.List())->interface_cast(
            QAccessible::TableInterface));
    EXPECT_EQ(table->cellAt(1, 0)->text(QAccessible::Name), "b.txt");
    QAccessibleInterface* bar =
        QAccessible::queryAccessibleInterface(&w.Find<ui::TStatusBarPro>("SB"));
    EXPECT_EQ(bar->child(0)->text(QAccessible::Name), "3 object(s)");
}

// Files dropped on the window are added under the rules of a fresh window: files only.
TEST(MainWindow, ArrangeByReversesOnTheSecondPickAndTheHeaderShowsIt) {
    TWindowUnderTest w;
    w.AddFiles({"b.txt", "a.txt", "c.txt"});
    QTreeView& details = w.Find<QTreeView>(nullptr);
    const auto first = [&] { return details.model()->index(0, 0).data().toString(); };
    w.Find("item_BySize").trigger();
    w.Find("item_ByName").trigger();
    EXPECT_EQ(first(), "a.txt");
    EXPECT_EQ(details.header()->sortIndicatorOrder(), Qt::AscendingOrder);
    w.Find("item_ByName").trigger();
    EXPECT_EQ(first(), "c.txt");
    EXPECT_EQ(details.header()->sortIndicatorSection(), 0);
    EXPECT_EQ(details.header()->sortIndicatorOrder(), Qt::DescendingOrder);
}

TEST(MainWindow, DroppedFilesAreAddedButFoldersAndRemoteAddressesAreNot) {
    TWindowUnderTest w;
    const std::string file = w.folder.Write("dropped.txt", "x");
    std::filesystem::create_directory(w.folder / "sub");
    QMimeData data;
    // A remote address is no file of this machine: passed over.
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file)),
                  QUrl::fromLocalFile(QString::fromStdString(w.folder / "sub")),
                  QUrl(QStringLiteral("https://example.org/remote.txt"))});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // The event goes straight to the window: QApplication passes on only drops of a real drag.
    static_cast<QObject&>(w.window).event(&drop);
    EXPECT_EQ(w.List().model()->rowCount(), 1);
    EXPECT_EQ(w.Panel(0), "1 object(s)");
}

// An add-folder command chooses its mode even when its folder dialog is cancelled: the drops
// that follow are added under it.
TEST(MainWindow, ACancelledAddFolderStillSetsTheModeOfDrops) {
    TWindowUnderTest w;
    std::filesystem::create_directory(w.folder / "sub");
    w.Find("item_AddFoldersOnly").trigger();
    w.AddFiles({"file.txt"});
    w.window.WMDropFiles({w.folder / "sub"});
    ASSERT_EQ(w.List().model()->rowCount(), 1);
    EXPECT_EQ(w.List().model()->index(0, 0).data().toString(), "sub");
}

// While a folder search fills the list, no run can start and the pages are locked.
TEST(MainWindow, AFolderSearchLocksStartAndThePagesUntilItEnds) {
    TWindowUnderTest w;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        w.folder.Write(name, "x");
    w.chooser.folder = QString::fromStdString(w.folder.Path());
    w.Find("item_AddFilesOnly").trigger();
    auto& pages = w.Find<QTabWidget>("pcTymo");
    EXPECT_FALSE(pages.isEnabled());
    EXPECT_FALSE(w.Find<QToolButton>("btnStartStop").isEnabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return pages.isEnabled(); }));
    EXPECT_TRUE(w.Find<QToolButton>("btnStartStop").isEnabled());
    EXPECT_EQ(w.List().model()->rowCount(), 3);
    EXPECT_EQ(w.Panel(0), "3 object(s)");
}

// File > Delete asks once, naming the one item or counting them; the files that could not be
// moved are named in one message.
TEST(MainWindow, DeleteAsksOnceThenMovesToTheTrash) {
    TWindowUnderTest w;
    const testsupport::ScopedEnv data("XDG_DATA_HOME", (w.folder / "data").c_str());
    const std::vector<std::string> paths = w.AddFiles({"a.txt", "b.txt", "gone.txt", "d.txt"});
    w.chooser.agree = false;
    w.Select({0});
    w.Find("item_Delete").trigger();
    EXPECT_EQ(w.List().model()->rowCount(), 4);
    EXPECT_TRUE(std::filesystem::exists(paths[0]));

    w.chooser.agree = true;
    w.Select({1, 2});
    std::filesystem::remove(paths[2]);
    const uitest::TMessageBoxCatcher boxes;
    w.Find<QToolButton>("btnDelete").click();
    EXPECT_EQ(w.chooser.questions,
              (std::vector<QString>{"Do you want to move \"a.txt\" to the trash?",
                                    "Do you want to move these 3 items to the trash?"}));
    EXPECT_FALSE(std::filesystem::exists(paths[0]));
    EXPECT_FALSE(std::filesystem::exists(paths[1]));
    EXPECT_EQ(w.List().model()->rowCount(), 1);
    EXPECT_EQ(w.Panel(0), "1 object(s)");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(
        boxes.shown[0].startsWith("Orbel Kelvane: These items could not be moved to the trash:\n" +
                                  QString::fromStdString(paths[2]) + ": "))
        << boxes.shown[0].toStdString();
}

// A change of the desktop's formats reaches the texts made from then on.
TEST(MainWindow, ALocaleChangeReadsTheFormatsAgain) {
    const testsupport::LocaleScope english("en_US.UTF-8", "UTC");
    if (!english.Available())
        GTEST_SKIP() << "en_US.UTF-8 is not installed";
    TWindowUnderTest w;
    const std::string before = platform::CurrentLocaleFormats().shortDate;
    const testsupport::ScopedEnv german("LC_ALL", "de_DE.UTF-8");
    QEvent change(QEvent::LocaleChange);
    QApplication::sendEvent(&w.window, &change);
    EXPECT_NE(platform::CurrentLocaleFormats().shortDate, before);
}

// The manual shows in a window of the program's own, with no browser needed.
TEST(MainWindow, HelpTopicsShowsTheManualInAWindowOfItsOwn) {
    TWindowUnderTest w;
    w.Find("item_Contents").trigger();
    auto& help = w.Find<QWidget>("HelpWindow");
    EXPECT_TRUE(help.isVisible());
    auto& browser = w.Find<QTextBrowser>("HelpBrowser");
    EXPECT_TRUE(browser.source().toLocalFile().endsWith("docs/manual/index.html"));
    EXPECT_TRUE(browser.toPlainText().contains("Orbel Kelvane"));
    help.close();
    w.Find("item_Contents").trigger();
    EXPECT_TRUE(help.isVisible());

    // Installed, the program finds the manual beside it before the source tree's.
    const testsupport::TempDir prefix;
    const std::string manual = prefix / "share/doc/orbel-kelvane/manual";
    std::filesystem::create_directories(manual);
    std::filesystem::create_directories(prefix / "bin");
    std::ofstream(manual + "/index.html") << "manual";
    EXPECT_EQ(ui::ManualPath(QString::fromStdString(prefix / "bin")),
              QString::fromStdString(manual + "/index.html"));
}

// What shows at once: every page of pcTymo, and each sub-page of "Parameters".
struct TShownPage {
    int page;
    const char* subPage;
};
constexpr TShownPage kShownPages[] = {{0, nullptr},     {1, "btnDateTime"},   {1, "btnAttributes"},
                                      {1, "btnRename"}, {1, "btnMultimedia"}, {2, nullptr}};

void Show(TWindowUnderTest& w, const TShownPage& shown) {
    w.Find<QTabWidget>("pcTymo").setCurrentIndex(shown.page);
    if (shown.subPage)
        w.Find<QAbstractButton>(shown.subPage).click();
    QApplication::processEvents();
}

// The access key of a caption ("&&" is a plain "&"), or 0.
QChar AccessKey(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            return text[i + 1].toUpper();
        ++i;
    }
    return {};
}

// Alt and a letter does one thing wherever the user is: no two captions shown at once, the
// menu bar's included, share an access key.
TEST(MainWindow, AccessKeysAreUniqueOnEveryPage) {
    TWindowUnderTest w;
    w.window.show();
    for (const TShownPage& shown : kShownPages) {
        Show(w, shown);
        std::map<QChar, QString> keys;
        const auto take = [&](const QString& caption) {
            const QChar key = AccessKey(caption);
            if (key.isNull())
                return;
            const auto [taken, added] = keys.emplace(key, caption);
            EXPECT_TRUE(added) << shown.page << " " << (shown.subPage ? shown.subPage : "") << ": "
                               << caption.toStdString() << " and " << taken->second.toStdString();
        };
        for (QAction* menu : w.Find<QMenuBar>("MainMenu1").actions())
            take(menu->text());
        for (QAbstractButton* button : w.window.findChildren<QAbstractButton*>())
            if (button->isVisible())
                take(button->text());
        for (QLabel* label : w.window.findChildren<QLabel*>())
            if (label->isVisible() && label->buddy())
                take(label->text());
    }
}

// Every control a screen reader reaches has a name that says what it is, trimmed, and no other
// control shown at once has the same.
TEST(MainWindow, AccessibleNamesAreUniqueAndTrimmed) {
    TWindowUnderTest w;
    w.AddFiles({"a.txt"});
    w.window.show();
    for (const TShownPage& shown : kShownPages) {
        Show(w, shown);
        std::map<QString, QString> names;
        for (QWidget* widget : w.window.findChildren<QWidget*>()) {
            // The parts of a control (a picker's text, a view's viewport) and the page control,
            // which hands the focus to its tabs, are read as their whole.
            if (!widget->isVisible() || widget->focusPolicy() == Qt::NoFocus ||
                widget->focusProxy() ||
                qobject_cast<QAbstractScrollArea*>(widget->parentWidget()) ||
                qobject_cast<QAbstractSpinBox*>(widget->parentWidget()))
                continue;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            const QString name = accessible->text(QAccessible::Name);
            const QString what =
                widget->metaObject()->className() + QString(" ") + widget->objectName();
            EXPECT_FALSE(name.isEmpty()) << what.toStdString() << " on " << shown.page;
            EXPECT_EQ(name, name.trimmed()) << what.toStdString();
            if (name.isEmpty())
                continue;
            const auto [taken, added] = names.emplace(name, what);
            EXPECT_TRUE(added) << name.toStdString() << ": " << what.toStdString() << " and "
                               << taken->second.toStdString();
        }
    }
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(&w.Find<QProgressBar>("PB"))->text(QAccessible::Name),
        "Progress");
}

// The usual desktop keys, shown beside their commands in the menus.
TEST(MainWindow, CommandsHaveTheUsualKeys) {
    TWindowUnderTest w;
    const std::pair<const char*, QKeySequence> keys[] = {
        {"item_Delete", QKeySequence(Qt::Key_Delete)},
        {"item_Close", QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {"item_AddFile", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"item_Contents", QKeySequence(Qt::Key_F1)},
        {"item_Operate6", QKeySequence(Qt::Key_F5)},
        {"item_Stop", QKeySequence(Qt::Key_Escape)},
        {"item_ContextMenu", QKeySequence(Qt::SHIFT | Qt::Key_F10)},
        {"item_NextPage", QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
        {"item_PreviousPage", QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
    };
    for (const auto& [name, key] : keys)
        EXPECT_EQ(w.Find(name).shortcut(), key) << name;
}

// A new user sees what to do with an empty list; the Arrange Icons menu marks the sort in
// force; a menu's hint goes when the menu closes.
TEST(MainWindow, EmptyListHintSortMarkAndHintsThatGo) {
    TWindowUnderTest w;
    w.window.show();
    QApplication::processEvents();
    const QImage empty = w.List().viewport()->grab().toImage();
    QImage blank(empty.size(), empty.format());
    blank.fill(w.List().viewport()->palette().color(QPalette::Base));
    EXPECT_NE(empty, blank);
    w.AddFiles({"b.txt", "a.txt"});
    EXPECT_FALSE(w.Find("item_BySize").isChecked());
    w.Find("item_BySize").trigger();
    w.Find("item_ByType").trigger();
    EXPECT_TRUE(w.Find("item_ByType").isChecked());
    EXPECT_FALSE(w.Find("item_BySize").isChecked());
    auto& edit = w.Find<QMenu>("EditMenu");
    edit.popup({});
    edit.setActiveAction(&w.Find("item_AddFile"));
    EXPECT_NE(w.Panel(2), "");
    edit.hide();
    EXPECT_EQ(w.Panel(2), "");
}

// On a first start each column is as wide as its texts, and a cell cut all the same shows its
// whole text as a tooltip. In the icon styles every name has the same room after a sort as
// before it.
TEST(MainWindow, ColumnsFitTheirTextsAndNamesKeepTheirRoom) {
    TWindowUnderTest w;
    // The short name first: a view that measured one item would give its room to the other.
    w.window.WMDropFiles({w.folder.Write("b.txt", "a larger file"),
                          w.folder.Write("a rather long name for a file.txt", "small")});
    w.window.show();
    auto& details = w.Find<QTreeView>(nullptr);
    const QFontMetrics metrics = details.fontMetrics();
    for (const filelist::ListColumn column :
         {filelist::ListColumn::Size, filelist::ListColumn::Type, filelist::ListColumn::Created,
          filelist::ListColumn::Modified, filelist::ListColumn::Opened}) {
        const QModelIndex cell = details.model()->index(0, static_cast<int>(column));
        EXPECT_GT(details.columnWidth(cell.column()),
                  metrics.horizontalAdvance(cell.data().toString()))
            << cell.column();
    }
    details.setColumnWidth(0, 60);
    const QModelIndex name = details.model()->index(1, 0);
    const QPoint at = details.visualRect(name).center();
    QHelpEvent tip(QEvent::ToolTip, at, details.viewport()->mapToGlobal(at));
    QApplication::sendEvent(details.viewport(), &tip);
    EXPECT_EQ(QToolTip::text(), name.data().toString());

    w.Find("item_ViewIcons").trigger();
    w.Find("item_BySize").trigger();
    auto& icons = *w.window.findChild<QListView*>();
    QApplication::processEvents();
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(icons.visualRect(icons.model()->index(row, 0)).width(), icons.gridSize().width())
            << row;
}

TEST(MainWindow, OpenDialogFilterInTheFormQtTakes) {
    EXPECT_EQ(ui::OpenDialogFilter("All Files|*.*|Help Files|*.hlp;*.cnt;*.chm"),
              "All Files (*);;Help Files (*.hlp *.cnt *.chm)");
}

}  // namespace
