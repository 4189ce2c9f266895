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

// The places of a 350 x 206 client area for the system font of eight points, each line placed
// below the one above it by the height of its font: with a taller desktop font the lines move
// apart instead of overlapping, and the dialog grows to its widest and lowest text rather than
// cut it off. The labels size themselves to their texts; the version and the links follow the
// width of their titles.
void TAboutBox::PlaceControls() {
    imgAppIcon.setGeometry(8, 8, 32, 32);
    const std::initializer_list<QLabel*> labels = {&laAppTitle, &laDescription, &laVersionTitle,
                                                   &laVersion,  &laCopyright,   &laEMailTitle,
                                                   &laEMail,    &laWebTitle,    &laWeb};
    for (QLabel* label : labels)
        label->adjustSize();
    const auto below = [](const QLabel& label, int gap) {
        return label.y() + label.height() + gap;
    };
    laAppTitle.move(48, 6);
    laDescription.move(48, std::max(26, below(laAppTitle, 1)));
    const int topHeight = std::max(48, below(laDescription, 6));
    const int versionTop = topHeight + 8;
    laVersionTitle.move(48, versionTop);
    laVersion.move(laVersionTitle.x() + laVersionTitle.width() + 4, versionTop);
    laCopyright.move(48, std::max(versionTop + 21, below(laVersionTitle, 8)));
    const int emailTop = std::max(laCopyright.y() + 47, below(laCopyright, 8));
    laEMailTitle.move(48, emailTop);
    laEMail.move(laEMailTitle.x() + laEMailTitle.width() + 5, emailTop);
    const int webTop = std::max(emailTop + 16, below(laEMailTitle, 3));
    laWebTitle.move(48, webTop);
    laWeb.move(laEMail.x(), webTop);

    int width = 350;
    for (const QLabel* label : labels)
        width = std::max(width, label->x() + label->width() + imgAppIcon.x());
    const int buttonHeight = std::max(23, btnOK.sizeHint().height());
    const int buttonTop = std::max(webTop + 35, below(laWebTitle, 22));
    setFixedSize(width, buttonTop + buttonHeight + 8);
    TopPanel.setGeometry(0, 0, width, topHeight);
    Bevel2.setGeometry(0, topHeight, width, 2);
    Bevel1.setGeometry(0, topHeight + 2, width, buttonTop - 11 - topHeight);
    btnOK.setGeometry(width - 80, buttonTop, 72, buttonHeight);
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
