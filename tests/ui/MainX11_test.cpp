// The main window on a real X server (the test runs under xvfb-run with the xcb platform):
// menus open and close as the window system shows them, and a run started by mouse clicks
// changes the files.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QMenuBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "MainWindowSupport.h"

namespace {

using uitest::TWindowUnderTest;

void ShowOnScreen(TWindowUnderTest& w) {
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
}

// Does `act` on `menu` once it is shown. A tool button's drop-down runs its own event loop,
// so the menu is watched from a timer rather than after the press returns.
class MenuWatch {
public:
    MenuWatch(QMenu& menu, std::function<void(QMenu&)> act) {
        timer_.callOnTimeout([this, &menu, act] {
            if (!menu.isVisible() || shown_)
                return;
            shown_ = true;
            act(menu);
        });
        timer_.start(10);
    }
    bool Shown() const { return shown_; }

private:
    QTimer timer_;
    bool shown_ = false;
};

// Presses `opener` and expects `menu` to come up; Escape closes it again.
void OpenAndClose(QMenu& menu, const std::function<void()>& opener) {
    const MenuWatch watch(menu, [](QMenu& shown) { QTest::keyClick(&shown, Qt::Key_Escape); });
    opener();
    EXPECT_TRUE(QTest::qWaitFor([&] { return watch.Shown() && !menu.isVisible(); }))
        << qPrintable(menu.objectName());
}

TEST(MainWindowOnX11, EveryMenuOpensAndCloses) {
    TWindowUnderTest w;
    w.AddFiles({"a.txt"});
    ShowOnScreen(w);
    auto& bar = w.Find<QMenuBar>("MainMenu1");
    for (const char* name : {"FileMenu", "EditMenu", "ViewMenu", "HelpMenu"}) {
        auto& menu = w.Find<QMenu>(name);
        OpenAndClose(menu, [&] {
            QTest::mouseClick(&bar, Qt::LeftButton, {},
                              bar.actionGeometry(menu.menuAction()).center());
        });
    }
    OpenAndClose(w.Find<QMenu>("pmOperate"),
                 [&] { QTest::mouseClick(&w.Find<QToolButton>("btnStartStop"), Qt::LeftButton); });
    OpenAndClose(w.Find<QMenu>("pmAddFolderParams"),
                 [&] { QTest::mouseClick(&w.Find<QToolButton>("btnAddDir"), Qt::LeftButton); });
    QWidget& rows = *w.List().viewport();
    OpenAndClose(w.Find<QMenu>("PopupMenu1"), [&] {
        QContextMenuEvent click(QContextMenuEvent::Mouse, {5, 5}, rows.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(&rows, &click);
    });
}

// Files added, "Set new" with Read-only and Archive ticked, "All items" picked from the
// Start button's drop-down: every file loses its write permission.
TEST(MainWindowOnX11, ARunOfAllItemsChangesTheFiles) {
    TWindowUnderTest w;
    const std::vector<std::string> files = w.AddFiles({"one.txt", "two.txt"});
    ShowOnScreen(w);
    auto& pages = w.Find<QTabWidget>("pcTymo");
    QTest::mouseClick(pages.tabBar(), Qt::LeftButton, {}, pages.tabBar()->tabRect(1).center());
    QTest::mouseClick(&w.Find<QAbstractButton>("btnAttributes"), Qt::LeftButton);
    for (const char* box : {"cbSetAttr", "cbReadOnly"}) {
        auto& check = w.Find<QCheckBox>(box);
        QTest::mouseClick(&check, Qt::LeftButton, {}, QPoint(5, check.height() / 2));
    }
    QTest::mouseClick(pages.tabBar(), Qt::LeftButton, {}, pages.tabBar()->tabRect(0).center());
    QAction& allItems = w.Find("item_Operate6");
    const MenuWatch watch(w.Find<QMenu>("pmOperate"), [&](QMenu& menu) {
        QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(&allItems).center());
    });
    QTest::mouseClick(&w.Find<QToolButton>("btnStartStop"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return watch.Shown(); }));
    using std::filesystem::perms;
    for (const std::string& file : files) {
        EXPECT_EQ(std::filesystem::status(file).permissions() &
                      (perms::owner_write | perms::group_write | perms::others_write),
                  perms::none)
            << file;
    }
    EXPECT_EQ(w.Find<QToolButton>("btnStartStop").text(), " &Start to handle...");
}

// Keys go to the active window; with no window manager, the test makes it active.
void ShowActive(TWindowUnderTest& w) {
    ShowOnScreen(w);
    w.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
}

