#include "ui/ParamPages.h"

#include <QGridLayout>
#include <QVBoxLayout>
#include <tuple>

#include "engine/DateTime.h"
#include "ui/ImageList.h"
#include "ui/MsgStr.h"
#include "ui/PickerFormats.h"
#include "ui/PickerTyping.h"

namespace ui {

namespace {

// The toolbar pictures of the four sub-page buttons, in button order.
constexpr int kFirstParamsImage = 9;
// How far the controls under an option stand in from it.
constexpr int kIndent = 19;
// The years a run takes: its date check refuses any other.
constexpr int kFirstYear = 1980;
constexpr int kLastYear = 2099;

engine::TDateTime PickedDate(const QDateEdit& picker) {
    const QDate date = picker.date();
    return engine::EncodeDate(date.year(), date.month(), date.day());
}

engine::TDateTime PickedTime(const QTimeEdit& picker) {
    const QTime time = picker.time();
    return engine::EncodeTime(time.hour(), time.minute(), time.second());
}

void SetToNow(QDateEdit& picker) {
    picker.setDate(QDate::currentDate());
}

// Whole seconds: the pickers show no fraction, and a run writes none.
void SetToNow(QTimeEdit& picker) {
    const QTime now = QTime::currentTime();
    picker.setTime(QTime(now.hour(), now.minute(), now.second()));
}

// A caption as a screen reader says it: without its access key, its padding or a trailing
// colon.
QString AccessibleText(const QAbstractButton& button) {
    QString text =
        QString::fromStdString(msg::StripAmpersand(button.text().toStdString())).trimmed();
    if (text.endsWith(':'))
        text.chop(1);
    return text;
}

QGridLayout& PageGrid(QWidget& page) {
    auto* grid = new QGridLayout(&page);
    grid->setContentsMargins(5, 5, 5, 5);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    grid->setColumnMinimumWidth(0, kIndent - 5 - grid->horizontalSpacing());
    return *grid;
}

// The last row and column of a page's grid take what the controls leave over.
void EndGrid(QGridLayout& grid) {
    grid.setRowStretch(grid.rowCount(), 1);
    grid.setColumnStretch(grid.columnCount(), 1);
}

}  // namespace

TParameterPages::TParameterPages(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildParamsBar();
    layout->addWidget(&tbParams);
    pcParams.setObjectName("pcParams");
    pcParams.setFrameShape(QFrame::NoFrame);
    for (QWidget* page : {&tsDateTime, &tsAttributes, &tsRename, &tsMultimedia})
        pcParams.addWidget(page);
    layout->addWidget(&pcParams, 1);
    BuildDateTimePage();
    BuildAttributesPage();
    BuildRenamePage();
    BuildMultimediaPage();
    ApplyCaptions();
    SetShortDateFormat(false);
    SetDatePickersToNow();
    pcParams.setCurrentWidget(&tsDateTime);
    // Every control the options are read from; the sub-page buttons among them change none.
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        connect(button, &QAbstractButton::toggled, this, &TParameterPages::Changed);
    for (QDateTimeEdit* picker : findChildren<QDateTimeEdit*>())
        connect(picker, &QDateTimeEdit::dateTimeChanged, this, &TParameterPages::Changed);
}

void TParameterPages::BuildParamsBar() {
    tbParams.setObjectName("tbParams");
    tbParams.setMovable(false);
    tbParams.setFloatable(false);
    tbParams.setIconSize(QSize(16, 16));
    tbParams.setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const std::pair<QToolButton*, const char*> buttons[] = {{&btnDateTime, "btnDateTime"},
                                                            {&btnAttributes, "btnAttributes"},
                                                            {&btnRename, "btnRename"},
                                                            {&btnMultimedia, "btnMultimedia"}};
    for (const auto& [button, name] : buttons) {
        button->setObjectName(name);
        button->setCheckable(true);
        button->setAutoRaise(true);
        // They choose what the page shows, so they are reached by Tab like the page's controls.
        button->setFocusPolicy(Qt::StrongFocus);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        paramsGroup.addButton(button);
        tbParams.addWidget(button);
    }
    paramsGroup.setExclusive(true);
    btnDateTime.setChecked(true);
    connect(&btnDateTime, &QToolButton::clicked, this, &TParameterPages::btnDateTimeClick);
    connect(&btnAttributes, &QToolButton::clicked, this, &TParameterPages::btnAttributesClick);
    connect(&btnRename, &QToolButton::clicked, this, &TParameterPages::btnRenameClick);
    connect(&btnMultimedia, &QToolButton::clicked, this, &TParameterPages::btnMultimediaClick);
}

void TParameterPages::BuildDateTimePage() {
    tsDateTime.setObjectName("tsDateTime");
    QGridLayout& grid = PageGrid(tsDateTime);
    // The single value's pickers stand under the option; "No&w" serves both options and
    // stands in the column of the separate times.
    auto* single = new QHBoxLayout;
    single->setSpacing(4);
    single->addWidget(&dtpDate);
    single->addWidget(&dtpTime);
    single->addStretch(1);
    grid.addWidget(&rbSetSelectedDate, 0, 0, 1, 5);
    grid.addLayout(single, 1, 1, 1, 2);
    grid.addWidget(&btnToday, 1, 3);
    grid.addWidget(&rbSetSeparateDate, 2, 0, 1, 5);
    grid.addWidget(&cbCreated, 3, 1);
    grid.addWidget(&dtpCreatedDate, 3, 2);
    grid.addWidget(&dtpCreatedTime, 3, 3);
    grid.addWidget(&cbModified, 4, 1);
    grid.addWidget(&dtpModifiedDate, 4, 2);
    grid.addWidget(&dtpModifiedTime, 4, 3);
    grid.addWidget(&cbOpened, 5, 1);
    grid.addWidget(&dtpOpenedDate, 5, 2);
    grid.addWidget(&rbDoNotChangeDate, 6, 0, 1, 5);
    EndGrid(grid);

    const std::pair<QWidget*, const char*> names[] = {{&rbSetSelectedDate, "rbSetSelectedDate"},
                                                      {&dtpDate, "dtpDate"},
                                                      {&dtpTime, "dtpTime"},
                                                      {&btnToday, "btnToday"},
                                                      {&rbSetSeparateDate, "rbSetSeparateDate"},
                                                      {&cbCreated, "cbCreated"},
                                                      {&dtpCreatedDate, "dtpCreatedDate"},
                                                      {&dtpCreatedTime, "dtpCreatedTime"},
                                                      {&cbModified, "cbModified"},
                                                      {&dtpModifiedDate, "dtpModifiedDate"},
                                                      {&dtpModifiedTime, "dtpModifiedTime"},
                                                      {&cbOpened, "cbOpened"},
                                                      {&dtpOpenedDate, "dtpOpenedDate"},
                                                      {&rbDoNotChangeDate, "rbDoNotChangeDate"}};
    for (const auto& [widget, name] : names)
        widget->setObjectName(name);
    // The pickers take the years a run takes, and are typed into field by field.
    for (QDateEdit* picker : {&dtpDate, &dtpCreatedDate, &dtpModifiedDate, &dtpOpenedDate}) {
        picker->setCalendarPopup(true);
        picker->setDateRange(QDate(kFirstYear, 1, 1), QDate(kLastYear, 12, 31));
    }
    for (QDateTimeEdit* picker :
         std::initializer_list<QDateTimeEdit*>{&dtpDate, &dtpTime, &dtpCreatedDate, &dtpCreatedTime,
                                               &dtpModifiedDate, &dtpModifiedTime, &dtpOpenedDate})
        new TPickerTyping(*picker);  // owned by the picker

    rbDoNotChangeDate.setChecked(true);
    for (QCheckBox* box : {&cbCreated, &cbModified, &cbOpened})
        box->setChecked(true);
    rbDoNotChangeDateClick();
    // The option's state decides, however it was reached: by a click or from the keyboard.
    connect(&rbSetSelectedDate, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            rbSetSelectedDateClick();
    });
    connect(&rbSetSeparateDate, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            rbSetSeparateDateClick();
    });
    connect(&rbDoNotChangeDate, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            rbDoNotChangeDateClick();
    });
    connect(&btnToday, &QPushButton::clicked, this, &TParameterPages::btnTodayClick);
}

