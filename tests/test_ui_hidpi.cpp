// The windows on a high-density screen (QT_SCALE_FACTOR 2 or 3): the same
// layout in logical pixels, the pictures drawn at the screen's own resolution.
#include "picture_checks.h"
#include "scaled_pixmap.h"
#include "test_ui_support.h"
#include "twips.h"

#include <QImage>
#include <QPainter>
#include <QSet>

#include <cmath>

namespace tolvex::uitest {
namespace {

using tolvex::testing::uniformBlock;

// The board's centre and the ring's outer radius, in logical pixels.
const QPointF kBoardCentre(192.0, 190.0);
constexpr double kRingOuter = 174.0;
// The logo's ring, in the logo's own pixels.
const QPointF kLogoCentre(115.0, 88.0);
constexpr double kLogoOuter = 80.0;

struct EdgeBlocks {
    int blocks = 0;
    int mixed = 0;      // blocks not of one colour
    QSet<QRgb> colours; // every colour seen on the edge
};

// The aligned scale x scale blocks of a device-resolution image whose middle
// lies within `reach` logical pixels of a circle, away from the black gaps
// along the axes through its centre.
EdgeBlocks edgeBlocks(const QImage& image, int scale, QPointF centre, double radius, double reach, double clearOfAxes)
{
    EdgeBlocks edge;
    for (int y = 0; y + scale <= image.height(); y += scale) {
        for (int x = 0; x + scale <= image.width(); x += scale) {
            const double dx = (x + scale / 2.0) / scale - centre.x();
            const double dy = (y + scale / 2.0) / scale - centre.y();
            if (std::abs(std::hypot(dx, dy) - radius) > reach || std::abs(dx) < clearOfAxes ||
                std::abs(dy) < clearOfAxes)
                continue;
            ++edge.blocks;
            if (!uniformBlock(image, x, y, scale)) ++edge.mixed;
            for (int by = 0; by < scale; ++by)
                for (int bx = 0; bx < scale; ++bx) edge.colours.insert(image.pixel(x + bx, y + by));
        }
    }
    return edge;
}

// Pixels of two pictures of one size whose colours differ by more than a
// rounding step.
int differingPixels(const QImage& a, const QImage& b)
{
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 1 || std::abs(qGreen(p) - qGreen(q)) > 1 ||
                std::abs(qBlue(p) - qBlue(q)) > 1)
                ++differing;
        }
    return differing;
}

class HiDpiTest : public UiTest {
protected:
    int scale = 1;

    void SetUp() override
    {
        UiTest::SetUp();
        scale = pictureScale(form->devicePixelRatioF());
        ASSERT_GE(scale, 2) << "run with QT_SCALE_FACTOR=2 or 3";
        ASSERT_EQ(form->devicePixelRatioF(), scale) << "a whole scale factor, so that blocks align";
    }

    QImage board()
    {
        const QPixmap grabbed = form->centralWidget()->grab();
        EXPECT_EQ(grabbed.devicePixelRatio(), scale);
        return grabbed.toImage();
    }

    // The board as it looked with the plain pictures blown up to the screen.
    QImage boardOfPlainPictures()
    {
        QImage image(QSize(504, 390) * scale, QImage::Format_ARGB32);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::black);
        QPainter painter(&image);
        for (const int pad : {2, 3, 1, 0}) {
            const PadPicture* p = form->Image1(pad);
            painter.drawPixmap(p->pos(), QPixmap(QStringLiteral(":/pictures/pad%1-unlit.gif").arg(pad)));
        }
        return image;
    }
};

// The screen's ratio is rounded up to a picture variant, @3x at most; at 1 the plain picture is used.
TEST(PictureScale, RoundsTheRatioUpToAVariant)
{
    EXPECT_EQ(pictureScale(1.0), 1);
    EXPECT_EQ(pictureScale(1.25), 2);
    EXPECT_EQ(pictureScale(1.5), 2);
    EXPECT_EQ(pictureScale(2.0), 2);
    EXPECT_EQ(pictureScale(2.5), 3);
    EXPECT_EQ(pictureScale(3.0), 3);
    EXPECT_EQ(pictureScale(4.0), 3);
    EXPECT_EQ(pictureScale(0.75), 1);
    EXPECT_EQ(scaledResource(QStringLiteral(":/pictures/pad0-lit.gif"), 2),
              QStringLiteral(":/pictures/pad0-lit@2x.gif"));
    EXPECT_EQ(scaledResource(QStringLiteral(":/icons/tolvex-32.png"), 1), QStringLiteral(":/icons/tolvex-32.png"));
}

// On a dense screen the layout keeps its logical pixels; only the pictures carry the screen's ratio.
TEST_F(HiDpiTest, LayoutStaysInLogicalPixels)
{
    EXPECT_EQ(form->centralWidget()->size(), QSize(504, 390));
    const QRect unlit[4] = {twipsRect(220, 220, 2655, 2625), twipsRect(2880, 200, 2655, 2685),
                            twipsRect(2880, 2850, 2655, 2625), twipsRect(240, 2850, 2655, 2685)};
    const QRect lit[4] = {twipsRect(240, 240, 2655, 2625), twipsRect(2860, 200, 2655, 2685),
                          twipsRect(2860, 2830, 2655, 2625), twipsRect(260, 2830, 2655, 2685)};
    for (int pad = 0; pad < 4; ++pad) {
        EXPECT_EQ(form->Image1(pad)->geometry(), unlit[pad]) << pad;
        EXPECT_EQ(form->Image2(pad)->geometry(), lit[pad]) << pad;
        EXPECT_EQ(form->Image1(pad)->size(), QSize(177, pad % 2 == 0 ? 175 : 179)) << pad;
        for (const PadPicture* p : {form->Image1(pad), form->Image2(pad)}) {
            EXPECT_EQ(p->picture().devicePixelRatio(), scale) << p->objectName().toStdString();
            EXPECT_EQ(p->picture().deviceIndependentSize(), QSizeF(p->size())) << p->objectName().toStdString();
        }
    }
    // The middle of each picture still takes its pad's presses.
    for (int pad = 0; pad < 4; ++pad)
        EXPECT_EQ(frontAt(form->Image1(pad), form->Image1(pad)->rect().center()), form->Image1(pad)) << pad;
}

