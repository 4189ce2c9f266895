#include "ui/SBPro.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QHelpEvent>
#include <QMenu>
#include <QPainter>
#include <QSizeGrip>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolTip>
#include <algorithm>

#include "ui/ImageList.h"
#include "ui/SBProAccessible.h"

namespace ui {

namespace {

// The gap above the panels and between two of them, as the system's status bar leaves it.
constexpr int kBorder = 2;
constexpr int kMinimumHeight = 19;

}  // namespace

template <typename T>
void TStatusPanelPro::Store(T& field, const T& value) {
    if (field == value)
        return;
    field = value;
    bar_.MarkPanel(index_);
}

void TStatusPanelPro::SetAlignment(TAlignment value) {
    Store(alignment_, value);
}

void TStatusPanelPro::SetBevel(TStatusPanelBevel value) {
    Store(bevel_, value);
}

void TStatusPanelPro::SetHint(const QString& value) {
    Store(hint_, value);
}

void TStatusPanelPro::SetImageIndex(int value) {
    Store(imageIndex_, value);
}

void TStatusPanelPro::SetPopupMenu(QMenu* value) {
    popupMenu_ = value;
}

void TStatusPanelPro::SetStyle(TStatusPanelStyle value) {
    Store(style_, value);
}

void TStatusPanelPro::SetText(const QString& value) {
    if (value == text_)
        return;
    text_ = value;
    bar_.MarkPanel(index_);
    NotifyPanelTextChanged(bar_, index_);
}

void TStatusPanelPro::SetWidth(int value) {
    if (value == width_)
        return;
    width_ = value;
    bar_.LayoutPanels();
}

TStatusPanelPro& TStatusPanelsPro::Add() {
    items_.push_back(std::make_unique<TStatusPanelPro>(bar_, Count()));
    bar_.LayoutPanels();
    return *items_.back();
}

void TStatusPanelsPro::Clear() {
    items_.clear();
    bar_.currentPanel_ = -1;
    bar_.LayoutPanels();
}

TStatusBarPro::TStatusBarPro(QWidget* parent) : QWidget(parent) {
    InstallStatusBarAccessibility();
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    ApplySystemFont();
    resize(width(), sizeHint().height());
}

TStatusBarPro::~TStatusBarPro() = default;

int TStatusBarPro::ShownPanelCount() const {
    return std::min(panels_.Count(), kMaxShownPanels);
}

int TStatusBarPro::PanelsRight() const {
    return grip_ ? width() - grip_->width() : width();
}

QRect TStatusBarPro::PanelRect(int index) const {
    const int shown = ShownPanelCount();
    if (simplePanel_ || index < 0 || index >= shown)
        return {};
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += panels_[i].Width();
    const int right = index == shown - 1 ? PanelsRight() : left + panels_[index].Width();
    if (index > 0)
        left += kBorder;
    return QRect(left, kBorder, std::max(right - left, 0), height() - kBorder);
}

int TStatusBarPro::PanelAt(QPoint pos) const {
    for (int i = 0; i < ShownPanelCount(); ++i)
        if (PanelRect(i).contains(pos))
            return i;
    return -1;
}

void TStatusBarPro::SetImages(TImageList* images) {
    if (images == images_)
        return;
    if (images_)
        disconnect(images_, nullptr, this, nullptr);
    images_ = images;
    if (images_) {
        connect(images_, &TImageList::Changed, this, qOverload<>(&QWidget::update));
        connect(images_, &QObject::destroyed, this, qOverload<>(&QWidget::update));
    }
    update();
}

void TStatusBarPro::SetSimplePanel(bool value) {
    if (value == simplePanel_)
        return;
    simplePanel_ = value;
    update();
}

void TStatusBarPro::SetSimpleText(const QString& value) {
    if (value == simpleText_)
        return;
    simpleText_ = value;
    if (simplePanel_)
        update();
}

void TStatusBarPro::SetSizeGrip(bool value) {
    if (value == sizeGrip_)
        return;
    sizeGrip_ = value;
    UpdateSizeGrip();
}

void TStatusBarPro::SetUseSystemFont(bool value) {
    if (value == useSystemFont_)
        return;
    useSystemFont_ = value;
    if (useSystemFont_)
        ApplySystemFont();
}

void TStatusBarPro::ApplySystemFont() {
    setFont(QApplication::font("QStatusBar"));
}

bool TStatusBarPro::ParentFont() const {
    return !testAttribute(Qt::WA_SetFont);
}

void TStatusBarPro::SetParentFont(bool value) {
    if (value == ParentFont())
        return;
    if (value) {
        useSystemFont_ = false;
        setFont(QFont());
        return;
    }
    // Keep the font now in use as the bar's own.
    QFont own = font();
    own.setResolveMask(QFont::AllPropertiesResolved);
    setFont(own);
}

QSize TStatusBarPro::sizeHint() const {
    // Room for a line of text inside a panel's border.
    const int textHeight = fontMetrics().height() + kBorder + 4;
    return {PanelsRight(), std::max(kMinimumHeight, textHeight)};
}

void TStatusBarPro::MarkPanel(int index) {
    if (index < ShownPanelCount())
        update(PanelRect(index));
}

void TStatusBarPro::LayoutPanels() {
    update();
}

void TStatusBarPro::UpdateSizeGrip() {
    const QWidget* holder = parentWidget() != nullptr ? window() : nullptr;
    const bool resizable = holder != nullptr && holder->minimumSize() != holder->maximumSize();
    if (sizeGrip_ && resizable) {
        if (!grip_)
            grip_ = std::make_unique<QSizeGrip>(this);
        const QSize size = grip_->sizeHint();
        grip_->setGeometry(width() - size.width(), height() - size.height(), size.width(),
                           size.height());
        grip_->show();
    } else {
        grip_.reset();
    }
    update();
}

TStatusPanelPro* TStatusBarPro::CurrentPanel() {
    return currentPanel_ >= 0 && currentPanel_ < panels_.Count() ? &panels_[currentPanel_]
                                                                 : nullptr;
}

bool TStatusBarPro::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::ToolTip:
            ShowToolTip(*static_cast<QHelpEvent*>(event));
            return true;
        case QEvent::ApplicationFontChange:
            if (useSystemFont_)
                ApplySystemFont();
            break;
        case QEvent::ParentChange:
            UpdateSizeGrip();
            break;
        default:
            break;
    }
    return QWidget::event(event);
}

