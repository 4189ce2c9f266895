#pragma once
// The program's string table: every caption, hint, message and filter the window shows. The
// window layout holds placeholders; ApplyCaptions fills them from here once at start-up, so a
// text is changed in one place and the tests read the same source. "&" marks the access key.

#include <QString>
#include <array>
#include <string>
#include <string_view>

#include "filelist/ListColumn.h"

namespace ui::msg {

// A menu command's caption and its long hint, shown in status panel 2 while it is highlighted.
struct TCommandText {
    std::string_view caption;
    std::string_view hint;
};

// A text of the table as the widgets take it.
QString ToQString(std::string_view text);

// Deletes the first "&" only: a caption without its access key.
std::string StripAmpersand(const std::string& text);

// The short part (the caption without its first "&"), "|", the long part: the hint of a
// toolbar button that does what a menu command does.
std::string ToolbarHint(const TCommandText& command);

inline constexpr std::string_view kAppTitle = "Orbel Kelvane";
// Status panel 0; "%d" is the number of rows.
inline constexpr std::string_view kObjectCount = "%d object(s)";

// Pages of pcTymo and the columns of lvFiles.
inline constexpr std::string_view tsFiles = "File List";
inline constexpr std::string_view tsParameters = "Parameters";
inline constexpr std::string_view tsSettings = "Settings";
inline constexpr std::array<std::string_view, filelist::kListColumnCount> kColumns = {
    "Name", "Size", "Type", "Created", "Modified", "Opened", "Attributes", "Folder"};

// The Start/Stop button: idle, and while a run is in progress.
inline constexpr std::string_view btnStartStop = " &Start to handle...";
inline constexpr std::string_view kStopCaption = "&Stop";
// item_Operate0 ... item_Operate6, in scope order, and their hints. Scopes 4 and 5 visit a row
// when either mark allows it; their captions say so.
inline constexpr std::array<std::string_view, 7> kOperateCaptions = {
    "Checked items only",
    "Unchecked items only",
    "Selected items only",
    "Unselected items only",
    "Checked or selected items",
    "Items not both checked and selected",
    "All items"};
inline constexpr std::array<std::string_view, 7> kOperateHints = {
    "Changes the files of the checked rows.",
    "Changes the files of the rows that are not checked.",
    "Changes the files of the selected rows.",
    "Changes the files of the rows that are not selected.",
    "Changes the files of the rows that are checked, selected, or both.",
    "Changes the files of every row except those both checked and selected.",
    "Changes the files of every row."};
// The preview of a run: the button beside Start and the Run menu's submenu drop down the same
// seven scopes; each shows what a run of it would change, changing no file.
inline constexpr std::string_view btnPreview = "&Preview";
inline constexpr TCommandText RunPreviewMenu = {
    "&Preview", "Shows in the list what a run would change, without changing a file."};
inline constexpr std::string_view kPreviewHint =
    "Shows in the list what a run of these rows would change, without changing a file.";
// The tooltip of a previewed cell: the value the file has now.
inline constexpr std::string_view kPreviewToday = "Now: %1";
// The Run menu: the seven scopes, the preview and Stop, which ends a run between two files.
inline constexpr TCommandText RunMenu = {"&Run", "Contains commands for changing the files."};
inline constexpr TCommandText item_Stop = {"&Stop", "Stops the run before the next file."};

// The run's report in the status bar, and the list of the files it did not change.
inline constexpr std::string_view kRunDetails = "Details\u2026";
inline constexpr std::string_view kNotChangedTitle = "Files Not Changed";
inline constexpr std::string_view kNotChangedHeading = "These files were not changed:";
inline constexpr std::string_view kCopy = "&Copy";
inline constexpr std::string_view kClose = "Close";
// The hint of an empty list.
inline constexpr std::string_view kEmptyListHint =
    "Add files with Edit > Add File to List, or drop them here";
// The Help window.
inline constexpr std::string_view kHelpTitle = "Orbel Kelvane Help";
inline constexpr std::string_view kNoManual = "The manual is not installed.";
inline constexpr std::string_view kProgress = "Progress";
// The list's views, for a screen reader.
inline constexpr std::string_view kFilesName = "Files";

// The open-file dialog's filter, pairs of description and patterns.
inline constexpr std::string_view kOpenFilter =
    "All Files|*.*|"
    "Microsoft Word Files|*.doc;*.dot;*.rtf|"
    "Microsoft Excel Files|*.xls;*.xlw;*.xlt;*.xlt|"
    "Microsoft Access Files|*.mdb;*.mda;*.mdw;*.mde|"
    "Microsoft PowerPoint Files|*.pps;*.pot;*.ppa|"
    "HTML Documents|*.htm;*.html;*.htz;*.hti;*.css|"
    "Help Files|*.hlp;*.cnt;*.chm|"
    "Programs|*.exe;*.com;*.dll;*.ocx;*.bpl;*.dpl";
// The title of the folder dialog of the add-folder commands.
inline constexpr std::string_view kSelectFolder = "Select Folder";
// The question before File > Delete, naming the one item ("%1": its name) or counting them.
inline constexpr std::string_view kTrashTitle = "Move to Trash";
inline constexpr std::string_view kTrashOne = "Do you want to move \"%1\" to the trash?";
inline constexpr std::string_view kTrashMany = "Do you want to move these %1 items to the trash?";
// Heads the list of the files that stayed, one "path: reason" a line.
inline constexpr std::string_view kTrashFailed = "These items could not be moved to the trash:";
inline constexpr std::string_view kFoldersNotSearched =
    "These folders could not be searched; their files are not in the list:";
inline constexpr std::string_view kMoreFolders = "and %1 more";

// Menus. The popup items (pitem_...) and toolbar buttons use the texts of their menu items.
inline constexpr TCommandText FileMenu = {"&File",
                                          "Contains commands for working with the selected items."};
inline constexpr TCommandText item_Delete = {"&Delete", "Deletes the selected items."};
inline constexpr TCommandText item_Close = {"&Close", "Closes the window."};
inline constexpr TCommandText EditMenu = {
    "&Edit", "Contains commands for selecting and transferring items."};
inline constexpr TCommandText item_AddFile = {"&Add File to List",
                                              "Insert the items from selected location."};
inline constexpr TCommandText item_AddFolder = {
    "Add &Folder to List...", "Insert the items to the list from selected location."};
inline constexpr TCommandText item_AddFilesOnly = {
    "Files Only", "Insert the items to the list from selected location."};
inline constexpr TCommandText item_AddFilesAndFolders = {
    "Files and Folders", "Insert the items to the list from selected location."};
inline constexpr TCommandText item_AddFoldersOnly = {
    "Folders Only", "Insert the items to the list from selected location."};
inline constexpr TCommandText item_RemoveFile = {"&Remove File from List",
                                                 "Removes selected item from the list."};
inline constexpr TCommandText item_RemoveFolder = {"Re&move Folder from List",
                                                   "Removes items from the same folder."};
inline constexpr TCommandText item_ClearList = {"&Clear File List",
                                                "Removes all items from the list."};
inline constexpr TCommandText item_InvertSelection = {
    "&Invert Selection", "Reverses wich items are selected and wich are not."};
inline constexpr TCommandText item_InvertChecked = {
    "I&nvert Checked", "Reverses wich items are checked and wich are not."};
// Edit > Undo Last Run. Its hint names the run it would take back ("%1" when it started, "%2"
// how many files it changed); the question before it does too.
inline constexpr TCommandText item_UndoLastRun = {
    "&Undo Last Run", "Puts the files of the last run back as they were."};
inline constexpr std::string_view kUndoRunHint = "Puts back the files of the run of %1 (%2).";
inline constexpr std::string_view kUndoUndoHint = "Takes back the undo of %1 (%2).";
inline constexpr std::string_view kNoRunKept = "No run is kept to undo.";
inline constexpr std::string_view kUndoTitle = "Undo Last Run";
inline constexpr std::string_view kUndoRunQuestion =
    "Put back the files of the run of %1 (%2)? A file changed since is left as it is.";
inline constexpr std::string_view kUndoUndoQuestion =
    "Take back the undo of %1 (%2)? A file changed since is left as it is.";
inline constexpr std::string_view kCannotUndo = "The run cannot be undone: %1";
// Asked before a run or an undo when no journal of it can be kept ("%1": why).
inline constexpr std::string_view kNoJournal = "Undo will not be possible: %1. Run anyway?";
inline constexpr TCommandText ViewMenu = {"&View",
                                          "Contains commands for customizing this window."};
inline constexpr TCommandText item_Toolbar = {"&Toolbar", "Shows or hides the toolbar."};
inline constexpr TCommandText item_StatusBar = {"Status &Bar", "Shows or hides the status bar."};
inline constexpr TCommandText item_GridLines = {"Grid Li&nes", "Shows or hides the grid lines."};
inline constexpr TCommandText item_ViewIcons = {"Lar&ge Icons",
                                                "Display items by using large icons."};
inline constexpr TCommandText item_ViewSmallIcons = {"S&mall Icons",
                                                     "Display items by using small icons."};
inline constexpr TCommandText item_ViewList = {"&List", "Display items in a list."};
inline constexpr TCommandText item_ViewDetails = {
    "&Details", "Displays information about each item in the window."};
inline constexpr TCommandText item_Arrange = {
    "&Arrange Icons", "Contains commands for arranging items in the window."};
inline constexpr TCommandText item_ByName = {"by &Name", "Sort items alphabetically by name."};
inline constexpr TCommandText item_BySize = {"by Si&ze",
                                             "Sort items by size, from smallest to larger."};
inline constexpr TCommandText item_ByType = {"by &Type", "Sort items by type."};
inline constexpr TCommandText item_ByCreated = {
    "by &Creation Time", "Sort items by date of creation, from oldest to most recent."};
inline constexpr TCommandText item_ByModified = {
    "by Last &Write Time", "Sort items by date of last write time, from oldest to most recent."};
inline constexpr TCommandText item_ByOpened = {
    "by &Last Accessed Time",
    "Sort items by date of last accessed time, from oldest to most recent."};
inline constexpr TCommandText item_ByAttr = {"by &Attributes", "Sort items by attributes."};
inline constexpr TCommandText item_ByFolder = {"by &Folder",
                                               "Sort items alphabetically by name of folder."};
inline constexpr TCommandText HelpMenu = {"&Help", "Contains commands for displaying Help."};
inline constexpr TCommandText item_Contents = {"Help &Topics", "Opens Help."};
inline constexpr TCommandText item_About = {
    "&About", "Displays program information, version number and copyright."};

// The "Parameters" page: sub-page buttons. Their access keys leave the first letters to the
// attribute boxes below them.
inline constexpr std::string_view btnDateTime = " Date and &Time";
inline constexpr std::string_view btnAttributes = " Attri&butes ";
inline constexpr std::string_view btnRename = " &Char case";
inline constexpr std::string_view btnMultimedia = " M&ultimedia";

// The "Date and Time" sub-page.
inline constexpr std::string_view rbSetSelectedDate =
    "Set &one value for dates of creation, modification and accessing";
inline constexpr std::string_view rbSetSeparateDate =
    "Set &different values for dates of creation, modification and accessing";
inline constexpr std::string_view rbDoNotChangeDate = "Do &not change";
// Three ways that take each file's own dates, on the dates ticked above (Created, Modified,
// Opened); each with its long hint for the status bar.
inline constexpr std::string_view rbShiftDate = "Sh&ift the ticked dates by";
inline constexpr std::string_view kShiftDateHint =
    "Moves each ticked date of a file later (+) or earlier (-) by the span.";
// Plain "+" and "-", so that the direction is chosen by typing the sign.
inline constexpr std::string_view kShiftLater = "+";
inline constexpr std::string_view kShiftEarlier = "-";
// How a screen reader names the shift's fields ("Shift days") and its two directions, and the
// copy's choice of date.
inline constexpr std::string_view kShift = "Shift";
inline constexpr std::string_view kCopyFrom = "Copy from";
inline constexpr std::string_view kLater = "later";
inline constexpr std::string_view kEarlier = "earlier";
inline constexpr std::string_view kDirection = "direction";
inline constexpr std::string_view kDays = "days";
inline constexpr std::string_view kHours = "hours";
inline constexpr std::string_view kMinutes = "minutes";
inline constexpr std::string_view kSeconds = "seconds";
// The suffixes of the span's four fields.
inline constexpr std::string_view kDaysSuffix = " days";
inline constexpr std::string_view kHoursSuffix = " h";
inline constexpr std::string_view kMinutesSuffix = " min";
inline constexpr std::string_view kSecondsSuffix = " s";
inline constexpr std::string_view rbCopyDate = "Cop&y to the ticked dates from";
inline constexpr std::string_view kCopyDateHint =
    "Writes the chosen date of each file into its ticked dates.";
inline constexpr std::string_view rbDateFromFile = "T&ake the ticked dates from the file:";
inline constexpr std::string_view kDateFromFileHint =
    "Sets the ticked dates from the first date found in the ticked places, in this order; a "
    "file with none keeps its dates.";
inline constexpr std::string_view cbFromExif = "Photo's date (E&XIF)";
inline constexpr std::string_view cbFromId3 = "Song's recordin&g time (ID3v2)";
inline constexpr std::string_view cbFromName = "Date in the na&me";
inline constexpr std::string_view btnToday = "No&w";
inline constexpr std::string_view cbCreated = "Created:";
inline constexpr std::string_view cbModified = "Modified:";
inline constexpr std::string_view cbOpened = "Opened:";
// How a screen reader names the pickers: the group, then which part of the moment.
inline constexpr std::string_view kOneValue = "One value";
inline constexpr std::string_view kDate = "date";
inline constexpr std::string_view kTime = "time";

// The "Attributes" sub-page; the four attributes stand twice, under remove and under set, each
// with an access key of its own.
inline constexpr std::string_view cbRemoveAttr = "Rem&ove, if indicated...";
inline constexpr std::string_view cbSetAttr = "Set ne&w";
// The remove group's name for a screen reader: "Remove: Read-only", "Set new: Read-only".
inline constexpr std::string_view kRemoveGroup = "Remove";
inline constexpr std::string_view cbRReadOnly = "Read-on&ly";
inline constexpr std::string_view cbRHidden = "Hi&dden";
inline constexpr std::string_view cbRArchive = "&Archive";
inline constexpr std::string_view cbRSystem = "Syste&m";
inline constexpr std::string_view cbReadOnly = "Read-onl&y";
inline constexpr std::string_view cbHidden = "Hidde&n";
inline constexpr std::string_view cbArchive = "Arch&ive";
inline constexpr std::string_view cbSystem = "&System";

// The "Char case" sub-page.
inline constexpr std::string_view rbNameLowerCase = "Convert name of file to lower case";
inline constexpr std::string_view rbExtLowerCase = "Convert extension of file to lower case";
inline constexpr std::string_view rbNameUpperCase = "Convert name of file to upper case";
inline constexpr std::string_view rbExtUpperCase = "Convert extension of file to upper case";
inline constexpr std::string_view rbNameDontChange = "Do &not change";

// The "Multimedia" sub-page.
inline constexpr std::string_view cbDeleteGIFExtensions = "&Delete comments in .GIF files";
inline constexpr std::string_view cbID3v1 =
    "Change &names of .MP3 files under the data from ID3v1 tag";
inline constexpr std::string_view cbID3v2 = "Use the ID3v2 ta&g when the file has one";
inline constexpr std::string_view kID3v2Hint =
    "Takes the artist and title from the ID3v2 tag, without cutting them to 30 characters; a "
    "file without one is renamed after its ID3v1 tag.";

// The "Settings" page.
inline constexpr std::string_view gbGeneral = " General ";
inline constexpr std::string_view cbSortWithFolderName = "Sort file names &with folder name";
inline constexpr std::string_view cbShortDateFormat = "&Use short date format";
// Its past runs: how many are kept for Undo Last Run, and the command that forgets them.
inline constexpr std::string_view gbPastRuns = " Past Runs ";
inline constexpr std::string_view btnForgetRuns = "Forget &past runs...";
inline constexpr std::string_view kForgetRunsHint =
    "Deletes the journals of the past runs: none of them can be undone afterwards.";
inline constexpr std::string_view kForgetRunsTitle = "Forget Past Runs";
inline constexpr std::string_view kForgetRunsQuestion =
    "Forget every past run? None of them can be undone afterwards.";
inline constexpr std::string_view kForgetRunsFailed =
    "The past runs could not all be forgotten: %1";

// The About box. The copyright text is the build's own (see ProgramInfo).
inline constexpr std::string_view kAboutCaption = "About Orbel Kelvane";
inline constexpr std::string_view kDescription =
    "program for changing date, time, attributes and name of files";
inline constexpr std::string_view kVersionTitle = "Version";
inline constexpr std::string_view item_Copy = "&Copy address to clipboard";
std::string_view Copyright();

}  // namespace ui::msg
