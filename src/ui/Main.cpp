#include "ui/Main.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QScreen>
#include <QStatusTipEvent>
#include <QUrl>
#include <algorithm>
#include <clocale>

#include "platform/LocaleFormats.h"
#include "ui/About.h"
#include "ui/Manual.h"
#include "ui/MsgStr.h"
#include "ui/Pictures.h"

namespace ui {

namespace {

constexpr QSize kDesignSize{711, 463};
constexpr QSize kMinimumSize{610, 400};
constexpr QSize kToolButtonSize{23, 22};
constexpr int kPanelBorder = 5;
constexpr int kCountPanelWidth = 150;
constexpr int kProgressPanelWidth = 104;
constexpr int kBevelHeight = 2;

}  // namespace

TMainFormKelvane::TMainFormKelvane(IChooser& chooser, QWidget* parent)
    : QMainWindow(parent),
      chooser_(chooser),
      core_(*this, *this, dispatcher_),
      model_(
          core_.List(), [this](int row, bool checked) { core_.SetChecked(row, checked); },
          &core_.PreviewShown()) {
    setObjectName("MainFormKelvane");
    setWindowTitle(msg::ToQString(msg::kAppTitle));
    LoadToolbarImages(ilNormal);
    BuildMenus();
    BuildLayout();
    BindCommands();
    pcTymo.setCurrentWidget(&tsFiles);
    tsParameters.SetDatePickersToNow();
    setAcceptDrops(true);
    setMinimumSize(kMinimumSize);
    FitToScreen();
    LoadSettings();
    // A size stored on a larger screen, or at a smaller scale, does not outgrow this one.
    if (const QScreen* shown = screen())
        resize(size().boundedTo(shown->availableGeometry().size()));
    ApplyCaptions();
    // Every run of the window can be taken back; where no journal can be kept, the user says
    // whether to run all the same.
    core_.KeepJournals([this](const std::string& reason) {
        return chooser_.Confirm(
            *this, msg::ToQString(msg::kAppTitle),
            msg::ToQString(msg::kNoJournal).arg(QString::fromStdString(reason)));
    });
    ShowPastRuns();
    pcTymo.setFocus();
}

TMainFormKelvane::~TMainFormKelvane() {
    setAcceptDrops(false);
    SaveSettings();
    settings_.reset();
}

void TMainFormKelvane::BuildLayout() {
    setMenuBar(&MainMenu1);
    setCentralWidget(&central_);
    centralLayout_.setContentsMargins(0, 0, 0, 0);
    centralLayout_.setSpacing(0);
    Bevel1.setObjectName("Bevel1");
    Bevel1.SetShape(TBevelShape::bsTopLine);
    Bevel1.setFixedHeight(kBevelHeight);
    centralLayout_.addWidget(&Bevel1);
    Panel2.setObjectName("Panel2");
    panel2Layout_.setContentsMargins(kPanelBorder, kPanelBorder, kPanelBorder, kPanelBorder);
    centralLayout_.addWidget(&Panel2, 1);
    pcTymo.setObjectName("pcTymo");
    panel2Layout_.addWidget(&pcTymo);
    BuildFileListPage();
    tsParameters.setObjectName("tsParameters");
    tsParameters.SetImages(ilNormal);
    tsSettings.setObjectName("tsSettings");
    for (QWidget* page :
         {&tsFiles, static_cast<QWidget*>(&tsParameters), static_cast<QWidget*>(&tsSettings)})
        pcTymo.addTab(page, QString());
    BuildStatusBar();
    centralLayout_.addWidget(&SB);
}

// The toolbar, the gap below it and the list. The nine buttons show the actions of their menu
// commands; btnAddDir and btnStartStop have no command of their own and only drop down a menu.
void TMainFormKelvane::BuildFileListPage() {
    tsFiles.setObjectName("tsFiles");
    filesLayout_.setContentsMargins(0, 0, 0, 0);
    filesLayout_.setSpacing(0);
    tbFileList.setObjectName("tbFileList");
    tbFileList.setIconSize(QSize(16, 16));
    tbFileList.setFloatable(false);
    tbFileList.setMovable(false);
    const auto addButton = [this](QToolButton& button, const char* name, QAction* action) {
        button.setObjectName(name);
        button.setAutoRaise(true);
        if (action) {
            button.setDefaultAction(action);
            button.setFixedSize(kToolButtonSize);
        }
        tbFileList.addWidget(&button);
    };
    const auto addSeparator = [this](const char* name) {
        tbFileList.addSeparator()->setObjectName(name);
    };
    addButton(btnAddFiles, "btnAddFiles", &item_AddFile);
    addButton(btnAddDir, "btnAddDir", nullptr);
    btnAddDir.setIcon(QIcon(ilNormal.Image(1)));
    btnAddDir.setMenu(&pmAddFolderParams);
    btnAddDir.setPopupMode(QToolButton::InstantPopup);
    btnAddDir.setFixedHeight(kToolButtonSize.height());
    addSeparator("btnSep1");
    addButton(btnRemoveFile, "btnRemoveFile", &item_RemoveFile);
    addButton(btnRemoveDir, "btnRemoveDir", &item_RemoveFolder);
    addSeparator("ToolButton4");
    addButton(btnDelete, "btnDelete", &item_Delete);
    addSeparator("ToolButton1");
    addButton(btnIcons, "btnIcons", &item_ViewIcons);
    addButton(btnSmallIcons, "btnSmallIcons", &item_ViewSmallIcons);
    addButton(btnList, "btnList", &item_ViewList);
    addButton(btnDetails, "btnDetails", &item_ViewDetails);
    addSeparator("ToolButton2");
    tbStartStop.setObjectName("tbStartStop");
    tbStartStop.setIconSize(QSize(16, 16));
    tbStartStop.setFloatable(false);
    tbStartStop.setMovable(false);
    btnStartStop.setObjectName("btnStartStop");
    btnStartStop.setAutoRaise(true);
    btnStartStop.setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    btnStartStop.setMenu(&pmOperate);
    btnStartStop.setPopupMode(QToolButton::InstantPopup);
    btnStartStop.setFixedHeight(kToolButtonSize.height());
    tbStartStop.addWidget(&btnStartStop);
    btnPreview.setObjectName("btnPreview");
    btnPreview.setAutoRaise(true);
    btnPreview.setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    btnPreview.setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    btnPreview.setMenu(&pmPreview);
    btnPreview.setPopupMode(QToolButton::InstantPopup);
    btnPreview.setFixedHeight(kToolButtonSize.height());
    tbStartStop.addWidget(&btnPreview);
    tbFileList.addWidget(&tbStartStop);
    filesLayout_.addWidget(&tbFileList);

    OrbelBevel1.setObjectName("OrbelBevel1");
    OrbelBevel1.SetShape(TBevelShape::bsSpacer);
    OrbelBevel1.setFixedHeight(kBevelHeight);
    filesLayout_.addWidget(&OrbelBevel1);
    lvFiles.setObjectName("lvFiles");
    lvFiles.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&lvFiles, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1.popup(lvFiles.mapToGlobal(pos)); });
    filesLayout_.addWidget(&lvFiles, 1);
}

