#pragma once
// TMainFormKelvane: the program's one window. It shows the application core's list and the
// parameters of a run, and turns every menu, button and drop into one call of the core; the
// core decides what happens to a file and tells the window what changed.
//
// The class is split by concern: Main.cpp builds the window and answers the window system
// (hints, closing, drops, locale changes); MainMenus.cpp holds the commands, their captions and
// the menus' enabling rules; MainRun.cpp is the core's host and observer (the run's button,
// progress and messages, the rows, the search state); MainUndo.cpp takes runs back.

#include <QAction>
#include <QActionGroup>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/KelvaneCore.h"
#include "core/SettingsFile.h"
#include "ui/BusyCursor.h"
#include "ui/Chooser.h"
#include "ui/FileListModel.h"
#include "ui/FileListView.h"
#include "ui/GuiFindDispatcher.h"
#include "ui/ImageList.h"
#include "ui/MsgStr.h"
#include "ui/OrbelCtrls.h"
#include "ui/ParamPages.h"
#include "ui/SBPro.h"
#include "ui/SettingsPage.h"

namespace ui {

class TMainFormKelvane : public QMainWindow,
                         private engine::IRunHost,
                         private core::IKelvaneObserver {
    Q_OBJECT
public:
    // Every question to the user goes through `chooser`, which outlives the window.
    explicit TMainFormKelvane(IChooser& chooser = DesktopChooser(), QWidget* parent = nullptr);
    ~TMainFormKelvane() override;

    // Adds paths as dropped files are added, under the add mode of the last folder search
    // (files only in a fresh window): the paths of the command line and of a drop.
    void WMDropFiles(const std::vector<std::string>& paths);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Main.cpp: the window.
    void BuildLayout();
    void BuildFileListPage();
    void BuildStatusBar();
    void ShowHint(const QString& hint);
    // The first size of the window: wide enough for every column of the list, never larger
    // than the screen.
    void FitToScreen();
    void file_Close();
    void item_ContentsClick();
    void item_AboutClick();

    // MainMenus.cpp: commands, captions, enabling rules.
    template <typename T>
    struct TNamed {
        T* object;
        const char* name;
        msg::TCommandText text;
    };
    template <typename T>
    using TVisit = std::function<void(T&, const char* name, const msg::TCommandText& text)>;
    // Every command, and every menu with a caption, with its name and texts.
    void ForEachCommand(const TVisit<QAction>& visit);
    void ForEachMenu(const TVisit<QMenu>& visit);
    void BuildMenus();
    void FillMenus();
    void BindCommands();
    // The usual desktop keys of the commands, shown beside them in the menus.
    void BindKeys();
    void ApplyCaptions();
    void FileMenuClick();
    void EditMenuClick();
    void PopupMenu1Popup();
    void ViewMenuClick();
    void EnableListCommands();
    int SelectedCount() const;
    // The first selected row, -1 when none is.
    int FirstSelected() const;
    // vsIcon ... vsReport, the order of the View menu.
    void SetViewStyle(int style);
    void BindPages();
    void item_ViewIconsClick() { SetViewStyle(vsIcon); }
    void item_ViewSmallIconsClick() { SetViewStyle(vsSmallIcon); }
    void item_ViewListClick() { SetViewStyle(vsList); }
    void item_ViewDetailsClick() { SetViewStyle(vsReport); }
    void item_ToolbarClick();
    void item_StatusBarClick();
    void item_GridLinesClick();
    void item_DeleteClick();
    void item_AddFileClick();
    void AddFolder(filelist::AddFolderMode mode);
    void item_RemoveFileClick();
    void item_RemoveFolderClick();
    void item_ClearListClick();
    void item_InvertSelectionClick();
    void item_InvertCheckedClick();
    void SortBy(filelist::ListColumn column);
    void lvFilesColumnClick(int column);
    // The context menu of the list, from the mouse or the keyboard.
    void PopupMenu1At(const QPoint& globalPos);
    // The next (1) or previous (-1) page of pcTymo, round.
    void SwitchPage(int step);

    // MainSettings.cpp: the settings file, read as the window opens and written as it goes.
    void LoadSettings();
    void SaveSettings();

    // MainRun.cpp: the core's host and observer.
    void btnStartStopClick(engine::RunScope scope);
    void item_StopClick();
    void SetStartStopButton(bool running);
    // The scopes start a run while none is in progress and no search is busy; Stop ends one.
    void EnableRunCommands();
    // What the last run did, in the status bar; Details lists the files it did not change.
    void ShowRunReport();
    void ShowNotChanged();
    void PlaceRunReport();
    void ShowProgress();
    void lvFilesChange();
    engine::RunOptions ReadOptions() override;
    bool MessagesDue() const override;
    void ProcessMessages() override;
    bool RowsJustAdded() const override { return false; }
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void ShowError(const std::string& path, const std::string& message, int filesLeft) override;
    void FileFailed(const std::string& path, const std::string& reason) override;
    void RowsInserted(int first, int last) override;
    void RowsRemoved(int first, int last) override;
    void RowChanged(int row, filelist::ListColumn column) override;
    void RowsMoved() override;
    void RunStateChanged(bool running) override;
    void RunBegins() override;
    void ProgressChanged(int position, int maximum) override;
    void SearchBusyChanged(bool busy) override;
    void FolderNotSearched(const std::string& folder, const std::string& reason) override;

    // MainUndo.cpp: taking runs back, and the past runs of the Settings page.
    void item_UndoLastRunClick();
    void btnForgetRunsClick();
    // Names the last run kept in Undo Last Run's hint, enables it when there is one, and shows
    // on the Settings page what the past runs hold: after every run and undo, when the Edit
    // menu opens and when the Settings page shows, since the command line keeps runs too.
    void ShowPastRuns();
    // Whether a run or an undo may start now: none is in progress and no search busy.
    bool RunsMayStart() const { return core_.Idle() && !core_.SearchBusy(); }

    // MainPreview.cpp: the preview of a run, shown in the list and the status bar.
    void btnPreviewClick(engine::RunScope scope);
    void PreviewRowPlanned(int row) override;
    void PreviewStateChanged() override;
    // The preview's progress and counts, at the pace a run shows its own.
    void ShowPreviewProgress();

    // The core and what shows its list come first: the widgets below refer to them, and go
    // before them.
    IChooser& chooser_;
    TGuiFindDispatcher dispatcher_;
    core::TKelvaneCore core_;
    TFileListModel model_;
    TImageList ilNormal{16, 16};
    // When the run last let pending events run, and the progress the bar is to show.
    QElapsedTimer pumped_;
    struct {
        int position = 0;
        int maximum = 100;
    } progress_;
    // The hourglass while a folder search is busy.
    std::optional<TBusyCursor> searchCursor_;
    // The folders the search in progress could not open, each with the reason: told when it
    // completes.
    std::vector<std::string> foldersNotSearched_;
    // From LoadSettings to SaveSettings.
    std::optional<core::TSettingsFile> settings_;
    // The settings gave the window its size: nothing else sizes it.
    bool sizeStored_ = false;
    // A run is kept that Undo Last Run would take back, as ShowPastRuns last found.
    bool pastRunKept_ = false;

    // Commands: one action each, shared by menu, context menu and tool button.
    QAction item_Delete{this};
    QAction item_Close{this};
    QAction item_AddFile{this};
    QAction item_AddFilesOnly{this};
    QAction item_AddFilesAndFolders{this};
    QAction item_AddFoldersOnly{this};
    QAction item_RemoveFile{this};
    QAction item_RemoveFolder{this};
    QAction item_ClearList{this};
    QAction item_InvertSelection{this};
    QAction item_InvertChecked{this};
    QAction item_UndoLastRun{this};
    QAction item_Toolbar{this};
    QAction item_StatusBar{this};
    QAction item_GridLines{this};
    QActionGroup viewStyles_{this};
    QAction item_ViewIcons{this};
    QAction item_ViewSmallIcons{this};
    QAction item_ViewList{this};
    QAction item_ViewDetails{this};
    QAction item_ByName{this};
    QAction item_ByType{this};
    QAction item_BySize{this};
    QAction item_ByCreated{this};
    QAction item_ByModified{this};
    QAction item_ByOpened{this};
    QAction item_ByAttr{this};
    QAction item_ByFolder{this};
    QActionGroup arrangeGroup_{this};
    QAction item_Contents{this};
    QAction item_About{this};
    // item_Operate0 ... item_Operate6: the run scopes 0 to 6.
    std::array<QAction, 7> item_Operate;
    // item_Preview0 ... item_Preview6: the previews of the same scopes.
    std::array<QAction, 7> item_Preview;
    QAction item_Stop{this};
    // Keys without a menu item: the list's context menu, the next and previous page.
    QAction item_ContextMenu{this};
    QAction item_NextPage{this};
    QAction item_PreviousPage{this};

    // Menus, each parent before what it holds.
    QMenuBar MainMenu1{this};
    QMenu FileMenu{this};
    QMenu EditMenu{this};
    QMenu item_AddFolder{this};
    QMenu ViewMenu{this};
    QMenu item_Arrange{this};
    QMenu RunMenu{this};
    QMenu HelpMenu{this};
    QMenu PopupMenu1{this};
    QMenu pitem_AddFolder{this};
    QMenu pmAddFolderParams{this};
    QMenu pmOperate{this};
    QMenu pmPreview{this};
    QMenu RunPreviewMenu{this};

    // Controls, each parent before its children; a layout goes before the widget it lays out.
    QWidget central_;
    QVBoxLayout centralLayout_{&central_};
    TOrbelBevel Bevel1;
    QWidget Panel2;
    QVBoxLayout panel2Layout_{&Panel2};
    QTabWidget pcTymo;
    QWidget tsFiles;
    QVBoxLayout filesLayout_{&tsFiles};
    QToolBar tbFileList;
    QToolButton btnAddFiles;
    QToolButton btnAddDir;
    QToolButton btnRemoveFile;
    QToolButton btnRemoveDir;
    QToolButton btnDelete;
    QToolButton btnIcons;
    QToolButton btnSmallIcons;
    QToolButton btnList;
    QToolButton btnDetails;
    QToolBar tbStartStop;
    QToolButton btnStartStop;
    QToolButton btnPreview;
    TOrbelBevel OrbelBevel1;
    TFileListViews lvFiles{model_};
    TParameterPages tsParameters;
    TSettingsPage tsSettings;
    TStatusBarPro SB;
    QProgressBar PB;
    QLabel laRunReport;
    // Help > Help Topics, made when first asked for.
    std::unique_ptr<QWidget> manual_;
};

}  // namespace ui
