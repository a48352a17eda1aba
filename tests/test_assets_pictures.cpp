// The committed pictures: sizes, colours, and the ring the four pads make on the board.
#include "gif_writer.h"
#include "pads.h"
#include "picture_checks.h"
#include "ring_art.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QSet>

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

using tolvex::testing::mixedBlocks;

const QString kAssets = QStringLiteral(TOLVEX_ASSETS_DIR);

using tolvex::testing::kPads;
using tolvex::testing::PadFacts;

constexpr int kTwips = tolvex::testing::kTwipsPerPixel;
constexpr double kCentreX = 2880.0 / kTwips; // board centre in pixels
constexpr double kCentreY = 2850.0 / kTwips;

int px(int twips) { return static_cast<int>(std::lround(double(twips) / kTwips)); }

QImage readPicture(const QString& relative, const QByteArray& format)
{
    QImageReader reader(kAssets + "/" + relative);
    EXPECT_EQ(reader.format(), format) << relative.toStdString();
    QImage image = reader.read();
    EXPECT_FALSE(image.isNull()) << relative.toStdString() << ": " << reader.errorString().toStdString();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QString padFile(int pad, bool lit)
{
    return QStringLiteral("pictures/pad%1-%2.gif").arg(pad).arg(lit ? "lit" : "unlit");
}

// A point of the board at radius r and angle a (degrees, counter-clockwise from east).
QPoint boardPoint(double r, double degrees)
{
    const double a = degrees * M_PI / 180.0;
    return {static_cast<int>(std::floor(kCentreX + r * std::cos(a))),
            static_cast<int>(std::floor(kCentreY - r * std::sin(a)))};
}

// Unlit pads on the black board, Image1 stacking from the back: 2, 3, 1, 0.
QImage assembledBoard()
{
    QImage board(tolvex::testing::kClientWidth, tolvex::testing::kClientHeight, QImage::Format_ARGB32);
    board.fill(Qt::black);
    QPainter painter(&board);
    for (int pad : {2, 3, 1, 0})
        painter.drawImage(QPoint(px(kPads[pad].unlitLeft), px(kPads[pad].unlitTop)),
                          readPicture(padFile(pad, false), "gif"));
    return board;
}

std::string hex(QRgb c) { return QString::number(c & 0xFFFFFF, 16).rightJustified(6, '0').toStdString(); }

// Pixels of a decoded pad picture other than the opaque colour drawn there.
int pixelsUnlikeDrawn(const QImage& image, int pad, bool lit, int scale)
{
    const tolvex::art::IndexedImage drawn = tolvex::art::padPicture(pad, lit, scale);
    EXPECT_LE(drawn.palette.size(), 256u);
    EXPECT_EQ(image.size(), QSize(drawn.width, drawn.height));
    int wrong = 0;
    for (int y = 0; y < drawn.height; ++y)
        for (int x = 0; x < drawn.width; ++x) {
            const auto& p = drawn.palette[drawn.pixels[static_cast<std::size_t>(y) * drawn.width + x]];
            wrong += image.pixel(x, y) != qRgb(p.r, p.g, p.b);
        }
    return wrong;
}

class PadPicture : public ::testing::TestWithParam<std::tuple<int, bool>> {};

// Each pad picture is a GIF of its exact size, black in the corners, the pad's exact colour mid-quarter,
// and decodes to exactly what was drawn.
TEST_P(PadPicture, hasExactSizeBlackCornersAndTableColourInTheMiddleOfItsQuarter)
{
    const auto [pad, lit] = GetParam();
    const PadFacts& c = kPads[pad];
    const QImage image = readPicture(padFile(pad, lit), "gif");
    ASSERT_EQ(image.size(), QSize(c.width, c.height));

    for (const QPoint corner :
         {QPoint(0, 0), QPoint(c.width - 1, 0), QPoint(0, c.height - 1), QPoint(c.width - 1, c.height - 1)})
        EXPECT_EQ(hex(image.pixel(corner)), hex(qRgb(0, 0, 0))) << "corner " << corner.x() << "," << corner.y();

    // The quarter's middle: radius 125 px from the board centre, on the quarter's diagonal.
    const double localCx = kCentreX - c.unlitLeft / double(kTwips);
    const double localCy = kCentreY - c.unlitTop / double(kTwips);
    const QRgb expected = lit ? c.lit : c.unlit;
    for (const double r : {100.0, 125.0, 150.0}) {
        for (const double degrees : {30.0, 45.0, 60.0}) {
            const double a = degrees * M_PI / 180.0;
            const QPoint p(static_cast<int>(localCx + c.signX * r * std::cos(a)),
                           static_cast<int>(localCy + c.signY * r * std::sin(a)));
            EXPECT_EQ(hex(image.pixel(p)), hex(expected)) << "r " << r << " angle " << degrees;
        }
    }
    EXPECT_EQ(pixelsUnlikeDrawn(image, pad, lit, 1), 0) << "decoded against drawn";
}

INSTANTIATE_TEST_SUITE_P(AllPads, PadPicture, ::testing::Combine(::testing::Values(0, 1, 2, 3), ::testing::Bool()),
                         [](const auto& info) {
                             return "pad" + std::to_string(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) ? "Lit" : "Unlit");
                         });

