#include "ui/About.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QUrl>
#include <vector>

namespace {

// Stands in for the desktop's mail program and browser: keeps every link handed over.
class LinkCatcher : public QObject {
    Q_OBJECT
public:
    LinkCatcher() {
        for (const char* scheme : {"mailto", "http"})
            QDesktopServices::setUrlHandler(scheme, this, "Open");
    }
    ~LinkCatcher() override {
        for (const char* scheme : {"mailto", "http"})
            QDesktopServices::unsetUrlHandler(scheme);
    }
    std::vector<QUrl> links;

public slots:
    void Open(const QUrl& url) { links.push_back(url); }
};

QLabel& Label(ui::TAboutBox& box, const char* name) {
    QLabel* label = box.findChild<QLabel*>(name);
    EXPECT_NE(label, nullptr) << name;
    return *label;
}

TEST(AboutBox, MailtoLinkIsBuiltLetterForLetter) {
    EXPECT_EQ(ui::VersionText({1, 5, 1, 1}), "1.5.1.1");
    EXPECT_EQ(ui::MailtoLink("Orbel Kelvane Support", "help@example.org", "1.5.1.1"),
              "mailto:Orbel%20Kelvane%20Support%20<help@example.org>"
              "?Subject=Orbel%20Kelvane%20v1.5.1.1");
}

TEST(AboutBox, LinksGoToTheDesktopAndMinimizeTheMainWindow) {
    struct Case {
        const char* label;
        QString linkStart, linkEnd;
    };
    const std::vector<Case> cases = {
        {"laEMail", "mailto:", "?Subject=Orbel%20Kelvane%20v1.5.1.1"},
        {"laWeb", "http://", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        QWidget mainWindow;
        mainWindow.show();
        ui::TAboutBox box(&mainWindow, {1, 5, 1, 1});
        box.show();
        EXPECT_EQ(Label(box, "laVersion").text(), "1.5.1.1");
        LinkCatcher catcher;

        QLabel& link = Label(box, c.label);
        QTest::mouseClick(&link, Qt::LeftButton);
        ASSERT_EQ(catcher.links.size(), 1u);
        const QString handed = QString::fromLatin1(catcher.links[0].toEncoded());
        EXPECT_TRUE(handed.startsWith(c.linkStart)) << handed.toStdString();
        EXPECT_TRUE(handed.endsWith(c.linkEnd)) << handed.toStdString();
        EXPECT_TRUE(handed.contains(link.text())) << handed.toStdString();
        EXPECT_TRUE(mainWindow.isMinimized());
        EXPECT_TRUE(box.isVisible());
    }
}

TEST(AboutBox, CopyPutsTheAddressOfTheRightClickedLinkOnTheClipboard) {
    ui::TAboutBox box;
    box.show();
    QMenu* menu = box.findChild<QMenu*>("PopupMenu1");
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    QAction* copy = menu->actions()[0];
    EXPECT_EQ(copy->text(), "&Copy address to clipboard");

    struct Case {
        const char* label;
        QString prefix, suffix;
    };
    for (const Case& c : std::vector<Case>{{"laEMail", "", ""}, {"laWeb", "http://", "/"}}) {
        SCOPED_TRACE(c.label);
        QLabel& link = Label(box, c.label);
        QContextMenuEvent event(QContextMenuEvent::Mouse, link.rect().center(),
                                link.mapToGlobal(link.rect().center()));
        QApplication::sendEvent(&link, &event);
        EXPECT_TRUE(menu->isVisible());
        copy->trigger();
        menu->hide();
        EXPECT_EQ(QApplication::clipboard()->text(), c.prefix + link.text() + c.suffix);
    }
}

TEST(AboutBox, EscapeAndEnterClose) {
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        SCOPED_TRACE(key);
        ui::TAboutBox box;
        box.show();
        QWidget* focus = box.focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_FALSE(focus->geometry().intersects(box.rect())) << "the focus holder is hidden";
        QTest::keyClick(focus, key);
        EXPECT_FALSE(box.isVisible());
    }
}

TEST(AboutBox, UnderlineFollowsThePointer) {
    ui::TAboutBox box;
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QLabel& email = Label(box, "laEMail");
    QLabel& web = Label(box, "laWeb");

    QTest::mouseMove(&email);
    EXPECT_TRUE(email.font().underline());
    EXPECT_FALSE(web.font().underline());
    QTest::mouseMove(&web);
    EXPECT_FALSE(email.font().underline());
    EXPECT_TRUE(web.font().underline());
    QTest::mouseMove(&box, QPoint(4, box.height() - 4));
    EXPECT_FALSE(web.font().underline());
}

// With a desktop font taller than eight points the lines move apart: none overlaps the next,
// and all of them stay above the OK button.
TEST(AboutBox, LinesDoNotOverlapWithATallFont) {
    const QFont before = QApplication::font();
    QFont tall = before;
    tall.setPixelSize(22);
    QApplication::setFont(tall);
    {
        ui::TAboutBox box;
        const char* column[] = {"laAppTitle",  "laDescription", "laVersionTitle",
                                "laCopyright", "laEMailTitle",  "laWebTitle"};
        int bottom = 0;
        for (const char* name : column) {
            const QRect shown = Label(box, name).geometry();
            EXPECT_GE(shown.top(), bottom) << name;
            bottom = shown.top() + shown.height();
        }
        EXPECT_LE(bottom, box.findChild<QWidget*>("btnOK")->y());
    }
    QApplication::setFont(before);
}

}  // namespace

#include "About_test.moc"