// Panel 0 the object count, panel 1 under the progress bar, panel 2 the long hint.
void TMainFormKelvane::BuildStatusBar() {
    SB.setObjectName("SB");
    SB.SetParentFont(true);
    SB.Panels().Add().SetWidth(kCountPanelWidth);
    TStatusPanelPro& progress = SB.Panels().Add();
    progress.SetWidth(kProgressPanelWidth);
    progress.SetBevel(TStatusPanelBevel::pbNone);
    SB.Panels().Add();
    PB.setObjectName("PB");
    PB.setParent(&SB);
    PB.setRange(0, 100);
    PB.setValue(0);
    PB.setTextVisible(false);
    laRunReport.setObjectName("laRunReport");
    laRunReport.setParent(&SB);
    laRunReport.setAutoFillBackground(true);
    laRunReport.setTextFormat(Qt::RichText);
    laRunReport.setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    laRunReport.hide();
    connect(&laRunReport, &QLabel::linkActivated, this, &TMainFormKelvane::ShowNotChanged);
    // Panel 1 always begins at the same place, since panel 0 has a fixed width; only the bar's
    // height can change the progress bar's place.
    SB.installEventFilter(this);
}

bool TMainFormKelvane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &SB && event->type() == QEvent::Resize) {
        PB.setGeometry(SB.PanelRect(1));
        PlaceRunReport();
    }
    return QMainWindow::eventFilter(watched, event);
}

// The design size, widened to show every column of the list; a window larger than the screen
// would hide its own edges and size grip.
void TMainFormKelvane::FitToScreen() {
    QSize size = kDesignSize;
    // What stands around the list's columns: the borders of the page and of the list, and a
    // vertical scroll bar.
    const int around = 2 * kPanelBorder + 4 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) +
                       style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8;
    size.setWidth(std::max(size.width(), lvFiles.ColumnsWidth() + around));
    if (const QScreen* shown = screen()) {
        const QSize available = shown->availableGeometry().size();
        size = size.boundedTo(available);
        setMinimumSize(kMinimumSize.boundedTo(available));
    }
    resize(size);
}

bool TMainFormKelvane::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::StatusTip:
            ShowHint(static_cast<QStatusTipEvent*>(event)->tip());
            return true;
        case QEvent::LocaleChange:
            // The desktop's formats changed: texts made from now on follow them. The rows already
            // in the list keep the texts they were made with.
            std::setlocale(LC_ALL, "");
            platform::ReloadLocaleFormats();
            tsParameters.SetShortDateFormat(tsSettings.ShortDateFormat());
            break;
        default:
            break;
    }
    return QMainWindow::event(event);
}

// The long hint of the control or menu item under the pointer; leaving it empties the panel.
void TMainFormKelvane::ShowHint(const QString& hint) {
    SB.Panels()[2].SetText(hint);
}

// A run lets events in between two files, so a close can arrive in the middle of one. The run
// is stopped first: it returns before the next file, and only then does the window go.
void TMainFormKelvane::closeEvent(QCloseEvent* event) {
    core_.Stop();
    QMainWindow::closeEvent(event);
}

void TMainFormKelvane::file_Close() {
    if (core_.Idle())
        close();
}

void TMainFormKelvane::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainFormKelvane::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    WMDropFiles(paths);
    event->acceptProposedAction();
}

void TMainFormKelvane::WMDropFiles(const std::vector<std::string>& paths) {
    if (paths.empty())
        return;
    const TBusyCursor busy;
    core_.AddPaths(paths, core_.AddMode());
    // The rows of one drop are shown at once, not when the next batch of a search would be.
    model_.ShowArrivedRows();
}

// The manual in a window of the program's own: help works without a browser.
void TMainFormKelvane::item_ContentsClick() {
    if (!manual_)
        manual_ = MakeManualWindow(*this, ManualPath(QCoreApplication::applicationDirPath()));
    manual_->show();
    manual_->raise();
    manual_->activateWindow();
}

void TMainFormKelvane::item_AboutClick() {
    TAboutBox box(this);
    box.exec();
}

}  // namespace ui
