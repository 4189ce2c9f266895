// kelvane: the window. `kelvane PATH...` adds the paths as if they were dropped on the window,
// so a file manager's "Open with" fills the list; nothing else is read from the command line.

#include <QApplication>
#include <QMessageBox>
#include <clocale>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/InterruptedRewrites.h"
#include "ui/Main.h"
#include "ui/Pictures.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Qt sets the locale from the environment too; the formats of dates and numbers follow it.
    std::setlocale(LC_ALL, "");
    QApplication::setWindowIcon(ui::ApplicationIcon());
    QGuiApplication::setDesktopFileName("orbel-kelvane");

    // A rewrite that a kill cut short is mended before anything else looks at the files.
    const std::vector<platform::MendedRewrite> mended = platform::MendInterruptedRewrites();
    ui::TMainFormKelvane window;
    window.show();
    if (!mended.empty()) {
        QString text;
        for (const platform::MendedRewrite& file : mended)
            text += QString::fromStdString(file.path + ": " + file.what + "\n");
        QMessageBox::information(&window, window.windowTitle(), text);
    }
    // QApplication has taken its own options out of argv; the rest are paths, as bytes.
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i)
        paths.push_back(platform::FullPath(argv[i]));
    window.WMDropFiles(paths);
    return QApplication::exec();
}
