#include "ui/ParamPages.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDateEdit>
#include <QStackedWidget>
#include <QTest>
#include <QTimeEdit>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/PickerFormats.h"
#include "ui/PickerTyping.h"
#include "ui/SettingsPage.h"

namespace {

using engine::EncodeDate;
using engine::EncodeTime;
using engine::RunOptions;

template <typename T = QWidget>
T& Child(QWidget& root, const std::string& name) {
    T* child = root.findChild<T*>(QString::fromStdString(name));
    if (child == nullptr)
        throw std::runtime_error("no control " + name);
    return *child;
}

QAbstractButton& Button(QWidget& root, const std::string& name) {
    return Child<QAbstractButton>(root, name);
}

const QDate kPast(2001, 2, 3);
const QTime kPastTime(4, 5, 6);
const std::vector<std::string> kDatePickers = {"dtpDate", "dtpCreatedDate", "dtpModifiedDate",
                                               "dtpOpenedDate"};
const std::vector<std::string> kTimePickers = {"dtpTime", "dtpCreatedTime", "dtpModifiedTime"};

void SetPickersToPast(QWidget& pages) {
    for (const std::string& name : kDatePickers)
        Child<QDateEdit>(pages, name).setDate(kPast);
    for (const std::string& name : kTimePickers)
        Child<QTimeEdit>(pages, name).setTime(kPastTime);
}

// Near now, allowing the clock to pass midnight or a few seconds during the test.
bool IsNow(QWidget& picker) {
    if (auto* date = qobject_cast<QDateEdit*>(&picker))
        return std::abs(date->date().daysTo(QDate::currentDate())) <= 1;
    const QTime time = qobject_cast<QTimeEdit*>(&picker)->time();
    const int seconds = std::abs(time.secsTo(QTime::currentTime()));
    return seconds <= 5 || seconds >= 86'400 - 5;
}

// Each way of setting dates enables its own controls and no others; the three boxes of the
// separate values also tick the dates that a shift, a copy or a date from the file changes.
TEST(ParameterPages, DateOptionsEnableTheirControls) {
    const std::vector<std::string> controls = {
        "dtpDate",        "dtpTime",      "btnToday",        "cbCreated",       "dtpCreatedDate",
        "dtpCreatedTime", "cbModified",   "dtpModifiedDate", "dtpModifiedTime", "cbOpened",
        "dtpOpenedDate",  "cmbShiftSign", "seShiftDays",     "seShiftHours",    "seShiftMinutes",
        "seShiftSeconds", "cmbCopyFrom",  "cbFromExif",      "cbFromId3",       "cbFromName"};
    const std::set<std::string> boxes = {"cbCreated", "cbModified", "cbOpened"};
    const auto with = [&boxes](std::set<std::string> more) {
        more.insert(boxes.begin(), boxes.end());
        return more;
    };
    struct Case {
        const char* option;  // clicked; empty: the state at start
        std::set<std::string> enabled;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"rbSetSelectedDate", {"dtpDate", "dtpTime", "btnToday"}},
        {"rbSetSeparateDate", with({"btnToday", "dtpCreatedDate", "dtpCreatedTime",
                                    "dtpModifiedDate", "dtpModifiedTime", "dtpOpenedDate"})},
        {"rbShiftDate",
         with({"cmbShiftSign", "seShiftDays", "seShiftHours", "seShiftMinutes", "seShiftSeconds"})},
        {"rbCopyDate", with({"cmbCopyFrom"})},
        {"rbDateFromFile", with({"cbFromExif", "cbFromId3", "cbFromName"})},
        {"rbDoNotChangeDate", {}},
    };
    ui::TParameterPages pages;
    EXPECT_TRUE(Button(pages, "rbDoNotChangeDate").isChecked());
    for (const Case& c : cases) {
        if (*c.option != '\0')
            Button(pages, c.option).click();
        for (const std::string& control : controls)
            EXPECT_EQ(Child(pages, control).isEnabled(), c.enabled.count(control) > 0)
                << control << " after " << c.option;
        // The boxes show their marks whether or not they can be used.
        for (const char* box :
             {"cbCreated", "cbModified", "cbOpened", "cbFromExif", "cbFromId3", "cbFromName"})
            EXPECT_TRUE(Button(pages, box).isChecked()) << box;
    }
    // A separate value's box does not disable its own pickers.
    Button(pages, "rbSetSeparateDate").click();
    Button(pages, "cbModified").click();
    EXPECT_TRUE(Child(pages, "dtpModifiedDate").isEnabled());
    EXPECT_TRUE(Child(pages, "dtpModifiedTime").isEnabled());
}

