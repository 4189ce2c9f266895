#include "ui/SBPro.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QImage>
#include <QMenu>
#include <QPaintEvent>
#include <QProgressBar>
#include <QSizeGrip>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/ImageList.h"

namespace {

using ui::TAlignment;
using ui::TStatusBarPro;
using ui::TStatusPanelPro;

// A window of its own with the bar along its bottom edge, as the main window holds it.
struct BarWindow {
    QWidget window;
    QVBoxLayout layout{&window};
    TStatusBarPro bar;

    explicit BarWindow(const std::vector<int>& widths) {
        layout.setContentsMargins(0, 0, 0, 0);
        layout.addStretch();
        layout.addWidget(&bar);
        window.resize(500, 80);
        for (const int width : widths)
            bar.Panels().Add().SetWidth(width);
    }
    void Show() {
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QPoint CentreOf(int panel) const { return bar.PanelRect(panel).center(); }
};

// The paint events that reach one widget.
class PaintLog : public QObject {
public:
    explicit PaintLog(QWidget& widget) { widget.installEventFilter(this); }
    std::vector<QRegion> regions;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            regions.push_back(static_cast<QPaintEvent*>(event)->region());
        return false;
    }
};

TEST(StatusBarPro, ScreenReadersReadEachPanelAndTheChildWidgets) {
    BarWindow w({150, 104, 50});
    const QStringList texts = {"3 object(s)", "", "Opens Help."};
    for (int i = 0; i < 3; ++i)
        w.bar.Panels()[i].SetText(texts[i]);
    QProgressBar progress(&w.bar);
    w.Show();

    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(&w.bar);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->role(), QAccessible::StatusBar);
    ASSERT_GE(bar->childCount(), 4);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(bar->child(i)->role(), QAccessible::StaticText);
        EXPECT_EQ(bar->child(i)->text(QAccessible::Name), texts[i]);
        EXPECT_EQ(bar->indexOfChild(bar->child(i)), i);
    }
    std::vector<QAccessible::Role> widgetRoles;
    for (int i = 3; i < bar->childCount(); ++i)
        widgetRoles.push_back(bar->child(i)->role());
    EXPECT_NE(std::find(widgetRoles.begin(), widgetRoles.end(), QAccessible::ProgressBar),
              widgetRoles.end());
    const QPoint inPanel2 = w.bar.mapToGlobal(w.CentreOf(2));
    EXPECT_EQ(bar->childAt(inPanel2.x(), inPanel2.y()), bar->child(2));
}

TEST(StatusBarPro, ShowsAtMost128Panels) {
    BarWindow w(std::vector<int>(130, 3));
    EXPECT_EQ(w.bar.ShownPanelCount(), 128);
    EXPECT_FALSE(w.bar.PanelRect(127).isEmpty());
    EXPECT_TRUE(w.bar.PanelRect(128).isEmpty());
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(&w.bar);
    int panels = 0;
    for (int i = 0; i < bar->childCount(); ++i)
        panels += bar->child(i)->role() == QAccessible::StaticText;
    EXPECT_EQ(panels, 128);
}

TEST(StatusBarPro, ATextChangeRepaintsOnlyItsPanelAndTheSameTextNothing) {
    BarWindow w({150, 104, 50});
    w.bar.Panels()[0].SetText("5 object(s)");
    w.Show();
    PaintLog log(w.bar);

    w.bar.Panels()[0].SetText("5 object(s)");
    QApplication::processEvents();
    EXPECT_TRUE(log.regions.empty());

    w.bar.Panels()[2].SetText("Closes the window.");
    QApplication::processEvents();
    ASSERT_EQ(log.regions.size(), 1u);
    EXPECT_EQ(log.regions[0], QRegion(w.bar.PanelRect(2)));
}