void TParameterPages::BuildAttributesPage() {
    tsAttributes.setObjectName("tsAttributes");
    QGridLayout& grid = PageGrid(tsAttributes);
    grid.addWidget(&cbRemoveAttr, 0, 0, 1, 3);
    grid.addWidget(&cbRReadOnly, 1, 1);
    grid.addWidget(&cbRHidden, 1, 2);
    grid.addWidget(&cbRArchive, 2, 1);
    grid.addWidget(&cbRSystem, 2, 2);
    grid.setRowMinimumHeight(3, 17);  // the gap between the two groups
    grid.addWidget(&cbSetAttr, 4, 0, 1, 3);
    grid.addWidget(&cbReadOnly, 5, 1);
    grid.addWidget(&cbHidden, 5, 2);
    grid.addWidget(&cbArchive, 6, 1);
    grid.addWidget(&cbSystem, 6, 2);
    EndGrid(grid);

    const std::pair<QWidget*, const char*> names[] = {
        {&cbRemoveAttr, "cbRemoveAttr"}, {&cbRReadOnly, "cbRReadOnly"}, {&cbRHidden, "cbRHidden"},
        {&cbRArchive, "cbRArchive"},     {&cbRSystem, "cbRSystem"},     {&cbSetAttr, "cbSetAttr"},
        {&cbReadOnly, "cbReadOnly"},     {&cbHidden, "cbHidden"},       {&cbArchive, "cbArchive"},
        {&cbSystem, "cbSystem"}};
    for (const auto& [widget, name] : names)
        widget->setObjectName(name);

    cbRReadOnly.setChecked(true);
    cbArchive.setChecked(true);
    cbRemoveAttrClick();
    rbSetAttrClick();
    connect(&cbRemoveAttr, &QCheckBox::toggled, this, &TParameterPages::cbRemoveAttrClick);
    connect(&cbSetAttr, &QCheckBox::toggled, this, &TParameterPages::rbSetAttrClick);
}