TEST(ParameterPages, AttributeBoxesFollowTheirOption) {
    struct Case {
        const char* option;
        std::vector<std::string> boxes;
        const char* checkedAtStart;
    };
    const std::vector<Case> cases = {
        {"cbRemoveAttr", {"cbRReadOnly", "cbRHidden", "cbRArchive", "cbRSystem"}, "cbRReadOnly"},
        {"cbSetAttr", {"cbReadOnly", "cbHidden", "cbArchive", "cbSystem"}, "cbArchive"},
        {"cbID3v1", {"cbID3v2"}, ""},
    };
    for (const Case& c : cases) {
        ui::TParameterPages pages;
        QAbstractButton& option = Button(pages, c.option);
        EXPECT_FALSE(option.isChecked());
        for (const bool on : {false, true, false}) {
            if (option.isChecked() != on)
                option.click();
            for (const std::string& box : c.boxes) {
                EXPECT_EQ(Button(pages, box).isEnabled(), on) << box;
                // Disabling keeps the mark.
                EXPECT_EQ(Button(pages, box).isChecked(), box == c.checkedAtStart) << box;
            }
        }
    }
}

TEST(ParameterPages, NowSetsThePickersOfTheChosenOption) {
    struct Case {
        const char* option;
        std::vector<std::string> changed;
    };
    const std::vector<Case> cases = {
        {"rbSetSelectedDate", {"dtpDate", "dtpTime"}},
        {"rbSetSeparateDate",
         {"dtpCreatedDate", "dtpModifiedDate", "dtpOpenedDate", "dtpCreatedTime",
          "dtpModifiedTime"}},
    };
    for (const Case& c : cases) {
        ui::TParameterPages pages;
        for (const std::string& name : kDatePickers)
            EXPECT_TRUE(IsNow(Child(pages, name))) << name << " at start";
        for (const std::string& name : kTimePickers)
            EXPECT_TRUE(IsNow(Child(pages, name))) << name << " at start";
        SetPickersToPast(pages);
        Button(pages, c.option).click();
        Button(pages, "cbOpened").setChecked(false);
        Button(pages, "btnToday").click();
        for (const std::string& name : kDatePickers) {
            const bool changed = std::count(c.changed.begin(), c.changed.end(), name) > 0;
            EXPECT_EQ(Child<QDateEdit>(pages, name).date() != kPast, changed) << name;
        }
        for (const std::string& name : kTimePickers) {
            const bool changed = std::count(c.changed.begin(), c.changed.end(), name) > 0;
            EXPECT_EQ(Child<QTimeEdit>(pages, name).time() != kPastTime, changed) << name;
        }
        for (const std::string& name : c.changed)
            EXPECT_TRUE(IsNow(Child(pages, name))) << name;
        EXPECT_FALSE(Button(pages, "cbOpened").isChecked());
    }
}

