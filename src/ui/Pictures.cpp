#include "ui/Pictures.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QScreen>

namespace ui {

namespace {

QString StyleOf(int windowsVersion) {
    switch (windowsVersion) {
        case 1:
        case 2:
        case 6:
        case 7:
        case 8:
        case 9:
            return "95";
        case 3:
        case 4:
        case 5:
            return "98";
        case 10:
            return "2K";
        default:
            return "XP";
    }
}

// On a dark palette the pictures' dark strokes vanish into the background: the light variant
// of a picture mirrors the lightness of each dark pixel and keeps its hue, so dark blue turns
// light blue and the mid and light colours stay as drawn.
QPixmap LightVariant(const QPixmap& strip, const QColor& maskColor) {
    QImage image = strip.toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb mask = maskColor.rgb() & 0xFFFFFF;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 0 || (pixel & 0xFFFFFF) == mask)
                continue;
            QColor colour = QColor::fromRgba(pixel);
            if (colour.lightness() >= 128)
                continue;
            colour.setHsl(colour.hslHue(), colour.hslSaturation(), 255 - colour.lightness(),
                          colour.alpha());
            image.setPixel(x, y, colour.rgba());
        }
    }
    QPixmap light = QPixmap::fromImage(image);
    light.setDevicePixelRatio(strip.devicePixelRatio());
    return light;
}

}  // namespace

QString ToolbarBitmapName(int windowsVersion, int colorDepth) {
    const QString style = StyleOf(windowsVersion);
    if (style == "95")
        return "TOOLBAR95_LO";
    return "TOOLBAR" + style + (colorDepth < 17 ? "_LO" : "_HI");
}

int GetWindowsVersion() {
    return 0;
}

int GetColorDepth() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->depth() : 0;
}

QPixmap LoadToolbarStrip(const QString& name, qreal devicePixelRatio) {
    const QString path = ":/bitmaps/" + name;
    if (devicePixelRatio >= 2 && name.endsWith("_HI")) {
        QPixmap strip(path + "@2x");
        if (!strip.isNull()) {
            strip.setDevicePixelRatio(2);
            return strip;
        }
    }
    return QPixmap(path);
}

void LoadToolbarImages(TImageList& images) {
    images.Clear();
    const qreal ratio = qGuiApp->devicePixelRatio();
    const QString name = ToolbarBitmapName(GetWindowsVersion(), GetColorDepth());
    const QColor magenta(255, 0, 255);
    QPixmap strip = LoadToolbarStrip(name, ratio);
    const QPalette palette = QGuiApplication::palette();
    if (!strip.isNull() && palette.color(QPalette::Window).lightness() < 128)
        strip = LightVariant(strip, magenta);
    images.AddMasked(strip, magenta);
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/icons/MAINICON-%1").arg(size), QSize(size, size));
    return icon;
}

QIcon SettingsPicture() {
    QIcon icon;
    icon.addFile(":/icons/SETTINGS-32", QSize(32, 32));
    icon.addFile(":/icons/SETTINGS-64", QSize(64, 64));
    return icon;
}

}  // namespace ui