// Where the image (pure red) and the text (full blocks, as wide as their advance) land inside
// panel 0's border.
TEST(StatusBarPro, PlacesImageAndTextByAlignment) {
    struct Case {
        const char* name;
        TAlignment alignment;
        int imageIndex;
        // Expected left edges from the inside's left L and right R (one past the last column),
        // the text width W and the image width 16; no value where nothing is drawn.
        std::function<std::optional<int>(int L, int R, int W)> imageX;
        std::function<int(int L, int R, int W)> textX;
    };
    const auto none = [](int, int, int) { return std::optional<int>(); };
    const std::vector<Case> cases = {
        {"left", TAlignment::taLeftJustify, -1, none, [](int L, int, int) { return L + 1; }},
        {"left with image", TAlignment::taLeftJustify, 0, [](int L, int, int) { return L + 1; },
         [](int L, int, int) { return L + 1 + 16 + 2; }},
        {"image index past the list", TAlignment::taLeftJustify, 1, none,
         [](int L, int, int) { return L + 1; }},
        {"right", TAlignment::taRightJustify, -1, none,
         [](int, int R, int W) { return R - 1 - W; }},
        {"right with image", TAlignment::taRightJustify, 0,
         [](int, int R, int) { return R - 16 - 1; },
         [](int, int R, int W) { return R - 16 - 1 - 2 - W; }},
        {"centre", TAlignment::taCenter, -1, none,
         [](int L, int R, int W) { return L + (R - L - W) / 2; }},
        {"centre with image", TAlignment::taCenter, 0,
         [](int L, int R, int W) { return L + (R - L - 16 - W) / 2; },
         [](int L, int R, int W) { return L + (R - L - 16 - W) / 2 + 16 + 2; }},
    };
    QPixmap red(16, 16);
    red.fill(Qt::red);
    ui::TImageList images(16, 16);
    images.AddMasked(red, QColor(255, 0, 255));
    const QString text = QString(2, QChar(0x2588));

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BarWindow w({151, 50});
        w.bar.SetImages(&images);
        TStatusPanelPro& panel = w.bar.Panels()[0];
        panel.SetAlignment(c.alignment);
        panel.SetImageIndex(c.imageIndex);
        panel.SetText(text);
        w.Show();
        const QImage shot = w.bar.grab().toImage();
        const QRect inside = w.bar.PanelRect(0).adjusted(1, 1, -1, -1);
        const int L = inside.left();
        const int R = inside.left() + inside.width();
        const int W = w.bar.fontMetrics().horizontalAdvance(text);

        std::optional<int> imageLeft, textLeft;
        const int y = inside.center().y();
        for (int x = inside.right(); x >= L; --x) {
            const QRgb pixel = shot.pixel(x, y);
            if (pixel == qRgb(255, 0, 0))
                imageLeft = x;
            else if (qRed(pixel) < 128)
                textLeft = x;
        }
        EXPECT_EQ(imageLeft, c.imageX(L, R, W));
        ASSERT_TRUE(textLeft.has_value());
        EXPECT_EQ(*textLeft, c.textX(L, R, W));
        if (imageLeft) {
            EXPECT_EQ(shot.pixel(*imageLeft, inside.top() + (inside.height() - 16) / 2),
                      qRgb(255, 0, 0));
        }
    }
}

TEST(StatusBarPro, SizeGripOnlyInAResizableWindow) {
    struct Case {
        const char* name;
        bool fixedWindow, sizeGrip, gripShown;
    };
    const std::vector<Case> cases = {
        {"resizable window", false, true, true},
        {"fixed-size window", true, true, false},
        {"grip turned off", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BarWindow w({150, 104, 50});
        if (c.fixedWindow)
            w.window.setFixedSize(500, 80);
        w.bar.SetSizeGrip(c.sizeGrip);
        w.Show();
        const QSizeGrip* grip = w.bar.findChild<QSizeGrip*>();
        EXPECT_EQ(grip != nullptr && grip->isVisible(), c.gripShown);
        if (c.gripShown) {
            EXPECT_LE(w.bar.PanelRect(2).right(), grip->geometry().left());
        }
    }
}

TEST(StatusBarPro, TooltipAndClickReachThePanelUnderThePointerOrElseTheBar) {
    BarWindow w({150, 104, 50});
    w.bar.setToolTip("Bar");
    std::vector<std::string> clicks;
    w.bar.OnClick = [&](TStatusBarPro&) { clicks.push_back("bar"); };
    w.bar.Panels()[1].SetHint("Progress");
    w.bar.Panels()[1].OnClick = [&](TStatusPanelPro& p) {
        clicks.push_back("panel " + std::to_string(p.Index()));
    };
    w.bar.Panels()[2].SetHint("Hint");
    w.Show();

    struct Case {
        int panel;
        const char* tip;
        const char* click;
    };
    for (const Case& c :
         std::vector<Case>{{0, "Bar", "bar"}, {1, "Progress", "panel 1"}, {2, "Hint", "bar"}}) {
        SCOPED_TRACE(c.panel);
        const QPoint pos = w.CentreOf(c.panel);
        QHelpEvent help(QEvent::ToolTip, pos, w.bar.mapToGlobal(pos));
        QApplication::sendEvent(&w.bar, &help);
        EXPECT_EQ(QToolTip::text(), c.tip);
        QToolTip::hideText();

        clicks.clear();
        QTest::mouseClick(&w.bar, Qt::LeftButton, {}, pos);
        EXPECT_EQ(clicks, std::vector<std::string>{c.click});
    }
}

TEST(StatusBarPro, ADestroyedPanelMenuIsDroppedAndTheBarMenuPopsUp) {
    BarWindow w({150, 104, 50});
    QMenu barMenu;
    barMenu.addAction("Bar");
    w.bar.SetPopupMenu(&barMenu);
    auto panelMenu = std::make_unique<QMenu>();
    panelMenu->addAction("Panel");
    w.bar.Panels()[0].SetPopupMenu(panelMenu.get());
    w.Show();

    panelMenu.reset();
    EXPECT_EQ(w.bar.Panels()[0].PopupMenu(), nullptr);
    const QPoint pos = w.CentreOf(0);
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, w.bar.mapToGlobal(pos));
    QApplication::sendEvent(&w.bar, &event);
    EXPECT_TRUE(barMenu.isVisible());
    barMenu.hide();
}

}  // namespace