// Laid at their places, the four unlit pads make a ring around a black hole, with black gaps and surroundings.
TEST(PadRing, unlitPadsAtTheirPlacesFormARingAroundABlackCentre)
{
    const QImage board = assembledBoard();
    EXPECT_EQ(hex(board.pixel(boardPoint(0, 0))), hex(qRgb(0, 0, 0))) << "centre";
    for (double degrees = 0; degrees < 360; degrees += 15) {
        EXPECT_EQ(hex(board.pixel(boardPoint(40, degrees))), hex(qRgb(0, 0, 0))) << "hole at " << degrees;
        EXPECT_EQ(hex(board.pixel(boardPoint(68, degrees))), hex(qRgb(0, 0, 0))) << "hole edge at " << degrees;
        EXPECT_EQ(hex(board.pixel(boardPoint(182, degrees))), hex(qRgb(0, 0, 0))) << "outside at " << degrees;
    }
    // Quarters counter-clockwise from east: yellow (pad 1), green (0), red (3), blue (2).
    const std::array<int, 4> padOfQuadrant = {1, 0, 3, 2};
    for (int q = 0; q < 4; ++q)
        for (const double r : {85.0, 125.0, 160.0})
            for (const double d : {15.0, 45.0, 75.0})
                EXPECT_EQ(hex(board.pixel(boardPoint(r, q * 90 + d))), hex(kPads[padOfQuadrant[q]].unlit))
                    << "radius " << r << " angle " << q * 90 + d;
}

// The quarters are parted by thin black gaps along the two axes through the centre.
TEST(PadRing, neighbouringQuartersArePartedByThinBlackGaps)
{
    const QImage board = assembledBoard();
    for (double r = 80; r <= 170; r += 10) {
        for (int axis = 0; axis < 4; ++axis) {
            const QPoint p = boardPoint(r, axis * 90.0);
            EXPECT_EQ(hex(board.pixel(p)), hex(qRgb(0, 0, 0))) << "gap at radius " << r << ", axis " << axis * 90;
        }
    }
    // ...and thin: colour again a few pixels off the axis.
    for (int axis = 0; axis < 4; ++axis) {
        const double a = axis * M_PI / 2;
        for (const int side : {-1, 1}) {
            const QPointF off(-std::sin(a) * side * 5, -std::cos(a) * side * 5);
            const QPointF on(kCentreX + 125 * std::cos(a), kCentreY - 125 * std::sin(a));
            EXPECT_NE(hex(board.pixel((on + off).toPoint())), hex(qRgb(0, 0, 0)))
                << "axis " << axis * 90 << " side " << side;
        }
    }
}

// Of a picture's coloured pixels: their mean luma, and how far their centroid
// lies from the board centre with the picture at `place`.
struct ColouredPart {
    double meanLuma, centroidDistance;
};

ColouredPart colouredPart(const QImage& image, QPoint place)
{
    double sum = 0, sx = 0, sy = 0, n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0) {
                sum += qGray(image.pixel(x, y));
                sx += x + place.x();
                sy += y + place.y();
                n += 1;
            }
    return {sum / n, std::hypot(sx / n - kCentreX, sy / n - kCentreY)};
}

