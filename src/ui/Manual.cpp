#include "ui/Manual.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/MsgStr.h"

namespace ui {

QString ManualPath(const QString& programFolder) {
    const QString candidates[] = {
        QDir(programFolder).filePath(QStringLiteral(KELVANE_INSTALLED_MANUAL)),
        QStringLiteral(KELVANE_SOURCE_MANUAL),
    };
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
    return {};
}

std::unique_ptr<QWidget> MakeManualWindow(QWidget& parent, const QString& path) {
    auto window = std::make_unique<QWidget>(&parent, Qt::Window);
    window->setObjectName("HelpWindow");
    window->setWindowTitle(msg::ToQString(msg::kHelpTitle));
    auto* layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    auto* browser = new QTextBrowser(window.get());
    browser->setObjectName("HelpBrowser");
    browser->setAccessibleName(msg::ToQString(msg::kHelpTitle));
    browser->setOpenExternalLinks(true);
    if (path.isEmpty())
        browser->setPlainText(msg::ToQString(msg::kNoManual));
    else
        browser->setSource(QUrl::fromLocalFile(path));
    layout->addWidget(browser);
    QSize size(760, 600);
    if (const QScreen* screen = parent.screen())
        size = size.boundedTo(screen->availableGeometry().size());
    window->resize(size);
    return window;
}

}  // namespace ui