TEST(ParameterPages, OptionsAreReadFromTheControls) {
    struct Case {
        const char* clicked;
        std::function<bool(const RunOptions&)> holds;
    };
    const std::vector<Case> cases = {
        {"", [](const RunOptions& o) { return !engine::AsksForChange(o); }},
        {"cbRemoveAttr", [](const RunOptions& o) { return o.removeAttr && o.rReadOnly; }},
        {"cbRHidden", [](const RunOptions& o) { return o.rHidden && !o.rArchive; }},
        {"cbRArchive", [](const RunOptions& o) { return o.rArchive && !o.rSystem; }},
        {"cbRSystem", [](const RunOptions& o) { return o.rSystem; }},
        {"cbSetAttr", [](const RunOptions& o) { return o.setAttr && o.archive && !o.readOnly; }},
        {"cbReadOnly", [](const RunOptions& o) { return o.readOnly && !o.hidden; }},
        {"cbHidden", [](const RunOptions& o) { return o.hidden && !o.system; }},
        {"cbSystem", [](const RunOptions& o) { return o.system; }},
        {"cbArchive", [](const RunOptions& o) { return !o.archive; }},
        {"cbDeleteGIFExtensions", [](const RunOptions& o) { return o.deleteGIFComments; }},
        {"cbID3v1", [](const RunOptions& o) { return o.id3v1 && !o.id3v2; }},
        {"cbID3v2", [](const RunOptions& o) { return o.id3v2; }},
        {"rbNameLowerCase",
         [](const RunOptions& o) { return o.caseChange == engine::CaseChange::NameLower; }},
        {"rbExtLowerCase",
         [](const RunOptions& o) { return o.caseChange == engine::CaseChange::ExtLower; }},
        {"rbNameUpperCase",
         [](const RunOptions& o) { return o.caseChange == engine::CaseChange::NameUpper; }},
        {"rbExtUpperCase",
         [](const RunOptions& o) { return o.caseChange == engine::CaseChange::ExtUpper; }},
        {"rbNameDontChange",
         [](const RunOptions& o) { return o.caseChange == engine::CaseChange::DontChange; }},
        {"rbSetSelectedDate",
         [](const RunOptions& o) {
             return o.dateChange == engine::DateChange::SetSelected && o.created && o.modified &&
                    o.opened;
         }},
        {"rbSetSeparateDate",
         [](const RunOptions& o) { return o.dateChange == engine::DateChange::SetSeparate; }},
        {"cbCreated", [](const RunOptions& o) { return !o.created && o.modified; }},
        {"cbModified", [](const RunOptions& o) { return !o.modified && o.opened; }},
        {"cbOpened", [](const RunOptions& o) { return !o.opened; }},
        {"rbDateFromFile",
         [](const RunOptions& o) {
             return o.dateChange == engine::DateChange::FromFile && o.fromExif && o.fromId3 &&
                    o.fromName;
         }},
        {"cbFromExif", [](const RunOptions& o) { return !o.fromExif && o.fromId3 && o.fromName; }},
        {"cbFromId3", [](const RunOptions& o) { return !o.fromId3 && o.fromName; }},
        {"cbFromName", [](const RunOptions& o) { return !o.fromName; }},
        {"rbDoNotChangeDate",
         [](const RunOptions& o) { return o.dateChange == engine::DateChange::DoNotChange; }},
    };
    // The clicks add up: each case reads the options after its own click and all before it.
    ui::TParameterPages pages;
    for (const Case& c : cases) {
        if (*c.clicked != '\0')
            Button(pages, c.clicked).click();
        EXPECT_TRUE(c.holds(pages.ReadOptions())) << "after " << c.clicked;
    }

    // Each picker gives its own value, a date picker only its date and a time picker only its
    // time of day.
    const std::vector<std::pair<std::string, QDate>> dates = {
        {"dtpDate", QDate(1980, 1, 1)},
        {"dtpCreatedDate", QDate(2005, 1, 2)},
        {"dtpModifiedDate", QDate(2006, 3, 4)},
        {"dtpOpenedDate", QDate(2004, 3, 10)}};
    for (const auto& [name, date] : dates)
        Child<QDateEdit>(pages, name).setDate(date);
    const std::vector<std::pair<std::string, QTime>> times = {
        {"dtpTime", QTime(10, 15, 37)},
        {"dtpCreatedTime", QTime(0, 0, 1)},
        {"dtpModifiedTime", QTime(23, 59, 59)}};
    for (const auto& [name, time] : times)
        Child<QTimeEdit>(pages, name).setTime(time);
    const RunOptions o = pages.ReadOptions();
    EXPECT_EQ(o.date, EncodeDate(1980, 1, 1));
    EXPECT_EQ(o.createdDate, EncodeDate(2005, 1, 2));
    EXPECT_EQ(o.modifiedDate, EncodeDate(2006, 3, 4));
    EXPECT_EQ(o.openedDate, EncodeDate(2004, 3, 10));
    EXPECT_EQ(o.time, EncodeTime(10, 15, 37));
    EXPECT_EQ(o.createdTime, EncodeTime(0, 0, 1));
    EXPECT_EQ(o.modifiedTime, EncodeTime(23, 59, 59));
}

