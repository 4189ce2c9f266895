#pragma once
// TParameterPages: the content of the "Parameters" page, where the user says what a run
// changes. A row of four buttons (tbParams) chooses one of four sub-pages (pcParams, a page
// stack without tabs or frame): dates and times, attributes, letter case, multimedia. The
// controls keep their states for the program's life; a run reads them through ReadOptions.
// ParamDates.cpp holds the Date and Time sub-page.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

#include "core/StoredParameters.h"
#include "engine/RunOptions.h"

namespace ui {

class TImageList;

class TParameterPages : public QWidget {
    Q_OBJECT
public:
    // Every control with its caption and its state at start; the pickers hold the moment of
    // creation. The sub-page buttons have no pictures until SetImages.
    explicit TParameterPages(QWidget* parent = nullptr);

    // The engine's options from the controls as they stand now.
    engine::RunOptions ReadOptions() const;

    // The values the window keeps in its settings, and setting them when it opens.
    core::TStoredParameters StoredParameters() const;
    void SetStoredParameters(const core::TStoredParameters& stored);

    // The four date pickers show the locale's short date format, or its long one. Also the way
    // to show formats read again after the locale changed.
    void SetShortDateFormat(bool shortFormat);

    // Every date picker to today and every time picker to the current time, each read from the
    // clock as it is set.
    void SetDatePickersToNow();

    // The sub-page buttons take pictures 9 to 12 of the window's toolbar list, and follow it
    // when it is loaded again.
    void SetImages(const TImageList& images);

signals:
    // A control of the page changed its value (the options may have changed).
    void Changed();

private:
    void BuildParamsBar();
    void BuildDateTimePage();
    void BuildAttributesPage();
    void BuildRenamePage();
    void BuildMultimediaPage();
    void ApplyCaptions();
    void ApplyDateCaptions();
    // The date mode and values of the Date and Time sub-page into `options`.
    void ReadDateOptions(engine::RunOptions& options) const;
    void ApplyImages(const TImageList& images);

    void btnDateTimeClick();
    void btnAttributesClick();
    void btnRenameClick();
    void btnMultimediaClick();
    void rbSetSelectedDateClick();
    void rbSetSeparateDateClick();
    void rbDoNotChangeDateClick();
    void rbShiftDateClick();
    void rbCopyDateClick();
    void rbDateFromFileClick();
    void btnTodayClick();
    void cbRemoveAttrClick();
    void rbSetAttrClick();
    void cbID3v1Click();
    // The controls of the chosen way of setting dates are enabled, those of the others not;
    // the three boxes of the separate values also say which dates the ways after them change.
    void EnableDateControls(engine::DateChange chosen);
    engine::DateChange DateChosen() const;

    QToolBar tbParams{this};
    QToolButton btnDateTime;
    QToolButton btnAttributes;
    QToolButton btnRename;
    QToolButton btnMultimedia;
    QButtonGroup paramsGroup{this};
    QStackedWidget pcParams{this};

    QWidget tsDateTime;
    QRadioButton rbSetSelectedDate{&tsDateTime};
    QDateEdit dtpDate{&tsDateTime};
    QTimeEdit dtpTime{&tsDateTime};
    QPushButton btnToday{&tsDateTime};
    QRadioButton rbSetSeparateDate{&tsDateTime};
    QCheckBox cbCreated{&tsDateTime};
    QDateEdit dtpCreatedDate{&tsDateTime};
    QTimeEdit dtpCreatedTime{&tsDateTime};
    QCheckBox cbModified{&tsDateTime};
    QDateEdit dtpModifiedDate{&tsDateTime};
    QTimeEdit dtpModifiedTime{&tsDateTime};
    QCheckBox cbOpened{&tsDateTime};
    QDateEdit dtpOpenedDate{&tsDateTime};
    QRadioButton rbShiftDate{&tsDateTime};
    QComboBox cmbShiftSign{&tsDateTime};
    QSpinBox seShiftDays{&tsDateTime};
    QSpinBox seShiftHours{&tsDateTime};
    QSpinBox seShiftMinutes{&tsDateTime};
    QSpinBox seShiftSeconds{&tsDateTime};
    QRadioButton rbCopyDate{&tsDateTime};
    QComboBox cmbCopyFrom{&tsDateTime};
    QRadioButton rbDateFromFile{&tsDateTime};
    QCheckBox cbFromExif{&tsDateTime};
    QCheckBox cbFromId3{&tsDateTime};
    QCheckBox cbFromName{&tsDateTime};
    QRadioButton rbDoNotChangeDate{&tsDateTime};

    QWidget tsAttributes;
    QCheckBox cbRemoveAttr{&tsAttributes};
    QCheckBox cbRReadOnly{&tsAttributes};
    QCheckBox cbRHidden{&tsAttributes};
    QCheckBox cbRArchive{&tsAttributes};
    QCheckBox cbRSystem{&tsAttributes};
    QCheckBox cbSetAttr{&tsAttributes};
    QCheckBox cbReadOnly{&tsAttributes};
    QCheckBox cbHidden{&tsAttributes};
    QCheckBox cbArchive{&tsAttributes};
    QCheckBox cbSystem{&tsAttributes};

    QWidget tsRename;
    QRadioButton rbNameLowerCase{&tsRename};
    QRadioButton rbExtLowerCase{&tsRename};
    QRadioButton rbNameUpperCase{&tsRename};
    QRadioButton rbExtUpperCase{&tsRename};
    QRadioButton rbNameDontChange{&tsRename};

    QWidget tsMultimedia;
    QCheckBox cbDeleteGIFExtensions{&tsMultimedia};
    QCheckBox cbID3v1{&tsMultimedia};
    QCheckBox cbID3v2{&tsMultimedia};
};

}  // namespace ui
