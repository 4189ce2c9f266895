// The window's commands: the menus and what each item holds, their captions and hints, the
// rules that enable and check items when a menu opens, and the handlers, each a call or two of
// the core.

#include <QFile>
#include <algorithm>
#include <functional>

#include "ui/FileDialogs.h"
#include "ui/Main.h"
#include "ui/MsgStr.h"

namespace ui {

namespace {

// Pictures of ilNormal.
enum TImage { kAddFile = 0, kRemoveFile = 2, kRemoveFolder = 3, kDelete = 4, kLargeIcons = 5 };

// The short part of a command's hint goes to its tooltip, the long part to the status bar.
void ApplyCommandText(QAction& action, const msg::TCommandText& text) {
    const QString hint = QString::fromStdString(msg::ToolbarHint(text));
    action.setText(msg::ToQString(text.caption));
    action.setToolTip(hint.section('|', 0, 0));
    action.setStatusTip(hint.section('|', 1));
}

// The seven scopes in four groups: 0 and 1, 2 and 3, 4 and 5, 6 alone. Start and Preview drop
// down the same list, and the Run menu holds it too.
void AddScopes(QMenu& menu, std::array<QAction, 7>& scopes) {
    for (std::size_t scope = 0; scope < scopes.size(); ++scope) {
        if (scope > 0 && scope % 2 == 0)
            menu.addSeparator();
        menu.addAction(&scopes[scope]);
    }
}

std::vector<std::string> LocalPaths(const QStringList& files) {
    std::vector<std::string> paths;
    for (const QString& file : files)
        paths.push_back(QFile::encodeName(file).toStdString());
    return paths;
}

}  // namespace

#define KELVANE_NAMED(name) \
    { &name, #name, msg::name }

void TMainFormKelvane::ForEachCommand(const TVisit<QAction>& visit) {
    const TNamed<QAction> commands[] = {
        KELVANE_NAMED(item_Delete),
        KELVANE_NAMED(item_Close),
        KELVANE_NAMED(item_AddFile),
        KELVANE_NAMED(item_AddFilesOnly),
        KELVANE_NAMED(item_AddFilesAndFolders),
        KELVANE_NAMED(item_AddFoldersOnly),
        KELVANE_NAMED(item_RemoveFile),
        KELVANE_NAMED(item_RemoveFolder),
        KELVANE_NAMED(item_ClearList),
        KELVANE_NAMED(item_InvertSelection),
        KELVANE_NAMED(item_InvertChecked),
        KELVANE_NAMED(item_UndoLastRun),
        KELVANE_NAMED(item_Toolbar),
        KELVANE_NAMED(item_StatusBar),
        KELVANE_NAMED(item_GridLines),
        KELVANE_NAMED(item_ViewIcons),
        KELVANE_NAMED(item_ViewSmallIcons),
        KELVANE_NAMED(item_ViewList),
        KELVANE_NAMED(item_ViewDetails),
        KELVANE_NAMED(item_ByName),
        KELVANE_NAMED(item_ByType),
        KELVANE_NAMED(item_BySize),
        KELVANE_NAMED(item_ByCreated),
        KELVANE_NAMED(item_ByModified),
        KELVANE_NAMED(item_ByOpened),
        KELVANE_NAMED(item_ByAttr),
        KELVANE_NAMED(item_ByFolder),
        KELVANE_NAMED(item_Contents),
        KELVANE_NAMED(item_About),
        KELVANE_NAMED(item_Stop),
    };
    for (const TNamed<QAction>& command : commands)
        visit(*command.object, command.name, command.text);
}

// The menus that have a caption; the context menu's add-folder submenu reads as the Edit
// menu's.
void TMainFormKelvane::ForEachMenu(const TVisit<QMenu>& visit) {
    const TNamed<QMenu> menus[] = {
        KELVANE_NAMED(FileMenu),       KELVANE_NAMED(EditMenu),
        KELVANE_NAMED(item_AddFolder), {&pitem_AddFolder, "pitem_AddFolder", msg::item_AddFolder},
        KELVANE_NAMED(ViewMenu),       KELVANE_NAMED(item_Arrange),
        KELVANE_NAMED(RunMenu),        KELVANE_NAMED(RunPreviewMenu),
        KELVANE_NAMED(HelpMenu),
    };
    for (const TNamed<QMenu>& menu : menus)
        visit(*menu.object, menu.name, menu.text);
}

#undef KELVANE_NAMED

void TMainFormKelvane::BuildMenus() {
    ForEachCommand([](QAction& command, const char* name, const msg::TCommandText&) {
        command.setObjectName(name);
    });
    ForEachMenu([](QMenu& menu, const char* name, const msg::TCommandText&) {
        menu.setObjectName(name);
        menu.menuAction()->setObjectName(name);
    });
    // The item's number is its run scope.
    for (std::size_t scope = 0; scope < item_Operate.size(); ++scope) {
        item_Operate[scope].setParent(this);
        item_Operate[scope].setObjectName(QString("item_Operate%1").arg(scope));
        item_Preview[scope].setParent(this);
        item_Preview[scope].setObjectName(QString("item_Preview%1").arg(scope));
    }
    item_ContextMenu.setObjectName("item_ContextMenu");
    item_NextPage.setObjectName("item_NextPage");
    item_PreviousPage.setObjectName("item_PreviousPage");
    MainMenu1.setObjectName("MainMenu1");
    PopupMenu1.setObjectName("PopupMenu1");
    pmAddFolderParams.setObjectName("pmAddFolderParams");
    pmOperate.setObjectName("pmOperate");
    pmPreview.setObjectName("pmPreview");

    // The pictures show on the tool buttons only, as they always have.
    const std::pair<QAction*, int> pictures[] = {
        {&item_AddFile, kAddFile},           {&item_RemoveFile, kRemoveFile},
        {&item_RemoveFolder, kRemoveFolder}, {&item_Delete, kDelete},
        {&item_ViewIcons, kLargeIcons},      {&item_ViewSmallIcons, kLargeIcons + 1},
        {&item_ViewList, kLargeIcons + 2},   {&item_ViewDetails, kLargeIcons + 3}};
    for (const auto& [action, image] : pictures) {
        action->setIcon(QIcon(ilNormal.Image(image)));
        action->setIconVisibleInMenu(false);
    }
    for (QAction* toggle : {&item_Toolbar, &item_StatusBar, &item_GridLines})
        toggle->setCheckable(true);
    for (QAction* view :
         {&item_ViewIcons, &item_ViewSmallIcons, &item_ViewList, &item_ViewDetails}) {
        view->setCheckable(true);
        viewStyles_.addAction(view);
    }
    // The sort in force is marked; before the first sort none is.
    for (QAction* sort : {&item_ByName, &item_ByType, &item_BySize, &item_ByCreated,
                          &item_ByModified, &item_ByOpened, &item_ByAttr, &item_ByFolder}) {
        sort->setCheckable(true);
        arrangeGroup_.addAction(sort);
    }
    FillMenus();
    BindKeys();
}

// What each menu holds, in order; a popup item is the very action of its main-menu item.
void TMainFormKelvane::FillMenus() {
    MainMenu1.addMenu(&FileMenu);
    FileMenu.addAction(&item_Delete);
    FileMenu.addSeparator();
    FileMenu.addAction(&item_Close);
    for (QMenu* folderMenu : {&item_AddFolder, &pitem_AddFolder, &pmAddFolderParams})
        folderMenu->addActions(
            {&item_AddFilesOnly, &item_AddFilesAndFolders, &item_AddFoldersOnly});
    MainMenu1.addMenu(&EditMenu);
    EditMenu.addAction(&item_UndoLastRun);
    EditMenu.addSeparator();
    EditMenu.addAction(&item_AddFile);
    EditMenu.addMenu(&item_AddFolder);
    EditMenu.addSeparator();
    EditMenu.addActions({&item_RemoveFile, &item_RemoveFolder});
    EditMenu.addSeparator();
    EditMenu.addAction(&item_ClearList);
    EditMenu.addSeparator();
    EditMenu.addActions({&item_InvertSelection, &item_InvertChecked});
    MainMenu1.addMenu(&ViewMenu);
    ViewMenu.addActions({&item_Toolbar, &item_StatusBar});
    ViewMenu.addSeparator();
    ViewMenu.addAction(&item_GridLines);
    ViewMenu.addSeparator();
    ViewMenu.addActions(viewStyles_.actions());
    ViewMenu.addSeparator();
    ViewMenu.addMenu(&item_Arrange);
    item_Arrange.addActions({&item_ByName, &item_ByType, &item_BySize, &item_ByCreated,
                             &item_ByModified, &item_ByOpened, &item_ByAttr, &item_ByFolder});
    // With the toolbar hidden the Run menu still starts and stops a run: the same actions.
    MainMenu1.addMenu(&RunMenu);
    MainMenu1.addMenu(&HelpMenu);
    HelpMenu.addAction(&item_Contents);
    HelpMenu.addSeparator();
    HelpMenu.addAction(&item_About);

    PopupMenu1.addAction(&item_AddFile);
    PopupMenu1.addMenu(&pitem_AddFolder);
    PopupMenu1.addSeparator();
    PopupMenu1.addActions({&item_RemoveFile, &item_RemoveFolder});
    PopupMenu1.addSeparator();
    PopupMenu1.addAction(&item_ClearList);

    AddScopes(pmOperate, item_Operate);
    AddScopes(RunMenu, item_Operate);
    AddScopes(pmPreview, item_Preview);
    AddScopes(RunPreviewMenu, item_Preview);
    RunMenu.addSeparator();
    RunMenu.addMenu(&RunPreviewMenu);
    RunMenu.addSeparator();
    RunMenu.addAction(&item_Stop);
}

void TMainFormKelvane::BindKeys() {
    const std::pair<QAction*, QKeySequence> keys[] = {
        {&item_Delete, QKeySequence(Qt::Key_Delete)},
        {&item_Close, QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {&item_AddFile, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {&item_UndoLastRun, QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {&item_Contents, QKeySequence(Qt::Key_F1)},
        {&item_Operate.back(), QKeySequence(Qt::Key_F5)},
        {&item_Stop, QKeySequence(Qt::Key_Escape)},
        {&item_ContextMenu, QKeySequence(Qt::SHIFT | Qt::Key_F10)},
        {&item_NextPage, QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
        {&item_PreviousPage, QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
    };
    for (const auto& [action, key] : keys)
        action->setShortcut(key);
    // Delete and the context menu key belong to the list: in a picker's text, Delete deletes a
    // character.
    for (QAction* listKey : {&item_Delete, &item_ContextMenu}) {
        listKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        lvFiles.addAction(listKey);
    }
    // The page keys work wherever the focus is, a picker's text included.
    addActions({&item_NextPage, &item_PreviousPage});
    // Ctrl+Z is the window's (the menu bar's action) only where the focus has no undo of its
    // own: in a picker's text the text editor takes it first, and undoes the typing.
}

void TMainFormKelvane::BindCommands() {
    const std::pair<QAction*, void (TMainFormKelvane::*)()> handlers[] = {
        {&item_Delete, &TMainFormKelvane::item_DeleteClick},
        {&item_Close, &TMainFormKelvane::file_Close},
        {&item_AddFile, &TMainFormKelvane::item_AddFileClick},
        {&item_RemoveFile, &TMainFormKelvane::item_RemoveFileClick},
        {&item_RemoveFolder, &TMainFormKelvane::item_RemoveFolderClick},
        {&item_ClearList, &TMainFormKelvane::item_ClearListClick},
        {&item_InvertSelection, &TMainFormKelvane::item_InvertSelectionClick},
        {&item_InvertChecked, &TMainFormKelvane::item_InvertCheckedClick},
        {&item_UndoLastRun, &TMainFormKelvane::item_UndoLastRunClick},
        {&item_Toolbar, &TMainFormKelvane::item_ToolbarClick},
        {&item_StatusBar, &TMainFormKelvane::item_StatusBarClick},
        {&item_GridLines, &TMainFormKelvane::item_GridLinesClick},
        {&item_ViewIcons, &TMainFormKelvane::item_ViewIconsClick},
        {&item_ViewSmallIcons, &TMainFormKelvane::item_ViewSmallIconsClick},
        {&item_ViewList, &TMainFormKelvane::item_ViewListClick},
        {&item_ViewDetails, &TMainFormKelvane::item_ViewDetailsClick},
        {&item_Contents, &TMainFormKelvane::item_ContentsClick},
        {&item_About, &TMainFormKelvane::item_AboutClick},
        {&item_Stop, &TMainFormKelvane::item_StopClick},
    };
    for (const auto& [action, handler] : handlers)
        connect(action, &QAction::triggered, this, handler);
    const std::pair<QAction*, filelist::AddFolderMode> folderModes[] = {
        {&item_AddFilesOnly, filelist::AddFolderMode::FilesOnly},
        {&item_AddFilesAndFolders, filelist::AddFolderMode::FilesAndFolders},
        {&item_AddFoldersOnly, filelist::AddFolderMode::FoldersOnly}};
    for (const auto& [action, mode] : folderModes)
        connect(action, &QAction::triggered, this, [this, mode = mode] { AddFolder(mode); });
    for (std::size_t scope = 0; scope < item_Operate.size(); ++scope)
        connect(&item_Operate[scope], &QAction::triggered, this,
                [this, scope] { btnStartStopClick(static_cast<engine::RunScope>(scope)); });
    for (std::size_t scope = 0; scope < item_Preview.size(); ++scope)
        connect(&item_Preview[scope], &QAction::triggered, this,
                [this, scope] { btnPreviewClick(static_cast<engine::RunScope>(scope)); });

    connect(&FileMenu, &QMenu::aboutToShow, this, &TMainFormKelvane::FileMenuClick);
    connect(&EditMenu, &QMenu::aboutToShow, this, &TMainFormKelvane::EditMenuClick);
    connect(&PopupMenu1, &QMenu::aboutToShow, this, &TMainFormKelvane::PopupMenu1Popup);
    connect(&ViewMenu, &QMenu::aboutToShow, this, &TMainFormKelvane::ViewMenuClick);
    for (QMenu* menu : {&FileMenu, &EditMenu, &PopupMenu1})
        connect(menu, &QMenu::aboutToHide, this, &TMainFormKelvane::EnableListCommands);
    // The hint of the item last under the pointer goes with its menu.
    for (QMenu* menu : {&FileMenu, &EditMenu, &item_AddFolder, &ViewMenu, &item_Arrange, &RunMenu,
                        &HelpMenu, &PopupMenu1, &pitem_AddFolder, &pmAddFolderParams, &pmOperate,
                        &pmPreview, &RunPreviewMenu})
        connect(menu, &QMenu::aboutToHide, this, [this] { ShowHint(QString()); });
    connect(&item_ContextMenu, &QAction::triggered, this, [this] {
        QAbstractItemView& view = lvFiles.CurrentView();
        const QRect current = view.visualRect(view.currentIndex());
        const QPoint at = current.isValid() ? current.center() : QPoint(0, 0);
        PopupMenu1At(view.viewport()->mapToGlobal(at));
    });
    // Idle, the button only drops down the scopes (and leaves a preview shown); during a run a
    // click stops it.
    connect(&btnStartStop, &QToolButton::clicked, this, [this] {
        if (!core_.Idle())
            item_StopClick();
    });
    connect(&item_NextPage, &QAction::triggered, this, [this] { SwitchPage(1); });
    connect(&item_PreviousPage, &QAction::triggered, this, [this] { SwitchPage(-1); });
    using filelist::ListColumn;
    const std::pair<QAction*, ListColumn> sorts[] = {
        {&item_ByName, ListColumn::Name},         {&item_ByType, ListColumn::Type},
        {&item_BySize, ListColumn::Size},         {&item_ByCreated, ListColumn::Created},
        {&item_ByModified, ListColumn::Modified}, {&item_ByOpened, ListColumn::Opened},
        {&item_ByAttr, ListColumn::Attributes},   {&item_ByFolder, ListColumn::Folder}};
    for (const auto& [action, column] : sorts) {
        action->setData(static_cast<int>(column));
        connect(action, &QAction::triggered, this, [this, column = column] { SortBy(column); });
    }
    BindPages();
}

// The list's views and the pages report what the user changed; the core keeps it.
void TMainFormKelvane::BindPages() {
    connect(&lvFiles, &TFileListViews::RowSelectionChanged, this,
            [this](int row, bool selected) { core_.SetSelected(row, selected); });
    connect(&lvFiles, &TFileListViews::ColumnClicked, this, &TMainFormKelvane::lvFilesColumnClick);
    // The rows given before the window first shows (the command line's) widen it with their
    // columns.
    connect(&lvFiles, &TFileListViews::ColumnsFitted, this, [this] {
        if (!isVisible() && !sizeStored_)
            FitToScreen();
    });
    connect(&tsSettings, &TSettingsPage::ShortDateFormatChanged, &tsParameters,
            &TParameterPages::SetShortDateFormat);
    connect(&tsSettings, &TSettingsPage::ForgetRunsClicked, this,
            &TMainFormKelvane::btnForgetRunsClick);
    connect(&pcTymo, &QTabWidget::currentChanged, this, [this] {
        if (pcTymo.currentWidget() == &tsSettings)
            ShowPastRuns();
    });
    connect(&tsParameters, &TParameterPages::Changed, this, [this] { core_.ParametersChanged(); });
}

void TMainFormKelvane::ApplyCaptions() {
    ForEachCommand([](QAction& command, const char*, const msg::TCommandText& text) {
        ApplyCommandText(command, text);
    });
    ForEachMenu([](QMenu& menu, const char*, const msg::TCommandText& text) {
        ApplyCommandText(*menu.menuAction(), text);
    });
    // btnAddDir drops down the add-folder modes: it reads as the Edit menu's item does. It
    // shows its picture only, so it takes no access key: the letter is the File menu's.
    btnAddDir.setText(
        QString::fromStdString(msg::StripAmpersand(item_AddFolder.title().toStdString())));
    btnAddDir.setToolTip(item_AddFolder.menuAction()->toolTip());
    btnAddDir.setStatusTip(item_AddFolder.menuAction()->statusTip());

    const QString pages[] = {msg::ToQString(msg::tsFiles), msg::ToQString(msg::tsParameters),
                             msg::ToQString(msg::tsSettings)};
    for (int page = 0; page < pcTymo.count(); ++page) {
        pcTymo.setTabText(page, pages[page]);
        pcTymo.widget(page)->setAccessibleName(pages[page]);
    }
    for (std::size_t scope = 0; scope < item_Operate.size(); ++scope) {
        item_Operate[scope].setText(msg::ToQString(msg::kOperateCaptions[scope]));
        item_Operate[scope].setStatusTip(msg::ToQString(msg::kOperateHints[scope]));
        item_Preview[scope].setText(msg::ToQString(msg::kOperateCaptions[scope]));
        item_Preview[scope].setStatusTip(msg::ToQString(msg::kPreviewHint));
    }
    btnPreview.setText(msg::ToQString(msg::btnPreview));
    btnPreview.setAccessibleName(
        QString::fromStdString(msg::StripAmpersand(std::string(msg::btnPreview))));
    btnPreview.setStatusTip(msg::ToQString(msg::RunPreviewMenu.hint));
    PB.setAccessibleName(msg::ToQString(msg::kProgress));
    lvFiles.SetTexts(msg::ToQString(msg::kFilesName), msg::ToQString(msg::kEmptyListHint));
    pmOperate.setDefaultAction(&item_Operate.back());
    pmPreview.setDefaultAction(&item_Preview.back());
    SetStartStopButton(false);
    lvFilesChange();
}

int TMainFormKelvane::SelectedCount() const {
    const std::vector<filelist::FileRow>& rows = core_.List().Rows();
    return static_cast<int>(
        std::count_if(rows.begin(), rows.end(), [](const auto& row) { return row.selected; }));
}

int TMainFormKelvane::FirstSelected() const {
    const std::vector<filelist::FileRow>& rows = core_.List().Rows();
    const auto selected =
        std::find_if(rows.begin(), rows.end(), [](const auto& row) { return row.selected; });
    return selected == rows.end() ? -1 : static_cast<int>(selected - rows.begin());
}

// The enabling rules are applied when a menu opens, from the list as it is then. The list
// commands check their own preconditions, so once a menu closes their tool buttons are
// enabled again, as they always are.
void TMainFormKelvane::FileMenuClick() {
    item_Delete.setEnabled(SelectedCount() > 0);
}

void TMainFormKelvane::EditMenuClick() {
    const bool rows = core_.List().RowCount() > 0;
    const int selected = SelectedCount();
    item_RemoveFile.setEnabled(selected > 0);
    item_RemoveFolder.setEnabled(selected == 1);
    item_ClearList.setEnabled(rows);
    item_InvertSelection.setEnabled(selected > 0);
    item_InvertChecked.setEnabled(rows);
    ShowPastRuns();
}

// Removing "the" folder needs one row to take the folder from, from the context menu too.
void TMainFormKelvane::PopupMenu1Popup() {
    const int selected = SelectedCount();
    item_RemoveFile.setEnabled(selected > 0);
    item_RemoveFolder.setEnabled(selected == 1);
    item_ClearList.setEnabled(core_.List().RowCount() > 0);
}

void TMainFormKelvane::EnableListCommands() {
    for (QAction* command : {&item_Delete, &item_RemoveFile, &item_RemoveFolder, &item_ClearList,
                             &item_InvertSelection, &item_InvertChecked})
        command->setEnabled(true);
}

void TMainFormKelvane::ViewMenuClick() {
    item_Toolbar.setChecked(!tbFileList.isHidden());
    item_StatusBar.setChecked(!SB.isHidden());
    item_GridLines.setChecked(lvFiles.GridLines());
    viewStyles_.actions().at(lvFiles.ViewStyle())->setChecked(true);
}

void TMainFormKelvane::SetViewStyle(int style) {
    lvFiles.SetViewStyle(style);
    viewStyles_.actions().at(style)->setChecked(true);
}

void TMainFormKelvane::item_ToolbarClick() {
    tbFileList.setVisible(item_Toolbar.isChecked());
}

void TMainFormKelvane::item_StatusBarClick() {
    SB.setVisible(item_StatusBar.isChecked());
}

void TMainFormKelvane::item_GridLinesClick() {
    lvFiles.SetGridLines(item_GridLines.isChecked());
}

// The trash is asked for once, for all selected items; the files that stay are named in one
// message, and their rows stay.
void TMainFormKelvane::item_DeleteClick() {
    const int selected = SelectedCount();
    if (selected == 0)
        return;
    const QString question =
        selected == 1 ? msg::ToQString(msg::kTrashOne)
                            .arg(QString::fromStdString(
                                core_.List().Row(FirstSelected()).Text(filelist::ListColumn::Name)))
                      : msg::ToQString(msg::kTrashMany).arg(selected);
    if (chooser_.Confirm(*this, msg::ToQString(msg::kTrashTitle), question)) {
        const std::vector<core::TKelvaneCore::TrashFailure> failures = core_.DeleteSelected();
        if (!failures.empty()) {
            std::string text(msg::kTrashFailed);
            for (const core::TKelvaneCore::TrashFailure& failure : failures) {
                // One line per file, whatever its name holds.
                text += "\n";
                filelist::AppendShownName(failure.path, text);
                text += ": " + failure.reason;
            }
            ShowMessage(text, std::string(msg::kAppTitle));
        }
    }
    lvFilesChange();
}

void TMainFormKelvane::item_AddFileClick() {
    const QStringList files = chooser_.OpenFiles(*this, OpenDialogFilter(msg::kOpenFilter));
    if (!files.isEmpty())
        WMDropFiles(LocalPaths(files));
    lvFilesChange();
}

// The search runs in the background; SearchBusyChanged disables the pages until it is done.
void TMainFormKelvane::AddFolder(filelist::AddFolderMode mode) {
    core_.SetAddMode(mode);
    const QString folder = chooser_.SelectFolder(*this, msg::ToQString(msg::kSelectFolder));
    if (!folder.isEmpty())
        core_.AddFolder(mode, LocalPaths({folder}).front());
}

void TMainFormKelvane::item_RemoveFileClick() {
    core_.RemoveSelected();
}

void TMainFormKelvane::item_RemoveFolderClick() {
    if (SelectedCount() != 1)
        return;
    const TBusyCursor busy;
    core_.RemoveFolderOf(FirstSelected());
}

void TMainFormKelvane::item_ClearListClick() {
    core_.Clear();
    lvFilesChange();
}

void TMainFormKelvane::item_InvertSelectionClick() {
    const TBusyCursor busy;
    core_.InvertSelection();
}

void TMainFormKelvane::item_InvertCheckedClick() {
    const TBusyCursor busy;
    core_.InvertChecked();
}

// Each sort is of the rows as they are now; the same column again reverses the order.
void TMainFormKelvane::SortBy(filelist::ListColumn column) {
    const TBusyCursor busy;
    core_.Sort(column, tsSettings.SortWithFolderName());
    lvFiles.ShowSortIndicator(core_.SortColumn(), core_.SortAscending());
    for (QAction* sort : arrangeGroup_.actions())
        sort->setChecked(sort->data().toInt() == static_cast<int>(column));
}

void TMainFormKelvane::PopupMenu1At(const QPoint& globalPos) {
    PopupMenu1.popup(globalPos);
}

void TMainFormKelvane::SwitchPage(int step) {
    const int count = pcTymo.count();
    pcTymo.setCurrentIndex((pcTymo.currentIndex() + step + count) % count);
}

void TMainFormKelvane::lvFilesColumnClick(int column) {
    SortBy(static_cast<filelist::ListColumn>(column));
}

}  // namespace ui
