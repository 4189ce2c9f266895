// The "Date and Time" sub-page of TParameterPages: one value for the three dates, a value for
// each ticked date, or, on the ticked dates, a shift, a copy of another date of the file, or a
// date the file carries; and "Do not change".

#include <QHBoxLayout>
#include <algorithm>
#include <tuple>

#include "engine/DateTime.h"
#include "ui/MsgStr.h"
#include "ui/PageLayout.h"
#include "ui/ParamPages.h"
#include "ui/PickerFormats.h"
#include "ui/PickerTyping.h"

namespace ui {

namespace {

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

// A row of controls that keeps them at their own widths, the rest of the row left empty.
QHBoxLayout& Row(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;  // owned by the grid it is added to
    row->setSpacing(4);
    for (QWidget* widget : widgets)
        row->addWidget(widget);
    row->addStretch(1);
    return *row;
}

// The three dates of a file, in the order of the list's columns.
constexpr engine::TimeField kTimeFields[] = {
    engine::TimeField::Created, engine::TimeField::Modified, engine::TimeField::Opened};

}  // namespace

void TParameterPages::BuildDateTimePage() {
    tsDateTime.setObjectName("tsDateTime");
    QGridLayout& grid = PageGrid(tsDateTime);
    // The single value's pickers stand under the option; "No&w" serves both options and
    // stands in the column of the separate times. The ways that work on the ticked dates
    // follow the boxes that tick them, each with its controls beside it; their rows reach the
    // page's right edge, so that they leave the columns of the pickers as they are.
    grid.addWidget(&rbSetSelectedDate, 0, 0, 1, 5);
    grid.addLayout(&Row({&dtpDate, &dtpTime}), 1, 1, 1, 2);
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
    grid.addLayout(&Row({&rbShiftDate, &cmbShiftSign, &seShiftDays, &seShiftHours, &seShiftMinutes,
                         &seShiftSeconds}),
                   6, 0, 1, -1);
    grid.addLayout(&Row({&rbCopyDate, &cmbCopyFrom}), 7, 0, 1, -1);
    grid.addWidget(&rbDateFromFile, 8, 0, 1, 5);
    grid.addLayout(&Row({&cbFromExif, &cbFromId3, &cbFromName}), 9, 1, 1, -1);
    grid.addWidget(&rbDoNotChangeDate, 10, 0, 1, 5);
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
                                                      {&rbShiftDate, "rbShiftDate"},
                                                      {&cmbShiftSign, "cmbShiftSign"},
                                                      {&seShiftDays, "seShiftDays"},
                                                      {&seShiftHours, "seShiftHours"},
                                                      {&seShiftMinutes, "seShiftMinutes"},
                                                      {&seShiftSeconds, "seShiftSeconds"},
                                                      {&rbCopyDate, "rbCopyDate"},
                                                      {&cmbCopyFrom, "cmbCopyFrom"},
                                                      {&rbDateFromFile, "rbDateFromFile"},
                                                      {&cbFromExif, "cbFromExif"},
                                                      {&cbFromId3, "cbFromId3"},
                                                      {&cbFromName, "cbFromName"},
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
    const std::pair<QSpinBox*, int> spans[] = {{&seShiftDays, core::kMaxShiftDays},
                                               {&seShiftHours, 23},
                                               {&seShiftMinutes, 59},
                                               {&seShiftSeconds, 59}};
    for (const auto& [field, most] : spans)
        field->setRange(0, most);
    for (int i = 0; i < 2; ++i)
        cmbShiftSign.addItem({});
    for (std::size_t i = 0; i < std::size(kTimeFields); ++i)
        cmbCopyFrom.addItem({});

    rbDoNotChangeDate.setChecked(true);
    for (QCheckBox* box : {&cbCreated, &cbModified, &cbOpened})
        box->setChecked(true);
    rbDoNotChangeDateClick();
    // The option's state decides, however it was reached: by a click or from the keyboard.
    const std::pair<QRadioButton*, void (TParameterPages::*)()> options[] = {
        {&rbSetSelectedDate, &TParameterPages::rbSetSelectedDateClick},
        {&rbSetSeparateDate, &TParameterPages::rbSetSeparateDateClick},
        {&rbShiftDate, &TParameterPages::rbShiftDateClick},
        {&rbCopyDate, &TParameterPages::rbCopyDateClick},
        {&rbDateFromFile, &TParameterPages::rbDateFromFileClick},
        {&rbDoNotChangeDate, &TParameterPages::rbDoNotChangeDateClick}};
    for (const auto& [option, click] : options) {
        connect(option, &QRadioButton::toggled, this, [this, click](bool on) {
            if (on)
                (this->*click)();
        });
    }
    connect(&btnToday, &QPushButton::clicked, this, &TParameterPages::btnTodayClick);
}

void TParameterPages::ApplyDateCaptions() {
    rbSetSelectedDate.setText(msg::ToQString(msg::rbSetSelectedDate));
    btnToday.setText(msg::ToQString(msg::btnToday));
    rbSetSeparateDate.setText(msg::ToQString(msg::rbSetSeparateDate));
    cbCreated.setText(msg::ToQString(msg::cbCreated));
    cbModified.setText(msg::ToQString(msg::cbModified));
    cbOpened.setText(msg::ToQString(msg::cbOpened));
    rbShiftDate.setText(msg::ToQString(msg::rbShiftDate));
    rbShiftDate.setStatusTip(msg::ToQString(msg::kShiftDateHint));
    cmbShiftSign.setItemText(0, msg::ToQString(msg::kShiftLater));
    cmbShiftSign.setItemData(0, msg::ToQString(msg::kLater), Qt::AccessibleTextRole);
    cmbShiftSign.setItemText(1, msg::ToQString(msg::kShiftEarlier));
    cmbShiftSign.setItemData(1, msg::ToQString(msg::kEarlier), Qt::AccessibleTextRole);
    const std::tuple<QSpinBox*, std::string_view, std::string_view> spans[] = {
        {&seShiftDays, msg::kDaysSuffix, msg::kDays},
        {&seShiftHours, msg::kHoursSuffix, msg::kHours},
        {&seShiftMinutes, msg::kMinutesSuffix, msg::kMinutes},
        {&seShiftSeconds, msg::kSecondsSuffix, msg::kSeconds}};
    const QString shift = msg::ToQString(msg::kShift);
    for (const auto& [field, suffix, part] : spans) {
        field->setSuffix(msg::ToQString(suffix));
        field->setAccessibleName(shift + " " + msg::ToQString(part));
    }
    cmbShiftSign.setAccessibleName(shift + " " + msg::ToQString(msg::kDirection));
    rbCopyDate.setText(msg::ToQString(msg::rbCopyDate));
    rbCopyDate.setStatusTip(msg::ToQString(msg::kCopyDateHint));
    for (int i = 0; i < cmbCopyFrom.count(); ++i) {
        const auto column = 3 + static_cast<std::size_t>(kTimeFields[i]);  // Created, ...
        cmbCopyFrom.setItemText(i, msg::ToQString(msg::kColumns[column]));
    }
    cmbCopyFrom.setAccessibleName(msg::ToQString(msg::kCopyFrom));
    rbDateFromFile.setText(msg::ToQString(msg::rbDateFromFile));
    rbDateFromFile.setStatusTip(msg::ToQString(msg::kDateFromFileHint));
    cbFromExif.setText(msg::ToQString(msg::cbFromExif));
    cbFromId3.setText(msg::ToQString(msg::cbFromId3));
    cbFromName.setText(msg::ToQString(msg::cbFromName));
    for (QCheckBox* box : {&cbFromExif, &cbFromId3, &cbFromName})
        box->setStatusTip(rbDateFromFile.statusTip());
    rbDoNotChangeDate.setText(msg::ToQString(msg::rbDoNotChangeDate));

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
}

engine::DateChange TParameterPages::DateChosen() const {
    using engine::DateChange;
    const std::pair<const QRadioButton*, DateChange> options[] = {
        {&rbSetSelectedDate, DateChange::SetSelected},
        {&rbSetSeparateDate, DateChange::SetSeparate},
        {&rbShiftDate, DateChange::Shift},
        {&rbCopyDate, DateChange::Copy},
        {&rbDateFromFile, DateChange::FromFile}};
    for (const auto& [option, change] : options)
        if (option->isChecked())
            return change;
    return DateChange::DoNotChange;
}

void TParameterPages::ReadDateOptions(engine::RunOptions& options) const {
    options.dateChange = DateChosen();
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
    core::ApplyStoredParameters(StoredParameters(), options);
}

core::TStoredParameters TParameterPages::StoredParameters() const {
    core::TStoredParameters stored;
    stored.shiftEarlier = cmbShiftSign.currentIndex() == 1;
    stored.shiftDays = seShiftDays.value();
    stored.shiftHours = seShiftHours.value();
    stored.shiftMinutes = seShiftMinutes.value();
    stored.shiftSeconds = seShiftSeconds.value();
    stored.copyFrom = kTimeFields[std::max(cmbCopyFrom.currentIndex(), 0)];
    stored.fromExif = cbFromExif.isChecked();
    stored.fromId3 = cbFromId3.isChecked();
    stored.fromName = cbFromName.isChecked();
    stored.id3v2 = cbID3v2.isChecked();
    return stored;
}

void TParameterPages::SetStoredParameters(const core::TStoredParameters& stored) {
    cmbShiftSign.setCurrentIndex(stored.shiftEarlier ? 1 : 0);
    seShiftDays.setValue(stored.shiftDays);
    seShiftHours.setValue(stored.shiftHours);
    seShiftMinutes.setValue(stored.shiftMinutes);
    seShiftSeconds.setValue(stored.shiftSeconds);
    cmbCopyFrom.setCurrentIndex(static_cast<int>(
        std::find(std::begin(kTimeFields), std::end(kTimeFields), stored.copyFrom) -
        std::begin(kTimeFields)));
    cbFromExif.setChecked(stored.fromExif);
    cbFromId3.setChecked(stored.fromId3);
    cbFromName.setChecked(stored.fromName);
    cbID3v2.setChecked(stored.id3v2);
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

void TParameterPages::rbSetSelectedDateClick() {
    EnableDateControls(engine::DateChange::SetSelected);
}

void TParameterPages::rbSetSeparateDateClick() {
    EnableDateControls(engine::DateChange::SetSeparate);
}

void TParameterPages::rbShiftDateClick() {
    EnableDateControls(engine::DateChange::Shift);
}

void TParameterPages::rbCopyDateClick() {
    EnableDateControls(engine::DateChange::Copy);
}

void TParameterPages::rbDateFromFileClick() {
    EnableDateControls(engine::DateChange::FromFile);
}

void TParameterPages::rbDoNotChangeDateClick() {
    EnableDateControls(engine::DateChange::DoNotChange);
}

// The check boxes of the separate values do not enable their own pickers: the option does.
void TParameterPages::EnableDateControls(engine::DateChange chosen) {
    using engine::DateChange;
    const bool one = chosen == DateChange::SetSelected;
    const bool separate = chosen == DateChange::SetSeparate;
    const bool shift = chosen == DateChange::Shift;
    const bool fromFile = chosen == DateChange::FromFile;
    const bool ticked = separate || shift || chosen == DateChange::Copy || fromFile;
    const auto enable = [](std::initializer_list<QWidget*> controls, bool enabled) {
        for (QWidget* control : controls)
            control->setEnabled(enabled);
    };
    enable({&dtpDate, &dtpTime}, one);
    enable({&btnToday}, one || separate);
    enable({&cbCreated, &cbModified, &cbOpened}, ticked);
    enable({&dtpCreatedDate, &dtpCreatedTime, &dtpModifiedDate, &dtpModifiedTime, &dtpOpenedDate},
           separate);
    enable({&cmbShiftSign, &seShiftDays, &seShiftHours, &seShiftMinutes, &seShiftSeconds}, shift);
    enable({&cmbCopyFrom}, chosen == DateChange::Copy);
    enable({&cbFromExif, &cbFromId3, &cbFromName}, fromFile);
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

}  // namespace ui