bool WriteProtected(const std::string& path) {
    using std::filesystem::perms;
    return (std::filesystem::status(path).permissions() &
            (perms::owner_write | perms::group_write | perms::others_write)) == perms::none;
}

// The keys a desktop user expects, pressed on the window system's keyboard. Alt+F opens the File
// menu, not a tool button; F5 runs all items; Escape stops a run; Delete in the list asks before
// the trash; Shift+F10 opens the list's menu; Ctrl+PgDn leaves a picker's page; F1 shows help;
// Ctrl+Z undoes the last run, except in a picker's text.
TEST(MainWindowOnX11, KeysDoWhatTheyDoOnAnyDesktop) {
    struct Case {
        const char* name;
        std::function<QWidget&(TWindowUnderTest&)> focus;
        QKeyCombination key;
        std::function<bool(TWindowUnderTest&)> done;
    };
    const auto list = [](TWindowUnderTest& w) -> QWidget& {
        return w.Find<ui::TFileListViews>("lvFiles").CurrentView();
    };
    const auto menuShown = [](const char* menu) {
        return [menu](TWindowUnderTest& w) {
            const bool shown = QTest::qWaitFor([&] { return w.Find<QMenu>(menu).isVisible(); });
            w.Find<QMenu>(menu).hide();
            return shown;
        };
    };
    const Case cases[] = {
        {"Alt+F", list, Qt::ALT | Qt::Key_F, menuShown("FileMenu")},
        {"Shift+F10", list, Qt::SHIFT | Qt::Key_F10, menuShown("PopupMenu1")},
        {"F5", list, QKeyCombination(Qt::Key_F5),
         [](TWindowUnderTest& w) { return WriteProtected(w.folder / "a.txt"); }},
        {"Delete", list, QKeyCombination(Qt::Key_Delete),
         [](TWindowUnderTest& w) { return w.chooser.questions.size() == 1; }},
        {"Ctrl+PgDn",
         [](TWindowUnderTest& w) -> QWidget& {
             w.Find<QTabWidget>("pcTymo").setCurrentIndex(1);
             return w.Find<QWidget>("dtpDate");
         },
         Qt::CTRL | Qt::Key_PageDown,
         [](TWindowUnderTest& w) { return w.Find<QTabWidget>("pcTymo").currentIndex() == 2; }},
        {"Ctrl+Z",
         [&list](TWindowUnderTest& w) -> QWidget& {
             w.Find("item_Operate6").trigger();
             return list(w);
         },
         Qt::CTRL | Qt::Key_Z, [](TWindowUnderTest& w) { return w.chooser.questions.size() == 1; }},
        // In a picker's text Ctrl+Z undoes the typing, not the run.
        {"Ctrl+Z in a picker",
         [](TWindowUnderTest& w) -> QWidget& {
             w.Find("item_Operate6").trigger();
             w.Find<QTabWidget>("pcTymo").setCurrentIndex(1);
             return w.Find<QWidget>("dtpDate");
         },
         Qt::CTRL | Qt::Key_Z, [](TWindowUnderTest& w) { return w.chooser.questions.empty(); }},
        {"F1", list, QKeyCombination(Qt::Key_F1),
         [](TWindowUnderTest& w) {
             const bool shown = w.Find<QWidget>("HelpWindow").isVisible();
             w.Find<QWidget>("HelpWindow").close();
             return shown;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWindowUnderTest w;
        w.AddFiles({"a.txt"});
        w.Select({0});
        w.chooser.agree = false;
        w.Find<QAbstractButton>("cbSetAttr").click();
        w.Find<QAbstractButton>("cbReadOnly").click();
        w.Find<QAbstractButton>("rbSetSelectedDate").click();
        ShowActive(w);
        QWidget& target = c.focus(w);
        target.setFocus();
        QTest::keyClick(&target, c.key.key(), c.key.keyboardModifiers());
        EXPECT_TRUE(c.done(w));
    }
}

// Escape during a run stops it before the next file.
TEST(MainWindowOnX11, EscapeStopsARun) {
    TWindowUnderTest w;
    const std::vector<std::string> files = w.AddFiles({"a.txt", "b.txt"});
    w.Find<QAbstractButton>("cbSetAttr").click();
    w.Find<QAbstractButton>("cbReadOnly").click();
    ShowActive(w);
    w.RunWith("item_Operate6", [&] { QTest::keyClick(&w.window, Qt::Key_Escape); });
    EXPECT_FALSE(WriteProtected(files[0]));
    EXPECT_FALSE(WriteProtected(files[1]));
    EXPECT_EQ(w.Find<QToolButton>("btnStartStop").text(), " &Start to handle...");
}

}  // namespace
