#include "ui/SettingsPage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/MsgStr.h"
#include "ui/Pictures.h"

namespace ui {

TSettingsPage::TSettingsPage(QWidget* parent) : QWidget(parent) {
    Panel6.setObjectName("Panel6");
    Panel7.setObjectName("Panel7");
    Panel8.setObjectName("Panel8");
    gbGeneral.setObjectName("gbGeneral");
    imgSettings.setObjectName("imgSettings");
    cbSortWithFolderName.setObjectName("cbSortWithFolderName");
    cbShortDateFormat.setObjectName("cbShortDateFormat");
    gbPastRuns.setObjectName("gbPastRuns");
    laPastRuns.setObjectName("laPastRuns");
    btnForgetRuns.setObjectName("btnForgetRuns");

    auto* strips = new QHBoxLayout(this);
    strips->setContentsMargins(0, 0, 0, 0);
    strips->setSpacing(0);
    Panel6.setFixedWidth(4);
    Panel8.setFixedWidth(4);
    strips->addWidget(&Panel6);
    strips->addWidget(&Panel7, 1);
    strips->addWidget(&Panel8);

    auto* column = new QVBoxLayout(&Panel7);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(&gbGeneral);
    column->addWidget(&gbPastRuns);
    column->addStretch(1);

    // The picture in a 40-pixel column at the left, the two options beside it.
    auto* grid = new QGridLayout(&gbGeneral);
    grid->setContentsMargins(10, 4, 10, 6);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);
    grid->addWidget(&imgSettings, 0, 0, 2, 1, Qt::AlignCenter);
    grid->addWidget(&cbSortWithFolderName, 0, 1);
    grid->addWidget(&cbShortDateFormat, 1, 1);
    grid->setColumnStretch(2, 1);
    gbGeneral.setMinimumHeight(66);

    // The text in line with the options above (past the picture's column and its gap, since an
    // empty column takes no gap), the button at the right.
    auto* runs = new QGridLayout(&gbPastRuns);
    runs->setContentsMargins(10, 4, 10, 6);
    runs->setHorizontalSpacing(8);
    runs->setColumnMinimumWidth(0, 32 + 8);
    runs->addWidget(&laPastRuns, 0, 1);
    runs->addWidget(&btnForgetRuns, 0, 2);
    runs->setColumnStretch(1, 1);

    gbGeneral.setTitle(msg::ToQString(msg::gbGeneral));
    cbSortWithFolderName.setText(msg::ToQString(msg::cbSortWithFolderName));
    cbShortDateFormat.setText(msg::ToQString(msg::cbShortDateFormat));
    gbPastRuns.setTitle(msg::ToQString(msg::gbPastRuns));
    btnForgetRuns.setText(msg::ToQString(msg::btnForgetRuns));
    btnForgetRuns.setStatusTip(msg::ToQString(msg::kForgetRunsHint));
    imgSettings.setFixedSize(32, 32);
    imgSettings.setPixmap(SettingsPicture().pixmap(QSize(32, 32), devicePixelRatioF()));

    connect(&cbShortDateFormat, &QCheckBox::toggled, this, &TSettingsPage::cbShortDateFormatClick);
    connect(&btnForgetRuns, &QPushButton::clicked, this, &TSettingsPage::ForgetRunsClicked);
}

void TSettingsPage::SetPastRuns(const QString& text, bool mayForget) {
    laPastRuns.setText(text);
    btnForgetRuns.setEnabled(mayForget);
}

void TSettingsPage::cbShortDateFormatClick() {
    emit ShortDateFormatChanged(cbShortDateFormat.isChecked());
}

}  // namespace ui
