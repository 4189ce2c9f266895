// The settings file as the window reads it when it opens and writes it when it goes: placement,
// the toolbar and the status bar, the two options of the Settings page, the list's view, and
// the values of the Parameters page that are worth keeping (core::TStoredParameters).
// The file itself is the core's; this maps its values to and from the controls.

#include <QCoreApplication>
#include <QFile>
#include <string>

#include "core/StoredParameters.h"
#include "ui/Main.h"
#include "ui/MsgStr.h"

namespace ui {

namespace {

const std::string kWindow = "Window";
const std::string kSettings = "Settings";
const std::string kListView = "ListView";

std::string ColumnKey(int column) {
    return "Column" + std::to_string(column);
}

}  // namespace

void TMainFormKelvane::LoadSettings() {
    settings_.emplace(core::SettingsPath(
        QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString()));
    const core::TSettingsFile& ini = *settings_;
    // A window that is moved or resized before it shows keeps that place even when it is where
    // it already was: on a first run the window system places the window.
    const QPoint at(ini.ReadInteger(kWindow, "Left", x()), ini.ReadInteger(kWindow, "Top", y()));
    const QSize extent(ini.ReadInteger(kWindow, "Width", width()),
                       ini.ReadInteger(kWindow, "Height", height()));
    if (at != pos())
        move(at);
    sizeStored_ = ini.ReadInteger(kWindow, "Width", -1) >= 0;
    if (extent != size())
        resize(extent);
    if (ini.ReadBool(kWindow, "Maximized", false))
        setWindowState(windowState() | Qt::WindowMaximized);

    // As the View menu's toggles do, so that their check marks say what is shown.
    item_Toolbar.setChecked(ini.ReadBool(kWindow, "Toolbar", true));
    item_ToolbarClick();
    item_StatusBar.setChecked(ini.ReadBool(kWindow, "StatusBar", true));
    item_StatusBarClick();
    tsSettings.SetSortWithFolderName(ini.ReadBool(kSettings, "SortWithFolderName", false));
    tsSettings.SetShortDateFormat(ini.ReadBool(kSettings, "ShortDateFormat", false));

    // Another number leaves the details the list starts with, and no view button down.
    const int style = ini.ReadInteger(kListView, "ViewStyle", vsReport);
    if (style >= vsIcon && style <= vsReport)
        SetViewStyle(style);
    // Stored widths win over those fitted to the locale and the first rows.
    for (int column = 0; column < filelist::kListColumnCount; ++column)
        if (const int width = ini.ReadInteger(kListView, ColumnKey(column), -1); width >= 0)
            lvFiles.SetColumnWidth(column, width);
    item_GridLines.setChecked(ini.ReadBool(kListView, "GridLines", false));
    item_GridLinesClick();
    tsParameters.SetStoredParameters(core::ReadStoredParameters(ini));
}

// A maximized window leaves the placement of its last restored close in the file.
void TMainFormKelvane::SaveSettings() {
    core::TSettingsFile& ini = *settings_;
    if (!core::MayWriteSettings(ini.Path()))
        return;
    ini.WriteBool(kWindow, "Maximized", isMaximized());
    if (!isMaximized()) {
        ini.WriteInteger(kWindow, "Left", x());
        ini.WriteInteger(kWindow, "Top", y());
        ini.WriteInteger(kWindow, "Height", height());
        ini.WriteInteger(kWindow, "Width", width());
    }
    ini.WriteBool(kWindow, "Toolbar", !tbFileList.isHidden());
    ini.WriteBool(kWindow, "StatusBar", !SB.isHidden());
    ini.WriteBool(kSettings, "SortWithFolderName", tsSettings.SortWithFolderName());
    ini.WriteBool(kSettings, "ShortDateFormat", tsSettings.ShortDateFormat());
    ini.WriteInteger(kListView, "ViewStyle", lvFiles.ViewStyle());
    for (int column = 0; column < filelist::kListColumnCount; ++column)
        ini.WriteInteger(kListView, ColumnKey(column), lvFiles.ColumnWidth(column));
    ini.WriteBool(kListView, "GridLines", lvFiles.GridLines());
    core::WriteStoredParameters(ini, tsParameters.StoredParameters());
    if (!ini.Save())
        ShowMessage(core::UnableToWrite(ini.Path()), std::string(msg::kAppTitle));
}

}  // namespace ui
