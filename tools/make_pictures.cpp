// Writes the pad pictures, ring icons, logo and link cursor into the folder given.
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

QImage toQImage(const IndexedImage& art)
{
    QImage image(art.width, art.height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (const Rgb c : art.palette)
        table.append(qRgb(c.r, c.g, c.b));
    image.setColorTable(table);
    for (int y = 0; y < art.height; ++y)
        std::copy_n(art.pixels.begin() + static_cast<std::ptrdiff_t>(y) * art.width, art.width, image.scanLine(y));
    return image;
}

QImage handImage()
{
    QImage image(kHandSize, kHandSize, QImage::Format_Indexed8);
    image.setColorTable({qRgba(0, 0, 0, 0), qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const std::vector<HandPixel> pixels = handCursor();
    for (int y = 0; y < kHandSize; ++y)
        for (int x = 0; x < kHandSize; ++x)
            image.setPixel(x, y, static_cast<uint>(pixels[static_cast<std::size_t>(y) * kHandSize + x]));
    return image;
}

bool save(QImage image, const QString& path, const char* format, int quality = -1)
{
    // A fixed resolution (96 dpi): Qt's default depends on the platform plugin.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    if (image.save(path, format, quality))
        return true;
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

    for (int pad = 0; pad < 4; ++pad) {
        for (const bool lit : {false, true}) {
            const QString name = QString("pictures/pad%1-%2.gif").arg(pad).arg(lit ? "lit" : "unlit");
            if (!writeFile(root.filePath(name).toStdString(), encodeGif(padPicture(pad, lit)))) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
                ok = false;
            }
        }
    }

    ok = save(toQImage(ringIcon(32, kIconColourSteps)), root.filePath("icons/tolvex-32.png"), "PNG") && ok;
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

    ok = save(logoPicture(), root.filePath("pictures/logo.jpg"), "JPG", kLogoQuality) && ok;
    ok = save(handImage(), root.filePath("pictures/hand.png"), "PNG") && ok;
    return ok ? 0 : 1;
}
