#include "ui/ParamPages.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "ui/ImageList.h"
#include "ui/MsgStr.h"
#include "ui/PageLayout.h"

namespace ui {

namespace {

// The toolbar pictures of the four sub-page buttons, in button order.
constexpr int kFirstParamsImage = 9;

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
    SetStoredParameters({});
    pcParams.setCurrentWidget(&tsDateTime);
    // Every control the options are read from; the sub-page buttons among them change none.
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        connect(button, &QAbstractButton::toggled, this, &TParameterPages::Changed);
    for (QDateTimeEdit* picker : findChildren<QDateTimeEdit*>())
        connect(picker, &QDateTimeEdit::dateTimeChanged, this, &TParameterPages::Changed);
    for (QComboBox* list : findChildren<QComboBox*>())
        connect(list, &QComboBox::currentIndexChanged, this, &TParameterPages::Changed);
    for (QSpinBox* field : findChildren<QSpinBox*>())
        connect(field, &QSpinBox::valueChanged, this, &TParameterPages::Changed);
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
    QGridLayout& grid = PageGrid(tsMultimedia);
    cbDeleteGIFExtensions.setObjectName("cbDeleteGIFExtensions");
    cbID3v1.setObjectName("cbID3v1");
    cbID3v2.setObjectName("cbID3v2");
    grid.addWidget(&cbDeleteGIFExtensions, 0, 0, 1, 2);
    grid.addWidget(&cbID3v1, 1, 0, 1, 2);
    // Which tag names the file is a detail of the renaming, so it stands under it.
    grid.addWidget(&cbID3v2, 2, 1);
    EndGrid(grid);
    cbID3v1Click();
    connect(&cbID3v1, &QCheckBox::toggled, this, &TParameterPages::cbID3v1Click);
}

void TParameterPages::ApplyCaptions() {
    btnDateTime.setText(msg::ToQString(msg::btnDateTime));
    btnAttributes.setText(msg::ToQString(msg::btnAttributes));
    btnRename.setText(msg::ToQString(msg::btnRename));
    btnMultimedia.setText(msg::ToQString(msg::btnMultimedia));

    ApplyDateCaptions();

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
    cbID3v2.setText(msg::ToQString(msg::cbID3v2));
    cbID3v2.setStatusTip(msg::ToQString(msg::kID3v2Hint));

    // A screen reader reads a control out of its place on the page: each name says the group
    // it belongs to.
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

    ReadDateOptions(options);
    return options;
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

void TParameterPages::cbID3v1Click() {
    cbID3v2.setEnabled(cbID3v1.isChecked());
}

}  // namespace ui
