#include "hand_art.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tolvex::art {
namespace {

// Parts of the hand, drawn upright with the fingertip at the origin and the wrist down (+y).
enum Part : int { None, Hand, Thumb, Cuff };

bool inRoundedRect(double x, double y, double left, double top, double right, double bottom, double radius)
{
    if (x < left || x > right || y < top || y > bottom) return false;
    const double cx = std::clamp(x, left + radius, right - radius);
    const double cy = std::clamp(y, top + radius, bottom - radius);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

Part partAt(double x, double y)
{
    if (inRoundedRect(x, y, -5.5, 29.0, 8.5, 35.0, 0.5)) return Cuff;
    const double tx = (x + 7.5) / 3.2, ty = (y - 17.0) / 5.5;
    if (tx * tx + ty * ty <= 1.0) return Thumb;
    if (inRoundedRect(x, y, -3.0, 0.0, 3.0, 14.0, 3.0) || inRoundedRect(x, y, -6.0, 9.0, 10.0, 29.5, 3.5)) return Hand;
    return None;
}

// Creases along the pointing finger's base and between the folded fingers, upright coordinates.
bool onCrease(double x, double y)
{
    return (y > 13.0 && y < 19.0 && std::abs(x - 3.0) < 0.6) || (y > 9.5 && y < 16.5 && std::abs(x - 6.5) < 0.6);
}

} // namespace

std::vector<HandPixel> handCursor(int scale)
{
    // Tilted 30 degrees so the finger points up and to the left, tip at the top-left corner.
    const double angle = std::numbers::pi / 6.0;
    const double c = std::cos(angle), s = std::sin(angle);
    const double offset = 0.2;
    // Device pixel centres in cursor pixels, tilted upright.
    auto upright = [&](int px, int py) {
        const double dx = (px + 0.5) / scale - offset, dy = (py + 0.5) / scale - offset;
        return std::array<double, 2>{c * dx - s * dy, s * dx + c * dy};
    };

    const int size = kHandSize * scale;
    // A border of `scale` empty pixels all round spares the neighbour look-ups a bounds check.
    const int stride = size + 2 * scale;
    std::vector<Part> parts(static_cast<std::size_t>(stride) * stride, None);
    auto partOf = [&](int x, int y) -> Part& {
        return parts[static_cast<std::size_t>(y + scale) * stride + (x + scale)];
    };
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const auto [ux, uy] = upright(x, y);
            partOf(x, y) = partAt(ux, uy);
        }

    std::vector<HandPixel> pixels(static_cast<std::size_t>(size) * size, HandPixel::Clear);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Part p = partOf(x, y);
            if (p == None) continue;
            // The outline is one cursor pixel wide, so `scale` device pixels.
            bool edge = false;
            for (int d = 1; d <= scale && !edge; ++d) {
                for (const auto& [nx, ny] :
                     {std::array{x - d, y}, std::array{x + d, y}, std::array{x, y - d}, std::array{x, y + d}}) {
                    const Part n = partOf(nx, ny);
                    // Outline the whole shape, the thumb over the hand, and the cuff's top.
                    edge = edge || n == None || (p == Thumb && n == Hand) || (p == Cuff && n != Cuff);
                }
            }
            const auto [ux, uy] = upright(x, y);
            edge = edge || (p == Hand && onCrease(ux, uy));
            pixels[static_cast<std::size_t>(y) * size + x] = edge ? HandPixel::Black : HandPixel::White;
        }
    }
    return pixels;
}

} // namespace tolvex::art