// At its place a lit pad is brighter and sits nearer the centre than its unlit picture: pressed in.
TEST(PadRing, litPadIsBrighterAndNearerTheCentre)
{
    for (int pad = 0; pad < 4; ++pad) {
        const PadFacts& c = kPads[pad];
        const ColouredPart unlit =
            colouredPart(readPicture(padFile(pad, false), "gif"), {px(c.unlitLeft), px(c.unlitTop)});
        const ColouredPart lit = colouredPart(readPicture(padFile(pad, true), "gif"), {px(c.litLeft), px(c.litTop)});
        EXPECT_GT(lit.meanLuma, unlit.meanLuma + 40) << "pad " << pad;
        EXPECT_LT(lit.centroidDistance, unlit.centroidDistance - 0.5) << "pad " << pad;
    }
}

QSet<QRgb> coloursOf(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
    return colours;
}

// The ring on a square icon: black at the centre, each pad's lit colour in
// its quarter `q` pixels in from the sides.
void expectRingIcon(const QImage& icon, int q, const std::string& what)
{
    const int size = icon.width();
    EXPECT_EQ(hex(icon.pixel(size / 2, size / 2)), hex(qRgb(0, 0, 0))) << what << ": black centre";
    // Green top left, yellow top right, blue bottom right, red bottom left.
    EXPECT_EQ(hex(icon.pixel(q, q)), hex(kPads[0].lit)) << what;
    EXPECT_EQ(hex(icon.pixel(size - 1 - q, q)), hex(kPads[1].lit)) << what;
    EXPECT_EQ(hex(icon.pixel(size - 1 - q, size - 1 - q)), hex(kPads[2].lit)) << what;
    EXPECT_EQ(hex(icon.pixel(q, size - 1 - q)), hex(kPads[3].lit)) << what;
}

// The window icon is a 32 x 32 paletted picture of at most 16 colours: the four quarters on black.
TEST(RingIcon, smallIconIsIndexedWithAtMostSixteenColours)
{
    QImageReader reader(kAssets + "/icons/tolvex-32.png");
    const QImage raw = reader.read();
    ASSERT_FALSE(raw.isNull());
    EXPECT_EQ(raw.format(), QImage::Format_Indexed8);
    EXPECT_LE(raw.colorCount(), 16);
    const QImage icon = raw.convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(icon.size(), QSize(32, 32));
    EXPECT_LE(coloursOf(icon).size(), 16);
    EXPECT_EQ(hex(icon.pixel(0, 0)), hex(qRgb(0, 0, 0))) << "black ground";
    expectRingIcon(icon, 7, "tolvex-32.png");
}

// The larger renders show the same ring at their own size.
TEST(RingIcon, largerIconsShowTheSameRing)
{
    for (const int size : {48, 64, 128, 256}) {
        const QImage icon = readPicture(QStringLiteral("icons/tolvex-%1.png").arg(size), "png");
        ASSERT_EQ(icon.size(), QSize(size, size));
        expectRingIcon(icon, size * 7 / 32, std::to_string(size));
    }
    QFile svg(kAssets + "/icons/tolvex.svg");
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray text = svg.readAll();
    EXPECT_TRUE(text.startsWith("<svg"));
    EXPECT_EQ(text.count("<path"), 4);
}

// The about window's logo is a JPEG of 230 x 229 pixels on black.
TEST(Logo, isJpegOfItsExactSize)
{
    const QImage logo = readPicture("pictures/logo.jpg", "jpeg");
    ASSERT_EQ(logo.size(), QSize(230, 229));
    EXPECT_LT(qGray(logo.pixel(2, 2)), 16);
    EXPECT_LT(qGray(logo.pixel(227, 2)), 16);
}

// The link cursor's pixels by colour, and whether one is opaque in the top
// left 3 x 3 of each 32 (the fingertip at the hot spot); any colour but
// black, white and clear is a failure.
struct HandInk {
    int black = 0, white = 0, clear = 0;
    bool tipNearHotSpot = false;
};