// The tip belongs to the panel under the pointer and hides as the pointer leaves that panel,
// so that the next tip is the next panel's.
void TStatusBarPro::ShowToolTip(const QHelpEvent& help) {
    currentPanel_ = PanelAt(help.pos());
    const TStatusPanelPro* panel = CurrentPanel();
    const QString tip = panel != nullptr && !panel->Hint().isEmpty() ? panel->Hint() : toolTip();
    const QRect area = panel != nullptr ? PanelRect(currentPanel_) : QRect(help.pos(), QSize(1, 1));
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help.globalPos(), tip, this, area);
}

void TStatusBarPro::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateSizeGrip();
}

void TStatusBarPro::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    UpdateSizeGrip();
}

void TStatusBarPro::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        currentPanel_ = PanelAt(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void TStatusBarPro::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    if (TStatusPanelPro* panel = CurrentPanel(); panel != nullptr && panel->OnClick)
        panel->OnClick(*panel);
    else if (OnClick)
        OnClick(*this);
}

void TStatusBarPro::mouseDoubleClickEvent(QMouseEvent* event) {
    QWidget::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    currentPanel_ = PanelAt(event->position().toPoint());
    if (TStatusPanelPro* panel = CurrentPanel(); panel != nullptr && panel->OnDblClick)
        panel->OnDblClick(*panel);
    else if (OnDblClick)
        OnDblClick(*this);
}

void TStatusBarPro::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse)
        currentPanel_ = PanelAt(event->pos());
    const TStatusPanelPro* panel = CurrentPanel();
    QMenu* menu =
        panel != nullptr && panel->PopupMenu() != nullptr ? panel->PopupMenu() : popupMenu_.data();
    if (menu == nullptr) {
        QWidget::contextMenuEvent(event);
        return;
    }
    menu->popup(event->globalPos());
    event->accept();
}

void TStatusBarPro::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (simplePanel_) {
        const QRect rect(0, kBorder, PanelsRight(), height() - kBorder);
        DrawText(painter, rect, rect.left() + 1, simpleText_);
        return;
    }
    for (int i = 0; i < ShownPanelCount(); ++i) {
        const QRect rect = PanelRect(i);
        if (!event->rect().intersects(rect))
            continue;
        DrawBevel(painter, rect, panels_[i].Bevel());
        painter.save();
        const QRect inside = rect.adjusted(1, 1, -1, -1);
        painter.setClipRect(inside);
        DrawPanel(painter, panels_[i], inside);
        painter.restore();
    }
}

// Through the current style, so that the panels look like every other sunken or raised frame
// of the desktop.
void TStatusBarPro::DrawBevel(QPainter& painter, const QRect& rect, TStatusPanelBevel bevel) const {
    if (bevel == TStatusPanelBevel::pbNone)
        return;
    QStyleOptionFrame option;
    option.initFrom(this);
    option.rect = rect;
    option.lineWidth = 1;
    option.midLineWidth = 0;
    option.frameShape = QFrame::Panel;
    option.state |=
        bevel == TStatusPanelBevel::pbLowered ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawControl(QStyle::CE_ShapedFrame, &option, &painter, this);
}

void TStatusBarPro::DrawPanel(QPainter& painter, TStatusPanelPro& panel, const QRect& rect) {
    if (panel.Style() == TStatusPanelStyle::psOwnerDraw && OnDrawPanel) {
        OnDrawPanel(*this, panel, painter, rect);
        return;
    }
    const bool hasImage =
        images_ && panel.ImageIndex() >= 0 && panel.ImageIndex() < images_->Count();
    const int imageWidth = hasImage ? images_->Width() : 0;
    const int textWidth = fontMetrics().horizontalAdvance(panel.Text());
    int x = rect.left() + 1;
    if (panel.Alignment() == TAlignment::taRightJustify)
        x = rect.left() + rect.width() - imageWidth - 1;
    else if (panel.Alignment() == TAlignment::taCenter)
        x = rect.left() + (rect.width() - imageWidth - textWidth) / 2;
    painter.fillRect(rect, palette().brush(backgroundRole()));
    if (hasImage) {
        painter.drawPixmap(x, rect.top() + (rect.height() - images_->Height()) / 2,
                           images_->Image(panel.ImageIndex()));
        x += panel.Alignment() == TAlignment::taRightJustify ? -2 : imageWidth + 2;
    }
    if (panel.Alignment() == TAlignment::taRightJustify)
        x -= textWidth;
    DrawText(painter, rect, x, panel.Text());
}

// Text at x, centred in the height of the rectangle by the height of a line.
void TStatusBarPro::DrawText(QPainter& painter, const QRect& rect, int x,
                             const QString& text) const {
    const QFontMetrics metrics = fontMetrics();
    const int top = rect.top() + (rect.height() - metrics.height()) / 2;
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(QPoint(x, top + metrics.ascent()), text);
}

}  // namespace ui
