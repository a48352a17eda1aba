#include "ring_art.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace tolvex::art {
namespace {

// Quarter directions from the centre: pad 0 up-left, then clockwise.
constexpr std::array<int, 4> kSignX = {-1, 1, 1, -1};
constexpr std::array<int, 4> kSignY = {-1, -1, 1, 1};

enum class Part { Black, Body, Rim };

struct Ring {
    double cx;
    double cy;
    double outer;
    double inner;
    double gap;
    double rim; // 0: no rim
};

Part partAt(const Ring& ring, int pad, double x, double y)
{
    const double dx = x - ring.cx;
    const double dy = y - ring.cy;
    const double half = ring.gap / 2.0;
    if (dx * kSignX[pad] <= half || dy * kSignY[pad] <= half) return Part::Black;
    const double r = std::sqrt(dx * dx + dy * dy);
    if (r < ring.inner || r > ring.outer) return Part::Black;
    return r > ring.outer - ring.rim ? Part::Rim : Part::Body;
}

Rgb mix(Rgb a, Rgb b, int num, int den)
{
    auto m = [&](int x, int y) { return static_cast<std::uint8_t>((x * (den - num) + y * num + den / 2) / den); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

// Collects colours in order of first use, black first, so palettes are reproducible.
class PaletteBuilder {
public:
    PaletteBuilder() { indexOf({0, 0, 0}); }

    std::uint8_t indexOf(Rgb c)
    {
        const std::uint32_t key = (c.r << 16) | (c.g << 8) | c.b;
        auto [it, added] = m_index.try_emplace(key, static_cast<int>(m_palette.size()));
        if (added) m_palette.push_back(c);
        return static_cast<std::uint8_t>(it->second);
    }

    std::vector<Rgb> take() { return std::move(m_palette); }

private:
    std::map<std::uint32_t, int> m_index;
    std::vector<Rgb> m_palette;
};

// Each pixel is the mean of n x n samples; exact integer sums keep it reproducible.
template <typename ColourAt> IndexedImage render(int width, int height, int n, ColourAt colourAt)
{
    IndexedImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height);
    PaletteBuilder palette;
    const int samples = n * n;
    for (int py = 0; py < height; ++py) {
        for (int px = 0; px < width; ++px) {
            int r = 0, g = 0, b = 0;
            for (int sy = 0; sy < n; ++sy) {
                for (int sx = 0; sx < n; ++sx) {
                    const Rgb c = colourAt(px + (sx + 0.5) / n, py + (sy + 0.5) / n);
                    r += c.r;
                    g += c.g;
                    b += c.b;
                }
            }
            const Rgb mean{static_cast<std::uint8_t>((r + samples / 2) / samples),
                           static_cast<std::uint8_t>((g + samples / 2) / samples),
                           static_cast<std::uint8_t>((b + samples / 2) / samples)};
            image.pixels[static_cast<std::size_t>(py) * width + px] = palette.indexOf(mean);
        }
    }
    image.palette = palette.take();
    return image;
}

} // namespace

IndexedImage padPicture(int pad, bool lit, int scale)
{
    const TwipsRect place = kUnlitPlaces.at(pad);
    const Ring ring{double(kBoardCentreX - place.left) / kTwipsPerPixel,
                    double(kBoardCentreY - place.top) / kTwipsPerPixel,
                    kOuterRadius,
                    kInnerRadius,
                    kGap,
                    kRimWidth};
    const Rgb body = lit ? kLitColours[pad] : kUnlitColours[pad];
    // Unlit: a rim halfway to the bright shade; lit: a rim a third of the way to black.
    const Rgb rim = lit ? mix(kLitColours[pad], Rgb{}, 1, 3) : mix(kUnlitColours[pad], kLitColours[pad], 1, 2);
    // The same 4 x 4 samples per pixel at every scale keep the edge shades,
    // and so the palette, within the 153 mixes of black, body and rim.
    const double s = scale;
    return render(place.width / kTwipsPerPixel * scale, place.height / kTwipsPerPixel * scale, 4,
                  [&](double x, double y) {
                      switch (partAt(ring, pad, x / s, y / s)) {
                      case Part::Body: return body;
                      case Part::Rim: return rim;
                      case Part::Black: break;
                      }
                      return Rgb{};
                  });
}

IndexedImage ringIcon(int size, int levels)
{
    const double scale = size / 32.0;
    const Ring ring{size / 2.0, size / 2.0, 15.5 * scale, 7.0 * scale, 1.5 * scale, 0.0};
    constexpr int kSamples = 8;
    constexpr int kCount = kSamples * kSamples;
    IndexedImage image;
    image.width = size;
    image.height = size;
    image.pixels.resize(static_cast<std::size_t>(size) * size);
    PaletteBuilder palette;
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            // The gaps are wider than a pixel, so at most one quarter covers any pixel.
            std::array<int, 4> covered{};
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    for (int pad = 0; pad < 4; ++pad)
                        if (partAt(ring, pad, px + (sx + 0.5) / kSamples, py + (sy + 0.5) / kSamples) != Part::Black)
                            ++covered[pad];
            int pad = 0;
            for (int i = 1; i < 4; ++i)
                if (covered[i] > covered[pad]) pad = i;
            const Rgb colour = levels > 0
                                   ? mix(Rgb{}, kLitColours[pad], (covered[pad] * levels + kCount / 2) / kCount, levels)
                                   : mix(Rgb{}, kLitColours[pad], covered[pad], kCount);
            image.pixels[static_cast<std::size_t>(py) * size + px] = palette.indexOf(colour);
        }
    }
    image.palette = palette.take();
    return image;
}

std::string ringSvg()
{
    constexpr double kSize = 256.0;
    const double c = kSize / 2.0;
    const double scale = kSize / 32.0;
    const double outer = 15.5 * scale, inner = 7.0 * scale, half = 0.75 * scale;
    std::string svg;
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
                  "  <title>Tolvex</title>\n"
                  "  <rect width=\"256\" height=\"256\" fill=\"#000000\"/>\n");
    svg += buf;
    for (int pad = 0; pad < 4; ++pad) {
        const double sx = kSignX[pad], sy = kSignY[pad];
        const double ro = std::sqrt(outer * outer - half * half);
        const double ri = std::sqrt(inner * inner - half * half);
        // From the end near the horizontal axis round the outer edge to the vertical one, then back inside.
        const int sweep = sx * sy > 0 ? 1 : 0;
        const Rgb col = kLitColours[pad];
        std::snprintf(buf, sizeof buf,
                      "  <path fill=\"#%02X%02X%02X\" d=\"M %.2f %.2f A %.2f %.2f 0 0 %d %.2f %.2f "
                      "L %.2f %.2f A %.2f %.2f 0 0 %d %.2f %.2f Z\"/>\n",
                      col.r, col.g, col.b, c + sx * ro, c + sy * half, outer, outer, sweep, c + sx * half, c + sy * ro,
                      c + sx * half, c + sy * ri, inner, inner, 1 - sweep, c + sx * ri, c + sy * half);
        svg += buf;
    }
    svg += "</svg>\n";
    return svg;
}

} // namespace tolvex::art