HandInk countHandInk(const QImage& hand, const std::string& name)
{
    HandInk ink;
    const int tip = 3 * (hand.width() / 32);
    for (int y = 0; y < hand.height(); ++y) {
        for (int x = 0; x < hand.width(); ++x) {
            const QRgb c = hand.pixel(x, y);
            if (x < tip && y < tip) ink.tipNearHotSpot = ink.tipNearHotSpot || qAlpha(c) == 255;
            if (qAlpha(c) == 0)
                ++ink.clear;
            else if (c == qRgb(0, 0, 0))
                ++ink.black;
            else if (c == qRgb(255, 255, 255))
                ++ink.white;
            else
                ADD_FAILURE() << name << " pixel " << x << "," << y << " is " << std::hex << c;
        }
    }
    return ink;
}

// The link cursor: 32 x 32, black and white on transparent, fingertip at the hot spot (0, 0).
TEST(HandCursor, isTwoColourHandWithFingertipAtTopLeft)
{
    const QImage hand = readPicture("pictures/hand.png", "png");
    ASSERT_EQ(hand.size(), QSize(32, 32));
    const auto [black, white, clear, tipNearHotSpot] = countHandInk(hand, "hand.png");
    EXPECT_GT(black, 50);
    EXPECT_GT(white, 100);
    EXPECT_GT(clear, 100);
    EXPECT_TRUE(tipNearHotSpot);
}

// Everything the windows load is compiled in under its resource path.
TEST(Resources, everyPictureIsReachableUnderItsResourcePath)
{
    QStringList paths = {":/pictures/logo.jpg", ":/pictures/hand.png", ":/icons/tolvex-32.png"};
    for (int pad = 0; pad < 4; ++pad)
        for (const bool lit : {false, true}) paths << ":/" + padFile(pad, lit);
    for (const QString& path : paths) {
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
        EXPECT_FALSE(QImage(path).isNull()) << path.toStdString();
    }
}

// High-density variants: "x.gif" at 2 is "x@2x.gif".
QString scaledFile(const QString& name, int scale)
{
    QString scaled = name;
    return scaled.insert(name.lastIndexOf('.'), QStringLiteral("@%1x").arg(scale));
}

// Mean difference per channel between a variant shrunk by averaging its
// blocks and the plain picture: small when both show the same drawing.
double differenceFromPlain(const QImage& variant, const QImage& plain, int scale)
{
    EXPECT_EQ(variant.size(), plain.size() * scale);
    double diff = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x) {
            int r = 0, g = 0, b = 0;
            for (int dy = 0; dy < scale; ++dy)
                for (int dx = 0; dx < scale; ++dx) {
                    const QRgb c = variant.pixel(x * scale + dx, y * scale + dy);
                    r += qRed(c);
                    g += qGreen(c);
                    b += qBlue(c);
                }
            const int n = scale * scale;
            const QRgb p = plain.pixel(x, y);
            diff += std::abs(double(r) / n - qRed(p)) + std::abs(double(g) / n - qGreen(p)) +
                    std::abs(double(b) / n - qBlue(p));
        }
    return diff / (3.0 * plain.width() * plain.height());
}

class PadVariant : public ::testing::TestWithParam<std::tuple<int, bool, int>> {};

// The 2x and 3x pad pictures are GIFs of the same drawing with more pixels:
// their colours fit a GIF palette and they decode to exactly what was drawn.
TEST_P(PadVariant, isTheSameDrawingWithMorePixels)
{
    const auto [pad, lit, scale] = GetParam();
    const PadFacts& c = kPads[pad];
    const QString name = scaledFile(padFile(pad, lit), scale);
    const QImage image = readPicture(name, "gif");
    ASSERT_EQ(image.size(), QSize(c.width, c.height) * scale);

    EXPECT_EQ(pixelsUnlikeDrawn(image, pad, lit, scale), 0) << name.toStdString();

    const QImage plain = readPicture(padFile(pad, lit), "gif");
    EXPECT_LT(differenceFromPlain(image, plain, scale), 0.5) << name.toStdString();
    // Its rim's outer edge alone crosses some 270 blocks.
    EXPECT_GT(mixedBlocks(image, scale), 300) << name.toStdString();
    EXPECT_EQ(mixedBlocks(plain.scaled(plain.size() * scale), scale), 0) << "the check itself";
    EXPECT_EQ(hex(image.pixel(image.width() / 2, image.height() / 2)), hex(lit ? c.lit : c.unlit));
}