void TParameterPages::BuildRenamePage() {
    tsRename.setObjectName("tsRename");
    auto* layout = new QVBoxLayout(&tsRename);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(3);
    const std::pair<QRadioButton*, const char*> options[] = {
        {&rbNameLowerCase, "rbNameLowerCase"},
        {&rbExtLowerCase, "rbExtLowerCase"},
        {&rbNameUpperCase, "rbNameUpperCase"},
        {&rbExtUpperCase, "rbExtUpperCase"},
        {&rbNameDontChange, "rbNameDontChange"}};
    for (const auto& [option, name] : options) {
        option->setObjectName(name);
        layout->addWidget(option);
    }
    layout->addStretch(1);
    rbNameDontChange.setChecked(true);
}

void TParameterPages::BuildMultimediaPage() {
    tsMultimedia.setObjectName("tsMultimedia");
    auto* layout = new QVBoxLayout(&tsMultimedia);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(3);
    cbDeleteGIFExtensions.setObjectName("cbDeleteGIFExtensions");
    cbID3v1.setObjectName("cbID3v1");
    layout->addWidget(&cbDeleteGIFExtensions);
    layout->addWidget(&cbID3v1);
    layout->addStretch(1);
}

void TParameterPages::ApplyCaptions() {
    btnDateTime.setText(msg::ToQString(msg::btnDateTime));
    btnAttributes.setText(msg::ToQString(msg::btnAttributes));
    btnRename.setText(msg::ToQString(msg::btnRename));
    btnMultimedia.setText(msg::ToQString(msg::btnMultimedia));

    rbSetSelectedDate.setText(msg::ToQString(msg::rbSetSelectedDate));
    btnToday.setText(msg::ToQString(msg::btnToday));
    rbSetSeparateDate.setText(msg::ToQString(msg::rbSetSeparateDate));
    cbCreated.setText(msg::ToQString(msg::cbCreated));
    cbModified.setText(msg::ToQString(msg::cbModified));
    cbOpened.setText(msg::ToQString(msg::cbOpened));
    rbDoNotChangeDate.setText(msg::ToQString(msg::rbDoNotChangeDate));

    cbRemoveAttr.setText(msg::ToQString(msg::cbRemoveAttr));
    cbSetAttr.setText(msg::ToQString(msg::cbSetAttr));
    const std::pair<QCheckBox*, std::string_view> attributes[] = {
        {&cbRReadOnly, msg::cbRReadOnly}, {&cbRHidden, msg::cbRHidden},
        {&cbRArchive, msg::cbRArchive},   {&cbRSystem, msg::cbRSystem},
        {&cbReadOnly, msg::cbReadOnly},   {&cbHidden, msg::cbHidden},
        {&cbArchive, msg::cbArchive},     {&cbSystem, msg::cbSystem}};
    for (const auto& [box, caption] : attributes)
        box->setText(msg::ToQString(caption));

    rbNameLowerCase.setText(msg::ToQString(msg::rbNameLowerCase));
    rbExtLowerCase.setText(msg::ToQString(msg::rbExtLowerCase));
    rbNameUpperCase.setText(msg::ToQString(msg::rbNameUpperCase));
    rbExtUpperCase.setText(msg::ToQString(msg::rbExtUpperCase));
    rbNameDontChange.setText(msg::ToQString(msg::rbNameDontChange));

    cbDeleteGIFExtensions.setText(msg::ToQString(msg::cbDeleteGIFExtensions));
    cbID3v1.setText(msg::ToQString(msg::cbID3v1));

    // A screen reader reads a control out of its place on the page: each name says the group
    // it belongs to. A picker has no caption of its own and is named after its option.
    const QString oneValue = msg::ToQString(msg::kOneValue);
    const QString date = msg::ToQString(msg::kDate);
    const QString time = msg::ToQString(msg::kTime);
    const std::tuple<QWidget*, QString, QString> pickers[] = {
        {&dtpDate, oneValue, date},
        {&dtpTime, oneValue, time},
        {&dtpCreatedDate, AccessibleText(cbCreated), date},
        {&dtpCreatedTime, AccessibleText(cbCreated), time},
        {&dtpModifiedDate, AccessibleText(cbModified), date},
        {&dtpModifiedTime, AccessibleText(cbModified), time},
        {&dtpOpenedDate, AccessibleText(cbOpened), date}};
    for (const auto& [picker, group, part] : pickers)
        picker->setAccessibleName(group + " " + part);
    for (QCheckBox* box : {&cbRReadOnly, &cbRHidden, &cbRArchive, &cbRSystem})
        box->setAccessibleName(msg::ToQString(msg::kRemoveGroup) + ": " + AccessibleText(*box));
    for (QCheckBox* box : {&cbReadOnly, &cbHidden, &cbArchive, &cbSystem})
        box->setAccessibleName(AccessibleText(cbSetAttr) + ": " + AccessibleText(*box));
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             &btnDateTime, &btnAttributes, &btnRename, &btnMultimedia})
        button->setAccessibleName(AccessibleText(*button));
}

