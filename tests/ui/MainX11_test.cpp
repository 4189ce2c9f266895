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

}  // namespace