INSTANTIATE_TEST_SUITE_P(AllPads, PadVariant,
                         ::testing::Combine(::testing::Values(0, 1, 2, 3), ::testing::Bool(), ::testing::Values(2, 3)),
                         [](const auto& info) {
                             return "pad" + std::to_string(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) ? "Lit" : "Unlit") + "At" +
                                    std::to_string(std::get<2>(info.param)) + "x";
                         });

// The window icon's variants keep its 16 colours and show the same ring.
TEST(RingIcon, variantsAreIndexedAndShowTheSameRing)
{
    const QImage plain = readPicture("icons/tolvex-32.png", "png");
    for (const int scale : {2, 3}) {
        const QString name = scaledFile("icons/tolvex-32.png", scale);
        QImageReader reader(kAssets + "/" + name);
        const QImage raw = reader.read();
        ASSERT_FALSE(raw.isNull()) << name.toStdString();
        EXPECT_EQ(raw.format(), QImage::Format_Indexed8) << name.toStdString();
        EXPECT_LE(raw.colorCount(), 16) << name.toStdString();
        const QImage icon = raw.convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(icon.size(), QSize(32, 32) * scale);
        EXPECT_LT(differenceFromPlain(icon, plain, scale), 5.0) << name.toStdString();
        EXPECT_GT(mixedBlocks(icon, scale), 100) << name.toStdString();
        expectRingIcon(icon, 7 * scale, name.toStdString());
    }
}

// The logo's variants are JPEGs of the same picture with more pixels.
TEST(Logo, variantsAreTheSamePictureWithMorePixels)
{
    const QImage plain = readPicture("pictures/logo.jpg", "jpeg");
    for (const int scale : {2, 3}) {
        const QString name = scaledFile("pictures/logo.jpg", scale);
        const QImage logo = readPicture(name, "jpeg");
        ASSERT_EQ(logo.size(), QSize(230, 229) * scale) << name.toStdString();
        EXPECT_LT(differenceFromPlain(logo, plain, scale), 3.0) << name.toStdString();
        EXPECT_GT(mixedBlocks(logo, scale), 5000) << name.toStdString();
        EXPECT_LT(qGray(logo.pixel(2, 2)), 16);
        EXPECT_LT(qGray(logo.pixel(logo.width() - 3, 2)), 16);
    }
}

// The cursor's variants: the same two-colour hand, its outline as thick as at
// 1x, the fingertip still at the hot spot.
TEST(HandCursor, variantsAreTheSameHandWithMorePixels)
{
    const QImage plain = readPicture("pictures/hand.png", "png");
    for (const int scale : {2, 3}) {
        const QString name = scaledFile("pictures/hand.png", scale);
        const QImage hand = readPicture(name, "png");
        ASSERT_EQ(hand.size(), QSize(32, 32) * scale) << name.toStdString();
        const auto [black, white, clear, tipNearHotSpot] = countHandInk(hand, name.toStdString());
        const int area = scale * scale;
        const HandInk plainInk = countHandInk(plain, "hand.png");
        const int plainBlack = plainInk.black, plainWhite = plainInk.white;
        // Within a tenth of the plain cursor's share of outline, inside and ground.
        EXPECT_NEAR(double(black) / area, plainBlack, plainBlack * 0.1) << name.toStdString();
        EXPECT_NEAR(double(white) / area, plainWhite, plainWhite * 0.1) << name.toStdString();
        EXPECT_GT(clear, 100 * area);
        EXPECT_GT(mixedBlocks(hand, scale), 50) << name.toStdString();
        EXPECT_TRUE(tipNearHotSpot) << name.toStdString();
    }
}

// The variants are compiled in beside their plain pictures, where the windows look.
TEST(Resources, everyVariantIsReachableBesideItsPicture)
{
    QStringList paths = {":/pictures/logo.jpg", ":/pictures/hand.png", ":/icons/tolvex-32.png"};
    for (int pad = 0; pad < 4; ++pad)
        for (const bool lit : {false, true}) paths << ":/" + padFile(pad, lit);
    for (const QString& path : paths) {
        const QImage plain(path);
        for (const int scale : {2, 3}) {
            const QString variant = scaledFile(path, scale);
            const QImage image(variant);
            ASSERT_FALSE(image.isNull()) << variant.toStdString();
            EXPECT_EQ(image.size(), plain.size() * scale) << variant.toStdString();
        }
    }
}

} // namespace
