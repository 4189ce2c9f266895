#include "ui/OrbelCtrls.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPalette>
#include <string>
#include <vector>

namespace {

using ui::TBevelShape;
using ui::TBevelStyle;

const QColor kShadow(0x10, 0x20, 0x30);
const QColor kHighlight(0xE0, 0xD0, 0xC0);

enum class Pen { C1, C2 };

// Pixels x1..x2, y1..y2 (both ends included) in one colour.
struct Segment {
    int x1, y1, x2, y2;
    Pen pen;
};

struct BevelCase {
    const char* name;
    TBevelShape shape;
    TBevelStyle style;
    int width, height, margin;
    // Painted in this order; a later segment covers an earlier one.
    std::vector<Segment> segments;
};

QImage Render(ui::TOrbelBevel& bevel) {
    QImage image(bevel.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    bevel.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The first pixel that differs, named; empty when the images are equal.
std::string FirstDifference(const QImage& actual, const QImage& expected) {
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y))
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
                       actual.pixelColor(x, y).name(QColor::HexArgb).toStdString() + ", expected " +
                       expected.pixelColor(x, y).name(QColor::HexArgb).toStdString();
    return "";
}

QImage Expected(const BevelCase& c) {
    const bool lowered = c.style == TBevelStyle::bsLowered;
    QImage image(c.width, c.height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (const Segment& s : c.segments) {
        const QColor color = (s.pen == Pen::C1) == lowered ? kShadow : kHighlight;
        for (int y = s.y1; y <= s.y2; ++y)
            for (int x = s.x1; x <= s.x2; ++x)
                image.setPixelColor(x, y, color);
    }
    return image;
}

TEST(OrbelBevel, PaintsExactlyThePixelsOfItsShape) {
    const std::vector<BevelCase> cases = {
        {"box",
         TBevelShape::bsBox,
         TBevelStyle::bsLowered,
         10,
         8,
         0,
         {{0, 1, 0, 7, Pen::C1},
          {0, 0, 8, 0, Pen::C1},
          {9, 0, 9, 6, Pen::C2},
          {1, 7, 9, 7, Pen::C2}}},
        {"raised box",
         TBevelShape::bsBox,
         TBevelStyle::bsRaised,
         10,
         8,
         0,
         {{0, 1, 0, 7, Pen::C1},
          {0, 0, 8, 0, Pen::C1},
          {9, 0, 9, 6, Pen::C2},
          {1, 7, 9, 7, Pen::C2}}},
        {"box with margins 3 spans 3 to 16",
         TBevelShape::bsBox,
         TBevelStyle::bsLowered,
         20,
         20,
         3,
         {{3, 4, 3, 16, Pen::C1},
          {3, 3, 15, 3, Pen::C1},
          {16, 3, 16, 15, Pen::C2},
          {4, 16, 16, 16, Pen::C2}}},
        {"frame",
         TBevelShape::bsFrame,
         TBevelStyle::bsLowered,
         10,
         8,
         0,
         {{1, 2, 1, 7, Pen::C2},
          {1, 1, 8, 1, Pen::C2},
          {9, 1, 9, 6, Pen::C2},
          {2, 7, 9, 7, Pen::C2},
          {0, 1, 0, 6, Pen::C1},
          {0, 0, 7, 0, Pen::C1},
          {8, 0, 8, 5, Pen::C1},
          {1, 6, 8, 6, Pen::C1}}},
        {"top line",
         TBevelShape::bsTopLine,
         TBevelStyle::bsLowered,
         100,
         2,
         0,
         {{0, 0, 99, 0, Pen::C1}, {0, 1, 99, 1, Pen::C2}}},
        {"bottom line",
         TBevelShape::bsBottomLine,
         TBevelStyle::bsLowered,
         10,
         8,
         0,
         {{0, 6, 9, 6, Pen::C1}, {0, 7, 9, 7, Pen::C2}}},
        {"left line",
         TBevelShape::bsLeftLine,
         TBevelStyle::bsLowered,
         10,
         8,
         0,
         {{0, 0, 0, 7, Pen::C1}, {1, 0, 1, 7, Pen::C2}}},
        {"right line",
         TBevelShape::bsRightLine,
         TBevelStyle::bsLowered,
         10,
         8,
         0,
         {{8, 0, 8, 7, Pen::C1}, {9, 0, 9, 7, Pen::C2}}},
        {"lowered spacer", TBevelShape::bsSpacer, TBevelStyle::bsLowered, 10, 8, 0, {}},
        {"raised spacer", TBevelShape::bsSpacer, TBevelStyle::bsRaised, 10, 8, 0, {}},
    };
    for (const BevelCase& c : cases) {
        SCOPED_TRACE(c.name);
        ui::TOrbelBevel bevel;
        QPalette palette = bevel.palette();
        palette.setColor(QPalette::Dark, kShadow);
        palette.setColor(QPalette::Light, kHighlight);
        bevel.setPalette(palette);
        bevel.resize(c.width, c.height);
        bevel.SetShape(c.shape);
        bevel.SetStyle(c.style);
        bevel.Margins().SetLeft(c.margin);
        bevel.Margins().SetTop(c.margin);
        bevel.Margins().SetRight(c.margin);
        bevel.Margins().SetBottom(c.margin);
        EXPECT_EQ(FirstDifference(Render(bevel), Expected(c)), "");
    }
}

TEST(OrbelBevel, NegativeMarginIsStoredAsZero) {
    ui::TOrbelBevel bevel;
    bevel.Margins().SetLeft(5);
    bevel.Margins().SetLeft(-4);
    EXPECT_EQ(bevel.Margins().Left(), 0);
}

}  // namespace
