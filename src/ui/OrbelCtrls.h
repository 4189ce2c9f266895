#pragma once
// TOrbelBevel: an etched line or frame, inset from its bounds by four margins, or an empty gap
// that only takes up space. It takes no input and fills nothing: the parent shows through.

#include <QObject>
#include <QWidget>

namespace ui {

enum class TBevelShape {
    bsBox,
    bsFrame,
    bsTopLine,
    bsBottomLine,
    bsLeftLine,
    bsRightLine,
    bsSpacer
};
enum class TBevelStyle { bsLowered, bsRaised };

// The four insets of one bevel; never negative.
class TOrbelBevelMargins : public QObject {
    Q_OBJECT
public:
    int Bottom() const { return bottom_; }
    int Left() const { return left_; }
    int Right() const { return right_; }
    int Top() const { return top_; }
    // A different value is stored, 0 in place of a negative one, and Changed is sent.
    void SetBottom(int value) { Store(bottom_, value); }
    void SetLeft(int value) { Store(left_, value); }
    void SetRight(int value) { Store(right_, value); }
    void SetTop(int value) { Store(top_, value); }

signals:
    void Changed();

private:
    void Store(int& margin, int value);

    int bottom_ = 0;
    int left_ = 0;
    int right_ = 0;
    int top_ = 0;
};

class TOrbelBevel : public QWidget {
    Q_OBJECT
public:
    // 50 x 50, margins 0, bsBox, bsLowered.
    explicit TOrbelBevel(QWidget* parent = nullptr);

    TOrbelBevelMargins& Margins() { return margins_; }
    TBevelShape Shape() const { return shape_; }
    TBevelStyle Style() const { return style_; }
    // Setting the value it already has does not repaint.
    void SetShape(TBevelShape shape);
    void SetStyle(TBevelStyle style);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TOrbelBevelMargins margins_;
    TBevelShape shape_ = TBevelShape::bsBox;
    TBevelStyle style_ = TBevelStyle::bsLowered;
};

}  // namespace ui
