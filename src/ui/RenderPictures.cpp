// Build-time tool: renders the program's SVG pictures into the bitmaps it carries.
//
//   kelvane-render-pictures strip HI.png LO.png HI2X.png SVG...
//       the toolbar strip: one 16 x 16 cell per SVG, side by side, magenta where the picture is
//       transparent; the 16-colour strip derived from it; the 32 x 32 cells for 2x screens
//   kelvane-render-pictures png SVG SIZE OUT.png
//       one square picture with its transparency kept
//
// Exits 1 (and the build fails) when an SVG cannot be read or a file cannot be written.

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>
#include <array>
#include <cstdio>
#include <limits>
#include <optional>

namespace {

constexpr QRgb kMagenta = qRgb(255, 0, 255);
constexpr int kCell = 16;

// The sixteen colours every display can show; magenta is one of them, so the transparent
// colour survives the reduction.
constexpr std::array<QRgb, 16> kLowColours = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};

std::optional<QImage> Render(const QString& svgPath, int size) {
    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "kelvane-render-pictures: %s: not a valid SVG\n", qPrintable(svgPath));
        return std::nullopt;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// A colour-keyed bitmap has no partial transparency: a pixel at least half covered keeps its
// colour, the rest become magenta.
QRgb Keyed(QRgb pixel) {
    return qAlpha(pixel) >= 128 ? qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel)) : kMagenta;
}

int NearestLowColour(QRgb pixel) {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < static_cast<int>(kLowColours.size()); ++i) {
        const int dr = qRed(pixel) - qRed(kLowColours[i]);
        const int dg = qGreen(pixel) - qGreen(kLowColours[i]);
        const int db = qBlue(pixel) - qBlue(kLowColours[i]);
        // Weighted as the eye weighs the three primaries.
        const int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

std::optional<QImage> Strip(const QStringList& svgPaths, int cell) {
    QImage strip(cell * static_cast<int>(svgPaths.size()), cell, QImage::Format_RGB32);
    for (int index = 0; index < svgPaths.size(); ++index) {
        const std::optional<QImage> picture = Render(svgPaths[index], cell);
        if (!picture)
            return std::nullopt;
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x)
                strip.setPixel(index * cell + x, y, Keyed(picture->pixel(x, y)));
    }
    return strip;
}

QImage LowColour(const QImage& strip) {
    QImage low(strip.size(), QImage::Format_Indexed8);
    low.setColorTable(QList<QRgb>(kLowColours.begin(), kLowColours.end()));
    for (int y = 0; y < strip.height(); ++y)
        for (int x = 0; x < strip.width(); ++x)
            low.setPixel(x, y, NearestLowColour(strip.pixel(x, y)));
    return low;
}

bool Save(const QImage& image, const QString& path) {
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "kelvane-render-pictures: cannot write %s\n", qPrintable(path));
    return false;
}

int RenderStrip(const QStringList& args) {
    const QStringList svgPaths = args.mid(3);
    const std::optional<QImage> high = Strip(svgPaths, kCell);
    const std::optional<QImage> high2x = Strip(svgPaths, 2 * kCell);
    if (!high || !high2x)
        return 1;
    const bool saved =
        Save(*high, args[0]) && Save(LowColour(*high), args[1]) && Save(*high2x, args[2]);
    return saved ? 0 : 1;
}

int RenderPng(const QStringList& args) {
    bool isNumber = false;
    const int size = args[1].toInt(&isNumber);
    if (!isNumber || size <= 0)
        return 1;
    const std::optional<QImage> picture = Render(args[0], size);
    return picture && Save(*picture, args[2]) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QString mode = args.isEmpty() ? QString() : args.takeFirst();
    if (mode == "strip" && args.size() > 3)
        return RenderStrip(args);
    if (mode == "png" && args.size() == 3)
        return RenderPng(args);
    std::fprintf(stderr,
                 "usage: kelvane-render-pictures strip HI.png LO.png HI2X.png SVG...\n"
                 "       kelvane-render-pictures png SVG SIZE OUT.png\n");
    return 1;
}