TEST(ParameterPages, SubPageButtonsChooseTheSubPage) {
    ui::TParameterPages pages;
    auto& pcParams = Child<QStackedWidget>(pages, "pcParams");
    EXPECT_EQ(pcParams.currentWidget()->objectName(), "tsDateTime");
    const std::vector<std::pair<std::string, QString>> cases = {{"btnRename", "tsRename"},
                                                                {"btnMultimedia", "tsMultimedia"},
                                                                {"btnAttributes", "tsAttributes"},
                                                                {"btnDateTime", "tsDateTime"}};
    for (const auto& [button, page] : cases) {
        Button(pages, button).click();
        EXPECT_EQ(pcParams.currentWidget()->objectName(), page) << button;
        for (const char* other : {"btnDateTime", "btnAttributes", "btnRename", "btnMultimedia"})
            EXPECT_EQ(Button(pages, other).isChecked(), other == button) << other;
    }
    // The attributes button borrows the column title.
    EXPECT_EQ(Button(pages, "btnAttributes").text(), " Attri&butes ");
}

TEST(ParameterPages, ShortDateFormatSwitchesTheFourDatePickers) {
    ui::TParameterPages pages;
    const QString timeFormat = Child<QTimeEdit>(pages, "dtpTime").displayFormat();
    for (const bool shortFormat : {true, false}) {
        pages.SetShortDateFormat(shortFormat);
        for (const std::string& name : kDatePickers)
            EXPECT_EQ(Child<QDateEdit>(pages, name).displayFormat(),
                      ui::DatePickerFormatInForce(shortFormat))
                << name;
        for (const std::string& name : kTimePickers)
            EXPECT_EQ(Child<QTimeEdit>(pages, name).displayFormat(), timeFormat) << name;
    }
    EXPECT_NE(ui::DatePickerFormatInForce(true), ui::DatePickerFormatInForce(false));
}

// A screen reader names each control with its group: the pickers after their option, the
// attribute boxes after the group they stand in.
TEST(ParameterPages, ControlsAreNamedWithTheirGroup) {
    ui::TParameterPages pages;
    const std::pair<const char*, QString> names[] = {
        {"dtpCreatedDate", "Created date"}, {"dtpCreatedTime", "Created time"},
        {"dtpTime", "One value time"},      {"cbRHidden", "Remove: Hidden"},
        {"cbHidden", "Set new: Hidden"},    {"btnAttributes", "Attributes"}};
    for (const auto& [name, accessible] : names)
        EXPECT_EQ(Child(pages, name).accessibleName(), accessible) << name;
}

TEST(PickerFormats, RegionalFormatsAsPickerFormats) {
    const std::vector<std::pair<std::string, QString>> dates = {
        {"mm/dd/yy", "MM/dd/yy"},
        {"dd.mm.yyyy", "dd.MM.yyyy"},
        {"d/m/yyyy", "d/M/yyyy"},
        {"yyyy-mm-dd", "yyyy-MM-dd"},
        {"yyyy\xE5\xB9\xB4mm\xE6\x9C\x88"
         "dd\xE6\x97\xA5",
         QString::fromUtf8("yyyy\xE5\xB9\xB4MM\xE6\x9C\x88"
                           "dd\xE6\x97\xA5")},
        {"dd h", "dd 'h'"},
    };
    for (const auto& [pattern, format] : dates)
        EXPECT_EQ(ui::PickerDateFormat(pattern), format) << pattern;

    struct TimeCase {
        bool twelve, leadingZero, amPmBefore;
        const char* format;
    };
    const std::vector<TimeCase> times = {{false, true, false, "HH:mm:ss"},
                                         {false, false, false, "H:mm:ss"},
                                         {true, false, false, "h:mm:ss AP"},
                                         {true, true, false, "hh:mm:ss AP"},
                                         {true, false, true, "AP h:mm:ss"}};
    for (const TimeCase& c : times) {
        platform::LocaleFormats formats;
        formats.twelveHourClock = c.twelve;
        formats.hourLeadingZero = c.leadingZero;
        formats.amPmBeforeTime = c.amPmBefore;
        EXPECT_EQ(ui::PickerTimeFormat(formats), c.format);
    }

    const std::pair<QString, QString> weekdays[] = {
        {"dddd, MMMM d, yyyy", "MMMM d, yyyy"},
        {"dddd, d. MMMM yyyy", "d. MMMM yyyy"},
        {"d MMMM yyyy, ddd", "d MMMM yyyy"},
        {QString::fromUtf8("yyyy\u5E74M\u6708d\u65E5dddd"),
         QString::fromUtf8("yyyy\u5E74M\u6708d\u65E5")},
        {"dd.MM.yyyy 'dddd'", "dd.MM.yyyy 'dddd'"},
    };
    for (const auto& [format, editable] : weekdays)
        EXPECT_EQ(ui::WithoutWeekday(format), editable) << format.toStdString();
}

