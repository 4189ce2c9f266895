#pragma once
// TParameterPages: the content of the "Parameters" page, where the user says what a run
// changes. A row of four buttons (tbParams) chooses one of four sub-pages (pcParams, a page
// stack without tabs or frame): dates and times, attributes, letter case, multimedia. The
// controls keep their states for the program's life; a run reads them through ReadOptions.

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

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
    void ApplyImages(const TImageList& images);

    void btnDateTimeClick();
    void btnAttributesClick();
    void btnRenameClick();
    void btnMultimediaClick();
    void rbSetSelectedDateClick();
    void rbSetSeparateDateClick();
    void rbDoNotChangeDateClick();
    void btnTodayClick();
    void cbRemoveAttrClick();
    void rbSetAttrClick();
    // The eight controls of the separate values, in their order on the page.
    void EnableSeparateDates(bool enabled);

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
};

}  // namespace ui
