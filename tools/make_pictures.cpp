// Writes the pad pictures, ring icons, logo and link cursor into the folder given,
// with @2x and @3x variants of those the windows show for high-density screens.
#include "gif_writer.h"
#include "hand_art.h"
#include "logo_art.h"
#include "ring_art.h"

#include <QDir>
#include <QCoreApplication>
#include <QImage>

#include <cstdio>

using namespace tolvex::art;

namespace {

constexpr int kLogoQuality = 90;
constexpr int kIconColourSteps = 3; // 4 pads x 3 steps + black stays within 16 colours

// Device pixels per pixel of the variants; 1 is the plain file.
constexpr int kScales[] = {1, 2, 3};

// "pictures/logo.jpg" at scale 2 is "pictures/logo@2x.jpg", as Qt names them.
QString scaledName(const QString& name, int scale)
{
    if (scale == 1) return name;
    QString scaled = name;
    return scaled.insert(name.lastIndexOf('.'), QString("@%1x").arg(scale));
}

QImage toQImage(const IndexedImage& art)
{
    QImage image(art.width, art.height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (const Rgb c : art.palette) table.append(qRgb(c.r, c.g, c.b));
    image.setColorTable(table);
    for (int y = 0; y < art.height; ++y)
        std::copy_n(art.pixels.begin() + static_cast<std::ptrdiff_t>(y) * art.width, art.width, image.scanLine(y));
    return image;
}

QImage handImage(int scale)
{
    const int size = kHandSize * scale;
    QImage image(size, size, QImage::Format_Indexed8);
    image.setColorTable({qRgba(0, 0, 0, 0), qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const std::vector<HandPixel> pixels = handCursor(scale);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.setPixel(x, y, static_cast<uint>(pixels[static_cast<std::size_t>(y) * size + x]));
    return image;
}

bool save(QImage image, const QString& path, const char* format, int quality = -1)
{
    // A fixed resolution (96 dpi): Qt's default depends on the platform plugin.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    if (image.save(path, format, quality)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ASSETS_DIR\n", argv[0]);
        return 2;
    }
    // Painting on images and the image plugins need no display, nor a GUI application.
    int appArgc = 1;
    QCoreApplication app(appArgc, argv);

    const QDir root(QString::fromLocal8Bit(argv[1]));
    if (!root.mkpath("pictures") || !root.mkpath("icons")) {
        std::fprintf(stderr, "cannot create folders under %s\n", argv[1]);
        return 1;
    }
    bool ok = true;

    for (const int scale : kScales) {
        for (int pad = 0; pad < 4; ++pad) {
            for (const bool lit : {false, true}) {
                const QString name =
                    scaledName(QString("pictures/pad%1-%2.gif").arg(pad).arg(lit ? "lit" : "unlit"), scale);
                if (!writeFile(root.filePath(name).toStdString(), encodeGif(padPicture(pad, lit, scale)))) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
                    ok = false;
                }
            }
        }
    }

    // The window icon's variants keep its 16 colours; the ring scales with the size.
    for (const int scale : kScales)
        ok = save(toQImage(ringIcon(32 * scale, kIconColourSteps)),
                  root.filePath(scaledName("icons/tolvex-32.png", scale)), "PNG") &&
             ok;
    for (const int size : {48, 64, 128, 256}) {
        const QImage icon = toQImage(ringIcon(size, 0)).convertToFormat(QImage::Format_RGB32);
        ok = save(icon, root.filePath(QString("icons/tolvex-%1.png").arg(size)), "PNG") && ok;
    }
    if (!writeFile(root.filePath("icons/tolvex.svg").toStdString(), [] {
            const std::string svg = ringSvg();
            return std::vector<std::uint8_t>(svg.begin(), svg.end());
        }())) {
        std::fprintf(stderr, "cannot write icons/tolvex.svg\n");
        ok = false;
    }

    for (const int scale : kScales) {
        ok = save(logoPicture(scale), root.filePath(scaledName("pictures/logo.jpg", scale)), "JPG", kLogoQuality) && ok;
        ok = save(handImage(scale), root.filePath(scaledName("pictures/hand.png", scale)), "PNG") && ok;
    }
    return ok ? 0 : 1;
}
