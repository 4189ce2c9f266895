#pragma once
// TAboutBox: the Help menu's About dialog with the program's icon, name, description, version,
// copyright and two links, the support address and the maker's web address. Clicking a link
// hands it to the desktop and minimizes the main window; right-clicking one offers to copy it.
// Made for one showing: `TAboutBox box(this); box.exec();`.

#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include "ui/OrbelCtrls.h"

namespace ui {

// A file version as the system numbers it.
struct TFileVersion {
    int major = 0;
    int minor = 0;
    int release = 0;
    int build = 0;
};

// The version this program was built as, from the project's version in CMake.
TFileVersion ProgramVersion();

// "major.minor.release.build".
QString VersionText(const TFileVersion& version);

// The link that opens a new message to the support address, its subject the product name, a
// space, "v" and the version: the contact's name and the product name with every space
// written "%20", the address in angle brackets.
QString MailtoLink(const QString& contact, const QString& address, const QString& versionText);

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr, const TFileVersion& version = ProgramVersion());

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PlaceControls();
    void laEMailClick();
    void laWebClick();
    void item_CopyClick();
    void MinimizeMainWindow();

    QWidget TopPanel{this};
    QLabel imgAppIcon{&TopPanel};
    QLabel laAppTitle{&TopPanel};
    QLabel laDescription{&TopPanel};
    TOrbelBevel Bevel2{this};
    TOrbelBevel Bevel1{this};
    QLabel laVersionTitle{this};
    QLabel laVersion{this};
    QLabel laCopyright{this};
    QLabel laEMailTitle{this};
    QLabel laEMail{this};
    QLabel laWebTitle{this};
    QLabel laWeb{this};
    QPushButton btnOK{this};
    // Out of sight above the dialog: it takes the first keyboard focus, so that no visible
    // control shows a focus mark.
    QWidget Panel1{this};
    QMenu PopupMenu1{this};
    // The link whose context menu is open.
    QPointer<QLabel> popupComponent_;
};

}  // namespace ui
