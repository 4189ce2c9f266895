// `make screenshots`: renders the window components offscreen into PNG files for the README.
//
//   ui_screenshots FOLDER

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QProgressBar>
#include <QVBoxLayout>
#include <cstdio>

#include "ui/About.h"
#include "ui/ImageList.h"
#include "ui/MsgStr.h"
#include "ui/ParamPages.h"
#include "ui/Pictures.h"
#include "ui/SBPro.h"
#include "ui/SettingsPage.h"

namespace {

// Shows the window and saves the picture of one widget in it.
bool Save(QWidget& window, QWidget& widget, const QDir& folder, const QString& name) {
    window.show();
    QApplication::processEvents();
    const QString path = folder.filePath(name);
    if (widget.grab().save(path))
        return true;
    std::fprintf(stderr, "ui_screenshots: cannot write %s\n", qPrintable(path));
    return false;
}

// The main window's status bar: the object count, the progress bar over panel 1, a long hint.
bool StatusBar(const QDir& folder) {
    QWidget window;
    window.resize(640, 60);
    QVBoxLayout layout(&window);
    layout.setContentsMargins(0, 0, 0, 0);
    layout.addStretch();
    ui::TStatusBarPro bar;
    layout.addWidget(&bar);
    bar.SetParentFont(true);
    ui::TStatusPanelPro& count = bar.Panels().Add();
    count.SetWidth(150);
    count.SetText(ui::msg::ToQString(ui::msg::kObjectCount).replace("%d", "12"));
    ui::TStatusPanelPro& progress = bar.Panels().Add();
    progress.SetWidth(104);
    progress.SetBevel(ui::TStatusPanelBevel::pbNone);
    ui::TStatusPanelPro& hint = bar.Panels().Add();
    hint.SetText(ui::msg::ToQString(ui::msg::item_AddFolder.hint));
    window.show();
    QProgressBar pb(&bar);
    pb.setRange(0, 100);
    pb.setValue(40);
    pb.setTextVisible(false);
    pb.setGeometry(bar.PanelRect(1));
    pb.show();
    return Save(window, bar, folder, "status-bar.png");
}

bool AboutBox(const QDir& folder) {
    ui::TAboutBox box;
    return Save(box, box, folder, "about-box.png");
}

// The "Parameters" page with each of its four sub-pages in front, at the size the page has
// in a main window of its design size.
bool ParameterPages(const QDir& folder) {
    ui::TImageList images(16, 16);
    ui::LoadToolbarImages(images);
    ui::TParameterPages pages;
    pages.SetImages(images);
    pages.setGeometry(40, 40, 690, 330);  // away from the pointer, which would raise a button
    const std::pair<const char*, const char*> subPages[] = {
        {"btnDateTime", "parameters-date-time.png"},
        {"btnAttributes", "parameters-attributes.png"},
        {"btnRename", "parameters-char-case.png"},
        {"btnMultimedia", "parameters-multimedia.png"}};
    for (const auto& [button, file] : subPages) {
        pages.findChild<QAbstractButton*>(button)->click();
        if (!Save(pages, pages, folder, file))
            return false;
    }
    return true;
}

bool SettingsPage(const QDir& folder) {
    ui::TSettingsPage page;
    page.resize(690, 330);
    return Save(page, page, folder, "settings.png");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir folder(argc > 1 ? argv[1] : ".");
    if (!folder.exists() && !QDir().mkpath(folder.path()))
        return 1;
    const bool saved =
        StatusBar(folder) && AboutBox(folder) && ParameterPages(folder) && SettingsPage(folder);
    return saved ? 0 : 1;
}