// Each field of a picker is typed as a user types it: the year over the year, a month by the
// first letters of its name or by number, a time with its separators and AM or PM, a German
// date from its day on. A year the run refuses is refused.
TEST(ParameterPages, EveryFieldOfThePickersCanBeTyped) {
    struct Case {
        const char* picker;
        QString format;
        QLocale locale;
        QDateTimeEdit::Section from;
        const char* keys;
        QDateTime expected;
    };
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    const QDate date(2026, 12, 8);
    const QTime time(19, 5, 0);
    const Case cases[] = {
        {"dtpDate",
         "MMMM d, yyyy",
         english,
         QDateTimeEdit::YearSection,
         "2010",
         {QDate(2010, 12, 8), time}},
        {"dtpDate",
         "MMMM d, yyyy",
         english,
         QDateTimeEdit::MonthSection,
         "feb 28",
         {QDate(2026, 2, 28), time}},
        {"dtpDate",
         "MMMM d, yyyy",
         english,
         QDateTimeEdit::MonthSection,
         "10",
         {QDate(2026, 10, 8), time}},
        {"dtpDate",
         "d. MMMM yyyy",
         german,
         QDateTimeEdit::DaySection,
         "8. Februar 2010",
         {QDate(2010, 2, 8), time}},
        {"dtpDate", "MM/dd/yyyy", english, QDateTimeEdit::YearSection, "1975", {date, time}},
        {"dtpTime",
         "h:mm:ss AP",
         english,
         QDateTimeEdit::HourSection,
         "10:15:36 AM",
         {date, QTime(10, 15, 36)}},
        {"dtpTime",
         "h:mm:ss AP",
         english,
         QDateTimeEdit::HourSection,
         "7:05:00 a",
         {date, QTime(7, 5, 0)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.picker) + " " + c.keys);
        ui::TParameterPages pages;
        auto& picker = Child<QDateTimeEdit>(pages, c.picker);
        picker.setLocale(c.locale);
        picker.setDisplayFormat(c.format);
        picker.setDateTime(QDateTime(date, time));
        pages.show();
        picker.setEnabled(true);
        picker.setFocus();
        picker.setSelectedSection(c.from);
        QTest::keyClicks(&picker, c.keys);
        QTest::keyClick(&picker, Qt::Key_Tab);
        if (qobject_cast<QDateEdit*>(&picker))
            EXPECT_EQ(picker.date(), c.expected.date()) << picker.text().toStdString();
        else
            EXPECT_EQ(picker.time(), c.expected.time()) << picker.text().toStdString();
    }
}

// A picker is as wide as the longest text it shows, the long date of September 2099 included.
TEST(ParameterPages, PickersAreWideEnoughForTheirLongestText) {
    ui::TParameterPages pages;
    auto& picker = Child<QDateEdit>(pages, "dtpDate");
    picker.setDisplayFormat("MMMM d, yyyy");
    ui::FitPickerWidth(picker);
    const QString longest = picker.locale().toString(QDate(2099, 9, 28), "MMMM d, yyyy");
    EXPECT_GT(picker.minimumWidth(), picker.fontMetrics().horizontalAdvance(longest) + 16);
    picker.setDate(QDate(1979, 12, 31));
    EXPECT_EQ(picker.date(), QDate(1980, 1, 1));
}

TEST(SettingsPage, OptionsStartOffAndTheDateFormatIsAnnounced) {
    ui::TSettingsPage page;
    EXPECT_FALSE(page.SortWithFolderName());
    EXPECT_FALSE(page.ShortDateFormat());
    std::vector<bool> announced;
    QObject::connect(&page, &ui::TSettingsPage::ShortDateFormatChanged,
                     [&](bool shortFormat) { announced.push_back(shortFormat); });
    Button(page, "cbShortDateFormat").click();
    page.SetShortDateFormat(true);  // no change, nothing to announce
    page.SetShortDateFormat(false);
    page.SetSortWithFolderName(true);
    EXPECT_EQ(announced, (std::vector<bool>{true, false}));
    EXPECT_TRUE(page.SortWithFolderName());
    EXPECT_EQ(Child<QGroupBox>(page, "gbGeneral").title(), " General ");
}

}  // namespace
