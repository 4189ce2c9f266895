#include "ui/About.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QUrl>
#include <algorithm>
#include <initializer_list>

#include "ProgramInfo.h"
#include "ui/MsgStr.h"
#include "ui/Pictures.h"

namespace ui {

namespace {

QString Escaped(QString text) {
    return text.replace(' ', "%20");
}

void Name(QObject& object, const char* name) {
    object.setObjectName(QString::fromLatin1(name));
}

void SetUnderline(QLabel& label, bool underline) {
    QFont font = label.font();
    font.setUnderline(underline);
    label.setFont(font);
}

}  // namespace

TFileVersion ProgramVersion() {
    return {programinfo::kVersionMajor, programinfo::kVersionMinor, programinfo::kVersionRelease,
            programinfo::kVersionBuild};
}

QString VersionText(const TFileVersion& version) {
    return QString::asprintf("%d.%d.%d.%d", version.major, version.minor, version.release,
                             version.build);
}

QString MailtoLink(const QString& contact, const QString& address, const QString& versionText) {
    return "mailto:" + Escaped(contact) + "%20<" + address + ">" +
           "?Subject=" + Escaped(msg::ToQString(msg::kAppTitle)) + "%20v" + versionText;
}

TAboutBox::TAboutBox(QWidget* parent, const TFileVersion& version)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    Name(TopPanel, "TopPanel");
    Name(imgAppIcon, "imgAppIcon");
    Name(laAppTitle, "laAppTitle");
    Name(laDescription, "laDescription");
    Name(Bevel2, "Bevel2");
    Name(Bevel1, "Bevel1");
    Name(laVersionTitle, "laVersionTitle");
    Name(laVersion, "laVersion");
    Name(laCopyright, "laCopyright");
    Name(laEMailTitle, "laEMailTitle");
    Name(laEMail, "laEMail");
    Name(laWebTitle, "laWebTitle");
    Name(laWeb, "laWeb");
    Name(btnOK, "btnOK");
    Name(Panel1, "Panel1");
    Name(PopupMenu1, "PopupMenu1");

    setWindowTitle(msg::ToQString(msg::kAboutCaption));
    imgAppIcon.setPixmap(ApplicationIcon().pixmap(QSize(32, 32), devicePixelRatioF()));
    imgAppIcon.setAlignment(Qt::AlignCenter);
    laAppTitle.setText(msg::ToQString(msg::kAppTitle));
    QFont titleFont("Arial");
    titleFont.setPixelSize(16);
    titleFont.setBold(true);
    laAppTitle.setFont(titleFont);
    laDescription.setText(msg::ToQString(msg::kDescription));
    laVersionTitle.setText(msg::ToQString(msg::kVersionTitle));
    laVersion.setText(VersionText(version));
    laCopyright.setText(msg::ToQString(msg::Copyright()));
    laEMailTitle.setText("e-mail:");
    laEMail.setText(programinfo::kSupportEmail);
    laWebTitle.setText("Web:");
    laWeb.setText(programinfo::kWebAddress);
    btnOK.setText("OK");
    btnOK.setDefault(true);
    connect(&btnOK, &QPushButton::clicked, this, &QDialog::accept);

    for (QLabel* link : {&laEMail, &laWeb}) {
        QPalette palette = link->palette();
        palette.setColor(QPalette::WindowText, palette.color(QPalette::Highlight));
        link->setPalette(palette);
        link->setCursor(Qt::PointingHandCursor);
        link->installEventFilter(this);
    }
    QAction* item_Copy = PopupMenu1.addAction(msg::ToQString(msg::item_Copy));
    item_Copy->setObjectName("item_Copy");
    connect(item_Copy, &QAction::triggered, this, &TAboutBox::item_CopyClick);

    TopPanel.setBackgroundRole(QPalette::Base);
    TopPanel.setAutoFillBackground(true);
    Bevel2.SetShape(TBevelShape::bsTopLine);
    Bevel1.SetShape(TBevelShape::bsBottomLine);
    Panel1.setFocusPolicy(Qt::StrongFocus);
    Panel1.setFocus();
    PlaceControls();
}

// Fixed places on a 350 x 206 client area; the labels size themselves to their texts, and the
// version and the links follow the width of their titles. The places suit the system font of
// eight points; where the desktop's font is wider, the dialog grows to its widest text rather
// than cut it off.
void TAboutBox::PlaceControls() {
    imgAppIcon.setGeometry(8, 8, 32, 32);
    const std::initializer_list<QLabel*> labels = {&laAppTitle, &laDescription, &laVersionTitle,
                                                   &laVersion,  &laCopyright,   &laEMailTitle,
                                                   &laEMail,    &laWebTitle,    &laWeb};
    for (QLabel* label : labels)
        label->adjustSize();
    laAppTitle.move(48, 6);
    laDescription.move(48, 26);
    laVersionTitle.move(48, 56);
    laVersion.move(laVersionTitle.x() + laVersionTitle.width() + 4, 56);
    laCopyright.move(48, 77);
    laEMailTitle.move(48, 124);
    laEMail.move(laEMailTitle.x() + laEMailTitle.width() + 5, 124);
    laWebTitle.move(48, 140);
    laWeb.move(laEMail.x(), 140);

    int width = 350;
    for (const QLabel* label : labels)
        width = std::max(width, label->x() + label->width() + imgAppIcon.x());
    setFixedSize(width, 206);
    TopPanel.setGeometry(0, 0, width, 48);
    Bevel2.setGeometry(0, 48, width, 2);
    Bevel1.setGeometry(0, 50, width, 116);
    btnOK.setGeometry(width - 80, 175, 72, 23);
    Panel1.setGeometry(180, -41, 185, 41);
    const QScreen* screen =
        parentWidget() != nullptr ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr)
        move(screen->availableGeometry().center() - rect().center());
}

// The links underline while the pointer is over them, open on a click and offer their copy
// menu on a right click.
bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    QLabel* link = watched == &laEMail ? &laEMail : watched == &laWeb ? &laWeb : nullptr;
    if (link == nullptr)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::Enter:
        case QEvent::Leave:
            SetUnderline(*link, event->type() == QEvent::Enter);
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                link == &laEMail ? laEMailClick() : laWebClick();
            break;
        case QEvent::ContextMenu:
            popupComponent_ = link;
            PopupMenu1.popup(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::laEMailClick() {
    const QString link = MailtoLink(programinfo::kSupportContact, laEMail.text(), laVersion.text());
    QDesktopServices::openUrl(QUrl(link, QUrl::TolerantMode));
    MinimizeMainWindow();
}

void TAboutBox::laWebClick() {
    QDesktopServices::openUrl(QUrl("http://" + laWeb.text(), QUrl::TolerantMode));
    MinimizeMainWindow();
}

// The desktop's mail program or browser comes to the front; the dialog stays open.
void TAboutBox::MinimizeMainWindow() {
    if (parentWidget() != nullptr)
        parentWidget()->window()->showMinimized();
}

void TAboutBox::item_CopyClick() {
    if (popupComponent_ == nullptr)
        return;
    if (popupComponent_->objectName() == "laEMail")
        QGuiApplication::clipboard()->setText(laEMail.text());
    else if (popupComponent_->objectName() == "laWeb")
        QGuiApplication::clipboard()->setText("http://" + laWeb.text() + "/");
}

}  // namespace ui
