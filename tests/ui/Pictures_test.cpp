#include "ui/Pictures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QSet>
#include <QSvgRenderer>
#include <vector>

#include "ui/ImageList.h"

namespace {

bool HasOpaquePixel(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return true;
    return false;
}

int ColourCount(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

TEST(Pictures, ToolbarBitmapFollowsSystemAndColourDepth) {
    struct Case {
        int windowsVersion, colorDepth;
        const char* name;
    };
    const std::vector<Case> cases = {
        {0, 16, "TOOLBARXP_LO"},  {0, 24, "TOOLBARXP_HI"}, {11, 32, "TOOLBARXP_HI"},
        {10, 16, "TOOLBAR2K_LO"}, {4, 32, "TOOLBAR98_HI"}, {2, 32, "TOOLBAR95_LO"},
        {9, 32, "TOOLBAR95_LO"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::ToolbarBitmapName(c.windowsVersion, c.colorDepth), c.name)
            << c.windowsVersion << " at " << c.colorDepth << " bits";
    EXPECT_EQ(ui::GetWindowsVersion(), 0);
}

TEST(Pictures, ToolbarStripsHoldFifteenDistinctPictures) {
    struct Case {
        const char* name;
        qreal ratio;
        QSize pixels;
        int maxColours;
    };
    const std::vector<Case> cases = {
        {"TOOLBARXP_HI", 1, {240, 16}, 1 << 24},
        {"TOOLBARXP_LO", 1, {240, 16}, 16},
        {"TOOLBARXP_HI", 2, {480, 32}, 1 << 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + std::to_string(c.ratio));
        const QPixmap strip = ui::LoadToolbarStrip(c.name, c.ratio);
        EXPECT_EQ(strip.size(), c.pixels);
        EXPECT_LE(ColourCount(strip.toImage()), c.maxColours);

        ui::TImageList images(16, 16);
        images.AddMasked(strip, QColor(255, 0, 255));
        ASSERT_EQ(images.Count(), 15);
        std::vector<QImage> pictures;
        for (int i = 0; i < images.Count(); ++i) {
            const QImage picture = images.Image(i).toImage();
            EXPECT_TRUE(HasOpaquePixel(picture)) << "picture " << i;
            for (int j = 0; j < i; ++j)
                EXPECT_NE(picture, pictures[j]) << "pictures " << j << " and " << i;
            pictures.push_back(picture);
        }
    }
}

TEST(Pictures, EverySvgRenders) {
    QStringList paths;
    for (const QString& folder :
         {QString(KELVANE_ICON_DIR), QString(KELVANE_ICON_DIR "/toolbar")}) {
        const QDir dir(folder);
        for (const QString& file : dir.entryList({"*.svg"}, QDir::Files))
            paths << dir.filePath(file);
    }
    EXPECT_EQ(paths.size(), 2 + 15);
    for (const QString& path : paths) {
        QSvgRenderer renderer(path);
        ASSERT_TRUE(renderer.isValid()) << path.toStdString();
        QImage image(renderer.defaultSize(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        EXPECT_TRUE(HasOpaquePixel(image)) << path.toStdString();
    }
}

// Pixels that vanish on a dark grey window.
int DarkPixels(const QPixmap& picture) {
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qAlpha(image.pixel(x, y)) > 0 && QColor(image.pixel(x, y)).lightness() < 100;
    return dark;
}

// On a dark palette the dark strokes of the view and sub-page pictures are drawn light, so they
// stay legible; on a light palette the pictures are as drawn.
TEST(Pictures, PicturesStayLegibleOnADarkPalette) {
    const QPalette before = QGuiApplication::palette();
    ui::TImageList light(16, 16);
    ui::LoadToolbarImages(light);
    QPalette dark(QColor(40, 40, 40));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    QGuiApplication::setPalette(dark);
    ui::TImageList lightened(16, 16);
    ui::LoadToolbarImages(lightened);
    QGuiApplication::setPalette(before);
    ASSERT_EQ(lightened.Count(), light.Count());
    for (const int view : {5, 6, 7, 8, 9, 10, 11, 12}) {
        EXPECT_GT(DarkPixels(light.Image(view)), 0) << view;
        EXPECT_EQ(DarkPixels(lightened.Image(view)), 0) << view;
    }
}

}  // namespace
