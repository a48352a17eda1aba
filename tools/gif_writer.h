#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolvex::art {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A paletted picture: one palette index per pixel, row by row.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> palette;
    std::vector<std::uint8_t> pixels;
};

// A complete GIF89a file, written by giflib: one image, its palette as the
// global colour table, no transparency. The palette must hold 1 to 256
// colours and every pixel index must be in it.
std::vector<std::uint8_t> encodeGif(const IndexedImage& image);

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace tolvex::art
