#include "ui/OrbelCtrls.h"

#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <initializer_list>

namespace ui {

namespace {

// The system's line rule: a horizontal or vertical line from `from` towards `to`, the end
// point itself not painted.
void Line(QPainter& painter, QPoint from, QPoint to, const QColor& color) {
    if (from == to)
        return;
    const QPoint step((to.x() > from.x()) - (to.x() < from.x()),
                      (to.y() > from.y()) - (to.y() < from.y()));
    const QPoint last = to - step;
    painter.fillRect(QRect(QPoint(std::min(from.x(), last.x()), std::min(from.y(), last.y())),
                           QPoint(std::max(from.x(), last.x()), std::max(from.y(), last.y()))),
                     color);
}

// Each segment starts where the one before ended; only the last end point stays unpainted.
void Polyline(QPainter& painter, std::initializer_list<QPoint> points, const QColor& color) {
    const QPoint* previous = nullptr;
    for (const QPoint& point : points) {
        if (previous != nullptr)
            Line(painter, *previous, point, color);
        previous = &point;
    }
}

// (left, top, right, bottom) as the system names a rectangle: the right and bottom edges are
// coordinates of pixels, not sizes.
void BevelRect(QPainter& painter, int left, int top, int right, int bottom, const QColor& c1,
               const QColor& c2) {
    Polyline(painter, {{left, bottom}, {left, top}, {right, top}}, c1);
    Polyline(painter, {{right, top}, {right, bottom}, {left, bottom}}, c2);
}

}  // namespace

void TOrbelBevelMargins::Store(int& margin, int value) {
    if (value == margin)
        return;
    margin = std::max(value, 0);
    emit Changed();
}

TOrbelBevel::TOrbelBevel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(50, 50);
    connect(&margins_, &TOrbelBevelMargins::Changed, this, qOverload<>(&QWidget::update));
}

void TOrbelBevel::SetShape(TBevelShape shape) {
    if (shape == shape_)
        return;
    shape_ = shape;
    update();
}

void TOrbelBevel::SetStyle(TBevelStyle style) {
    if (style == style_)
        return;
    style_ = style;
    update();
}

void TOrbelBevel::paintEvent(QPaintEvent*) {
    if (shape_ == TBevelShape::bsSpacer)
        return;
    QColor c1 = palette().color(QPalette::Dark);
    QColor c2 = palette().color(QPalette::Light);
    if (style_ == TBevelStyle::bsRaised)
        std::swap(c1, c2);
    const int w = width();
    const int h = height();
    const int mL = margins_.Left();
    const int mT = margins_.Top();
    const int mR = margins_.Right();
    const int mB = margins_.Bottom();
    QPainter painter(this);
    switch (shape_) {
        case TBevelShape::bsBox:
            BevelRect(painter, mL, mT, w - 1 - mR, h - 1 - mB, c1, c2);
            break;
        case TBevelShape::bsFrame:
            BevelRect(painter, mL + 1, mT + 1, w - 1 - mR, h - 1 - mB, c2, c2);
            BevelRect(painter, mL, mT, w - 2 - mR, h - 2 - mB, c1, c1);
            break;
        case TBevelShape::bsTopLine:
            Line(painter, {mL, mT}, {w - mR, mT}, c1);
            Line(painter, {mL, mT + 1}, {w - mR, mT + 1}, c2);
            break;
        case TBevelShape::bsBottomLine:
            Line(painter, {mL, h - 2 - mB}, {w - mR, h - 2 - mB}, c1);
            Line(painter, {mL, h - 1 - mB}, {w - mR, h - 1 - mB}, c2);
            break;
        case TBevelShape::bsLeftLine:
            Line(painter, {mL, mT}, {mL, h - mB}, c1);
            Line(painter, {mL + 1, mT}, {mL + 1, h - mB}, c2);
            break;
        case TBevelShape::bsRightLine:
            Line(painter, {w - 2 - mR, mT}, {w - 2 - mR, h - mB}, c1);
            Line(painter, {w - 1 - mR, mT}, {w - 1 - mR, h - mB}, c2);
            break;
        case TBevelShape::bsSpacer:
            break;
    }
}

}  // namespace ui
