#include "gif_writer.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace tolvex::art {
namespace {

constexpr int kMaxCode = 4095;

// Packs variable-width codes least significant bit first into 255-byte sub-blocks.
class CodeStream {
public:
    explicit CodeStream(std::vector<std::uint8_t>& out) : m_out(out) {}

    void put(int code, int width)
    {
        m_bits |= static_cast<std::uint32_t>(code) << m_bitCount;
        m_bitCount += width;
        while (m_bitCount >= 8) {
            pushByte(static_cast<std::uint8_t>(m_bits & 0xFF));
            m_bits >>= 8;
            m_bitCount -= 8;
        }
    }

    void finish()
    {
        if (m_bitCount > 0) pushByte(static_cast<std::uint8_t>(m_bits & 0xFF));
        m_bits = 0;
        m_bitCount = 0;
        flushBlock();
        m_out.push_back(0); // block terminator
    }

private:
    void pushByte(std::uint8_t byte)
    {
        m_block.push_back(byte);
        if (m_block.size() == 255) flushBlock();
    }

    void flushBlock()
    {
        if (m_block.empty()) return;
        m_out.push_back(static_cast<std::uint8_t>(m_block.size()));
        m_out.insert(m_out.end(), m_block.begin(), m_block.end());
        m_block.clear();
    }

    std::vector<std::uint8_t>& m_out;
    std::vector<std::uint8_t> m_block;
    std::uint32_t m_bits = 0;
    int m_bitCount = 0;
};

void putWord(std::vector<std::uint8_t>& out, int value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// Bits per palette index; GIF wants at least 1 for the table and 2 for LZW.
int tableBits(std::size_t colours)
{
    int bits = 1;
    while ((std::size_t{1} << bits) < colours) ++bits;
    return bits;
}

void encodeLzw(const IndexedImage& image, int minCodeSize, std::vector<std::uint8_t>& out)
{
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    // next[code * 256 + byte] = code of (string of code) + byte, 0 when absent.
    std::vector<std::uint16_t> next(static_cast<std::size_t>(kMaxCode + 1) * 256, 0);

    CodeStream stream(out);
    int codeSize = minCodeSize + 1;
    int lastCode = endCode; // highest code assigned so far
    stream.put(clearCode, codeSize);

    int prefix = image.pixels.front();
    for (std::size_t i = 1; i < image.pixels.size(); ++i) {
        const int byte = image.pixels[i];
        std::uint16_t& entry = next[static_cast<std::size_t>(prefix) * 256 + byte];
        if (entry != 0) {
            prefix = entry;
            continue;
        }
        stream.put(prefix, codeSize);
        entry = static_cast<std::uint16_t>(++lastCode);
        // The decoder widens its codes once the entry it would add next needs one more bit.
        if (lastCode >= (1 << codeSize) && codeSize < 12) ++codeSize;
        if (lastCode == kMaxCode) {
            stream.put(clearCode, codeSize);
            std::fill(next.begin(), next.end(), 0);
            codeSize = minCodeSize + 1;
            lastCode = endCode;
        }
        prefix = byte;
    }
    stream.put(prefix, codeSize);
    // Reading that last code makes the decoder add one more entry, which may widen the end code.
    if (lastCode > endCode && lastCode + 1 >= (1 << codeSize) && codeSize < 12) ++codeSize;
    stream.put(endCode, codeSize);
    stream.finish();
}

} // namespace

std::vector<std::uint8_t> encodeGif(const IndexedImage& image)
{
    if (image.palette.empty() || image.palette.size() > 256)
        throw std::invalid_argument("GIF palette must hold 1 to 256 colours");
    if (image.width <= 0 || image.height <= 0 || image.width > 0xFFFF || image.height > 0xFFFF ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height)
        throw std::invalid_argument("GIF image size does not match its pixels");
    for (std::uint8_t index : image.pixels)
        if (index >= image.palette.size()) throw std::invalid_argument("GIF pixel outside the palette");

    const int bits = tableBits(image.palette.size());
    std::vector<std::uint8_t> out;
    for (const char c : {'G', 'I', 'F', '8', '9', 'a'}) out.push_back(static_cast<std::uint8_t>(c));

    // Logical screen descriptor with a global colour table.
    putWord(out, image.width);
    putWord(out, image.height);
    out.push_back(static_cast<std::uint8_t>(0x80 | ((bits - 1) << 4) | (bits - 1)));
    out.push_back(0); // background colour index
    out.push_back(0); // square pixels

    for (int i = 0; i < (1 << bits); ++i) {
        const Rgb c = i < static_cast<int>(image.palette.size()) ? image.palette[i] : Rgb{};
        out.push_back(c.r);
        out.push_back(c.g);
        out.push_back(c.b);
    }

    // Image descriptor: whole screen, no local table, not interlaced.
    out.push_back(0x2C);
    putWord(out, 0);
    putWord(out, 0);
    putWord(out, image.width);
    putWord(out, image.height);
    out.push_back(0);

    const int minCodeSize = std::max(2, bits);
    out.push_back(static_cast<std::uint8_t>(minCodeSize));
    encodeLzw(image, minCodeSize, out);

    out.push_back(0x3B); // trailer
    return out;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace tolvex::art