engine::RunOptions TParameterPages::ReadOptions() const {
    engine::RunOptions options;
    options.removeAttr = cbRemoveAttr.isChecked();
    options.rReadOnly = cbRReadOnly.isChecked();
    options.rHidden = cbRHidden.isChecked();
    options.rArchive = cbRArchive.isChecked();
    options.rSystem = cbRSystem.isChecked();

    options.setAttr = cbSetAttr.isChecked();
    options.readOnly = cbReadOnly.isChecked();
    options.hidden = cbHidden.isChecked();
    options.archive = cbArchive.isChecked();
    options.system = cbSystem.isChecked();

    options.deleteGIFComments = cbDeleteGIFExtensions.isChecked();
    options.id3v1 = cbID3v1.isChecked();
    using engine::CaseChange;
    options.caseChange = rbNameLowerCase.isChecked()   ? CaseChange::NameLower
                         : rbExtLowerCase.isChecked()  ? CaseChange::ExtLower
                         : rbNameUpperCase.isChecked() ? CaseChange::NameUpper
                         : rbExtUpperCase.isChecked()  ? CaseChange::ExtUpper
                                                       : CaseChange::DontChange;

    using engine::DateChange;
    options.dateChange = rbSetSelectedDate.isChecked()   ? DateChange::SetSelected
                         : rbSetSeparateDate.isChecked() ? DateChange::SetSeparate
                                                         : DateChange::DoNotChange;
    options.date = PickedDate(dtpDate);
    options.time = PickedTime(dtpTime);
    options.created = cbCreated.isChecked();
    options.createdDate = PickedDate(dtpCreatedDate);
    options.createdTime = PickedTime(dtpCreatedTime);
    options.modified = cbModified.isChecked();
    options.modifiedDate = PickedDate(dtpModifiedDate);
    options.modifiedTime = PickedTime(dtpModifiedTime);
    options.opened = cbOpened.isChecked();
    options.openedDate = PickedDate(dtpOpenedDate);
    return options;
}