// The ring's edge is drawn for the screen's resolution: shades within its blocks, which plain pictures blown up lack.
TEST_F(HiDpiTest, RingEdgeIsDrawnAtTheScreensResolution)
{
    const QImage img = board();
    ASSERT_EQ(img.size(), QSize(504, 390) * scale);
    const EdgeBlocks edge = edgeBlocks(img, scale, kBoardCentre, kRingOuter, 2.0, 12.0);
    ASSERT_GT(edge.blocks, 1000);
    // The band is four pixels wide and the edge's shading about one of them, so
    // a quarter of the blocks hold two shades; blown-up pictures have none such.
    EXPECT_GT(edge.mixed, edge.blocks / 5) << edge.mixed << " of " << edge.blocks << " at " << scale;
    // Shades between each rim and the black ground, not just the two.
    EXPECT_GT(edge.colours.size(), 4 * 8) << edge.colours.size();

    const EdgeBlocks before = edgeBlocks(boardOfPlainPictures(), scale, kBoardCentre, kRingOuter, 2.0, 12.0);
    EXPECT_EQ(before.blocks, edge.blocks);
    EXPECT_EQ(before.mixed, 0) << "the check must fail on plain pictures blown up";
}

// The about logo is the variant drawn for the screen's density, shown pixel for pixel, not resampled.
TEST_F(HiDpiTest, AboutLogoIsDrawnAtTheScreensResolution)
{
    FormZandrell about(form->windowTitle(), form->windowIcon());
    about.show();
    EXPECT_EQ(about.imgLogo()->pixmap().devicePixelRatio(), scale);
    EXPECT_EQ(about.imgLogo()->pixmap().deviceIndependentSize(), QSizeF(230, 229));

    const QPixmap grabbed = about.grab();
    ASSERT_EQ(grabbed.devicePixelRatio(), scale);
    const QImage shown = grabbed.toImage().copy(QRect(about.imgLogo()->pos() * scale, QSize(230, 229) * scale));
    // Pixel for pixel the logo drawn for this density, not a picture resampled to it.
    const QImage own(scaledResource(QStringLiteral(":/pictures/logo.jpg"), scale));
    ASSERT_EQ(own.size(), shown.size());
    EXPECT_EQ(differingPixels(shown, own), 0);
    const EdgeBlocks edge = edgeBlocks(shown, scale, kLogoCentre, kLogoOuter, 2.0, 8.0);
    ASSERT_GT(edge.blocks, 400);
    EXPECT_GT(edge.mixed, edge.blocks / 2) << edge.mixed << " of " << edge.blocks;

    // The plain logo as a label used to show it here: resampled smoothly, so
    // it has no blocks but is not the drawing made for the screen.
    QLabel before;
    before.setPixmap(QPixmap(QStringLiteral(":/pictures/logo.jpg")));
    before.resize(230, 229);
    const QImage smooth = before.grab().toImage();
    ASSERT_EQ(smooth.size(), own.size());
    EXPECT_GT(differingPixels(smooth, own), own.width() * own.height() / 4) << "the check must fail on it";
    // ...and blown up without smoothing, it is all blocks.
    const QImage plain(QStringLiteral(":/pictures/logo.jpg"));
    EXPECT_EQ(edgeBlocks(plain.scaled(plain.size() * scale), scale, kLogoCentre, kLogoOuter, 2.0, 8.0).mixed, 0)
        << "the check must fail on it";
}

// The link cursor is drawn for the screen yet keeps its 32 × 32 logical size and its top-left hot spot.
TEST_F(HiDpiTest, LinkCursorKeepsItsSizeAndHotSpot)
{
    FormZandrell about(form->windowTitle(), form->windowIcon());
    for (const QLabel* link : {static_cast<QLabel*>(about.lblMail()), static_cast<QLabel*>(about.lblURL())}) {
        const QCursor c = link->cursor();
        ASSERT_EQ(c.shape(), Qt::BitmapCursor);
        EXPECT_EQ(c.pixmap().devicePixelRatio(), scale);
        EXPECT_EQ(c.pixmap().size(), QSize(32, 32) * scale);
        EXPECT_EQ(c.pixmap().deviceIndependentSize(), QSizeF(32, 32));
        EXPECT_EQ(c.hotSpot(), QPoint(0, 0));
    }
}

// The window icon has 32, 64 and 96 pixel variants, and the sharp one shows, in the about window too.
TEST_F(HiDpiTest, WindowIconHasItsSharpVariants)
{
    const QIcon icon = form->windowIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (const int side : {32, 64, 96}) EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
    const QPixmap shown = icon.pixmap(QSize(32, 32), scale);
    ASSERT_EQ(shown.size(), QSize(32, 32) * scale);
    EXPECT_GT(tolvex::testing::mixedBlocks(shown.toImage(), scale), 50);

    // The about window shows the main window's icon at the screen's resolution too.
    FormZandrell about(form->windowTitle(), form->windowIcon());
    about.show();
    EXPECT_EQ(about.imgIcono()->pixmap().size(), QSize(32, 32) * scale);
}

} // namespace
} // namespace tolvex::uitest
