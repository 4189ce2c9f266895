#include "ui/ImageList.h"

#include <QBitmap>
#include <cmath>

namespace ui {

TImageList::TImageList(int width, int height) : width_(width), height_(height) {}

void TImageList::AddMasked(const QPixmap& strip, const QColor& maskColor) {
    const qreal ratio = strip.devicePixelRatio();
    const int cellWidth = static_cast<int>(std::lround(width_ * ratio));
    const int cellHeight = static_cast<int>(std::lround(height_ * ratio));
    if (cellWidth <= 0 || strip.height() < cellHeight)
        return;
    QPixmap masked = strip;
    masked.setMask(strip.createMaskFromColor(maskColor, Qt::MaskInColor));
    for (int x = 0; x + cellWidth <= masked.width(); x += cellWidth) {
        QPixmap image = masked.copy(x, 0, cellWidth, cellHeight);
        image.setDevicePixelRatio(ratio);
        images_.push_back(image);
    }
    emit Changed();
}

void TImageList::Clear() {
    if (images_.empty())
        return;
    images_.clear();
    emit Changed();
}

}  // namespace ui