void TParameterPages::SetShortDateFormat(bool shortFormat) {
    const QString dateFormat = DatePickerFormatInForce(shortFormat);
    for (QDateEdit* picker : {&dtpDate, &dtpCreatedDate, &dtpModifiedDate, &dtpOpenedDate}) {
        picker->setDisplayFormat(dateFormat);
        FitPickerWidth(*picker);
    }
    const QString timeFormat = TimePickerFormatInForce();
    for (QTimeEdit* picker : {&dtpTime, &dtpCreatedTime, &dtpModifiedTime}) {
        picker->setDisplayFormat(timeFormat);
        FitPickerWidth(*picker);
    }
}

void TParameterPages::SetDatePickersToNow() {
    for (QDateEdit* picker : {&dtpDate, &dtpCreatedDate, &dtpModifiedDate, &dtpOpenedDate})
        SetToNow(*picker);
    for (QTimeEdit* picker : {&dtpTime, &dtpCreatedTime, &dtpModifiedTime})
        SetToNow(*picker);
}

void TParameterPages::SetImages(const TImageList& images) {
    ApplyImages(images);
    connect(&images, &TImageList::Changed, this, [this, &images] { ApplyImages(images); });
}

void TParameterPages::ApplyImages(const TImageList& images) {
    QToolButton* const buttons[] = {&btnDateTime, &btnAttributes, &btnRename, &btnMultimedia};
    for (int i = 0; i < 4; ++i) {
        const int index = kFirstParamsImage + i;
        buttons[i]->setIcon(index < images.Count() ? QIcon(images.Image(index)) : QIcon());
    }
}

void TParameterPages::btnDateTimeClick() {
    pcParams.setCurrentWidget(&tsDateTime);
}

void TParameterPages::btnAttributesClick() {
    pcParams.setCurrentWidget(&tsAttributes);
}

void TParameterPages::btnRenameClick() {
    pcParams.setCurrentWidget(&tsRename);
}

void TParameterPages::btnMultimediaClick() {
    pcParams.setCurrentWidget(&tsMultimedia);
}

void TParameterPages::rbSetSelectedDateClick() {
    dtpDate.setEnabled(true);
    dtpTime.setEnabled(true);
    btnToday.setEnabled(true);
    EnableSeparateDates(false);
}

void TParameterPages::rbSetSeparateDateClick() {
    dtpDate.setEnabled(false);
    dtpTime.setEnabled(false);
    btnToday.setEnabled(true);
    EnableSeparateDates(true);
}

void TParameterPages::rbDoNotChangeDateClick() {
    dtpDate.setEnabled(false);
    dtpTime.setEnabled(false);
    btnToday.setEnabled(false);
    EnableSeparateDates(false);
}

// The check boxes of the separate values do not enable their own pickers: the option does.
void TParameterPages::EnableSeparateDates(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             &cbCreated, &dtpCreatedDate, &dtpCreatedTime, &cbModified, &dtpModifiedDate,
             &dtpModifiedTime, &cbOpened, &dtpOpenedDate}) {
        control->setEnabled(enabled);
    }
}

void TParameterPages::btnTodayClick() {
    if (rbSetSelectedDate.isChecked()) {
        SetToNow(dtpDate);
        SetToNow(dtpTime);
    } else if (rbSetSeparateDate.isChecked()) {
        SetToNow(dtpCreatedDate);
        SetToNow(dtpModifiedDate);
        SetToNow(dtpOpenedDate);
        SetToNow(dtpCreatedTime);
        SetToNow(dtpModifiedTime);
    }
}

void TParameterPages::cbRemoveAttrClick() {
    const bool enabled = cbRemoveAttr.isChecked();
    for (QCheckBox* box : {&cbRReadOnly, &cbRArchive, &cbRHidden, &cbRSystem})
        box->setEnabled(enabled);
}

void TParameterPages::rbSetAttrClick() {
    const bool enabled = cbSetAttr.isChecked();
    for (QCheckBox* box : {&cbArchive, &cbHidden, &cbReadOnly, &cbSystem})
        box->setEnabled(enabled);
}

}  // namespace ui
