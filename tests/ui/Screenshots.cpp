// `make screenshots`: renders the window and its components into PNG files for the README and
// the manual, with the Fusion style (the Makefile runs it under Xvfb).
//
//   ui_screenshots FOLDER

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDateTimeEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/FileTime.h"
#include "support/TempDir.h"
#include "ui/About.h"
#include "ui/Main.h"
#include "ui/MsgStr.h"
#include "ui/SBPro.h"

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

// A few files of the kinds the program changes, all dated 14 March 2025 10:30, so that every
// rendering shows the same rows.
std::vector<std::string> SampleFiles(const testsupport::TempDir& folder) {
    std::tm when{};
    when.tm_year = 2025 - 1900;
    when.tm_mon = 2;
    when.tm_mday = 14;
    when.tm_hour = 10;
    when.tm_min = 30;
    platform::FileTime time = 0;
    platform::UnixToFileTime({std::mktime(&when), 0}, time);
    std::vector<std::string> paths;
    const std::pair<const char*, std::size_t> files[] = {
        {"Holiday.gif", 48213},           {"Artist - Song.mp3", 4108877}, {"notes.txt", 1830},
        {"Quarterly report.pdf", 212554}, {"photo_0042.jpg", 1675003},    {"index.html", 9114}};
    for (const auto& [name, size] : files) {
        paths.push_back(folder.Write(name, std::string(size, 'x')));
        platform::SetFileTimes(paths.back(), {time, time, time});
    }
    return paths;
}

// The main window with rows in the details view, each sub-page of "Parameters", and
// "Settings".
bool MainWindow(const QDir& folder) {
    const testsupport::TempDir files;
    // The pictures show the window as it first opens, whatever the settings and the past runs
    // of whoever draws them.
    const testsupport::ScopedEnv settingsHome("XDG_CONFIG_HOME", (files / "config").c_str());
    const testsupport::ScopedEnv stateHome("XDG_STATE_HOME", (files / "state").c_str());
    ui::TMainFormKelvane window;
    window.WMDropFiles(SampleFiles(files));
    // Two rows checked and one selected, as a user marks the rows of a run.
    QAbstractItemView& list = *window.findChild<QAbstractItemView*>();
    for (int row : {0, 2})
        list.model()->setData(list.model()->index(row, 0), Qt::Checked, Qt::CheckStateRole);
    list.selectionModel()->select(list.model()->index(1, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    window.move(0, 0);  // away from the pointer, which would raise a button
    window.show();
    QApplication::processEvents();
    bool saved = Save(window, window, folder, "main-window.png");
    auto& pages = *window.findChild<QTabWidget*>("pcTymo");
    pages.setCurrentIndex(1);
    const std::pair<const char*, const char*> subPages[] = {
        {"btnDateTime", "parameters-date-time.png"},
        {"btnAttributes", "parameters-attributes.png"},
        {"btnRename", "parameters-char-case.png"},
        {"btnMultimedia", "parameters-multimedia.png"}};
    for (const auto& [button, picture] : subPages) {
        if (auto* pageButton = window.findChild<QAbstractButton*>(button))
            pageButton->click();
        saved = Save(window, window, folder, picture) && saved;
    }
    // A run of every row, kept for Undo Last Run: the Settings page tells what it holds, and
    // the Edit menu offers to take it back.
    if (auto* oneValue = window.findChild<QAbstractButton*>("rbSetSelectedDate"))
        oneValue->click();
    if (auto* all = window.findChild<QAction*>("item_Operate6"))
        all->trigger();
    pages.setCurrentIndex(2);
    saved = Save(window, window, folder, "settings.png") && saved;
    auto* edit = window.findChild<QMenu*>("EditMenu");
    auto* undo = window.findChild<QAction*>("item_UndoLastRun");
    if (!edit || !undo)
        return false;
    edit->popup(window.mapToGlobal(QPoint(0, 0)));
    edit->setActiveAction(undo);
    return Save(*edit, *edit, folder, "edit-menu.png") && saved;
}

// The list during a preview of every row: names in upper case and a new date, in bold; the
// write-protected file would be refused, so it carries the warning.
bool Preview(const QDir& folder) {
    const testsupport::TempDir files;
    const testsupport::ScopedEnv settingsHome("XDG_CONFIG_HOME", (files / "config").c_str());
    const testsupport::ScopedEnv stateHome("XDG_STATE_HOME", (files / "state").c_str());
    ui::TMainFormKelvane window;
    const std::vector<std::string> paths = SampleFiles(files);
    std::filesystem::permissions(paths[2], std::filesystem::perms::owner_read);
    window.WMDropFiles(paths);
    for (const char* option : {"rbNameUpperCase", "rbSetSelectedDate"})
        if (auto* button = window.findChild<QAbstractButton*>(option))
            button->click();
    // A fixed date, so that every rendering shows the same planned values.
    if (auto* picker = window.findChild<QDateTimeEdit*>("dtpDate"))
        picker->setDate(QDate(2025, 4, 1));
    if (auto* picker = window.findChild<QDateTimeEdit*>("dtpTime"))
        picker->setTime(QTime(9, 0));
    window.move(0, 0);
    window.show();
    if (auto* preview = window.findChild<QAction*>("item_Preview6"))
        preview->trigger();
    // The plans arrive from the worker within a few milliseconds.
    const QLabel* counts = window.findChild<QLabel*>("laRunReport");
    QElapsedTimer waited;
    waited.start();
    while (counts && !counts->text().contains("1 would be refused") && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return Save(window, window, folder, "preview.png");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication::setStyle("Fusion");
    QApplication app(argc, argv);
    const QDir folder(argc > 1 ? argv[1] : ".");
    if (!folder.exists() && !QDir().mkpath(folder.path()))
        return 1;
    const bool saved =
        StatusBar(folder) && AboutBox(folder) && MainWindow(folder) && Preview(folder);
    return saved ? 0 : 1;
}
