#pragma once
// TImageList: pictures of one size, taken from a strip, shared by the toolbars and the status
// bar. Whoever draws from a list is told when it changes; a QPointer to it empties when the
// list is destroyed.

#include <QColor>
#include <QObject>
#include <QPixmap>
#include <vector>

namespace ui {

class TImageList : public QObject {
    Q_OBJECT
public:
    // The size of one picture, in device-independent pixels.
    TImageList(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return static_cast<int>(images_.size()); }
    const QPixmap& Image(int index) const { return images_.at(index); }

    // Cuts the strip into pictures from left to right; pixels of maskColor become transparent.
    // A strip drawn for a device pixel ratio above 1 gives pictures of that ratio.
    void AddMasked(const QPixmap& strip, const QColor& maskColor);
    void Clear();

signals:
    void Changed();

private:
    int width_;
    int height_;
    std::vector<QPixmap> images_;
};

}  // namespace ui
