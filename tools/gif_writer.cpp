#include "gif_writer.h"

#include <gif_lib.h>

#include <fstream>
#include <memory>
#include <stdexcept>

namespace tolvex::art {
namespace {

int appendBytes(GifFileType* gif, const GifByteType* bytes, int count)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), bytes, bytes + count);
    return count;
}

// GIF tables come in powers of two; the unused entries stay black.
int tableBits(std::size_t colours)
{
    int bits = 1;
    while ((std::size_t{1} << bits) < colours) ++bits;
    return bits;
}

[[noreturn]] void fail(int error) { throw std::runtime_error(std::string("giflib: ") + GifErrorString(error)); }

} // namespace

std::vector<std::uint8_t> encodeGif(const IndexedImage& image)
{
    if (image.palette.empty() || image.palette.size() > 256)
        throw std::invalid_argument("GIF palette must hold 1 to 256 colours");
    if (image.width <= 0 || image.height <= 0 || image.width > 0xFFFF || image.height > 0xFFFF ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height)
        throw std::invalid_argument("GIF image size does not match its pixels");
    // giflib masks an index to the table's bits rather than refusing it.
    for (std::uint8_t index : image.pixels)
        if (index >= image.palette.size()) throw std::invalid_argument("GIF pixel outside the palette");

    const int bits = tableBits(image.palette.size());
    const std::unique_ptr<ColorMapObject, void (*)(ColorMapObject*)> table(GifMakeMapObject(1 << bits, nullptr),
                                                                           GifFreeMapObject);
    if (!table) fail(E_GIF_ERR_NOT_ENOUGH_MEM);
    for (std::size_t i = 0; i < image.palette.size(); ++i)
        table->Colors[i] = {image.palette[i].r, image.palette[i].g, image.palette[i].b};

    std::vector<std::uint8_t> out;
    int openError = 0;
    GifFileType* gif = EGifOpen(&out, appendBytes, &openError);
    if (!gif) fail(openError);
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, image.width, image.height, bits, 0, table.get()) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_OK;
    // giflib masks the row it is given in place.
    std::vector<GifPixelType> row(static_cast<std::size_t>(image.width));
    for (int y = 0; ok && y < image.height; ++y) {
        const auto first = image.pixels.begin() + static_cast<std::ptrdiff_t>(y) * image.width;
        row.assign(first, first + image.width);
        ok = EGifPutLine(gif, row.data(), image.width) == GIF_OK;
    }
    const int writeError = ok ? 0 : gif->Error;
    int closeError = 0;
    const bool closed = EGifCloseFile(gif, &closeError) == GIF_OK;
    if (!ok) fail(writeError);
    if (!closed) fail(closeError);
    return out;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace tolvex::art
