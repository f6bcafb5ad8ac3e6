// The picture imports from the bytes of a PNG file on: Qt's reader with the size check on the header, then
// the front sprite, back sprite, shiny palette or icon import. Beyond never failing: a picture that is taken
// has the size the check allowed, its tiles decode to its own colours in 15 bits, and its LZ77 form unpacks
// to the tiles again and is never larger than the bytes stored as literals. With bit 3 of the first byte, a
// footprint instead: a 16x16 picture taken is one whose bytes survive decoding and encoding.

#include <QByteArray>
#include <algorithm>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "PngFile.h"
#include "pictures/Lz77Compressor.h"
#include "pictures/PictureImport.h"
#include "pictures/SpritePictures.h"
#include "species/Footprint.h"

namespace {

using fuzz::Require;
using namespace PictureImport;

// The pixel the preview shows where the picture has `argb`: transparent for colour 0 (a transparent pixel
// is colour 0 unless it only keeps a colour number's shiny colour as it was), else the 15-bit colour, or
// transparent where that colour is also colour 0's.
bool ShowsAs(uint32_t shown, uint32_t argb, bool zero, bool transparentKeeps) {
    if (argb >> 24 == 0) return transparentKeeps || shown == 0;
    if (zero) return shown == 0;
    return shown == ShownColour(ToBgr555(argb)) || shown == 0;
}

enum class Zero { TopLeft, Transparent, TransparentKeeps };

void CheckTiles(const PixelImage& image, const std::vector<uint8_t>& tiles, const PaletteWords& palette,
                int side, Zero zero) {
    const std::vector<uint8_t> bytes = PaletteBytes(palette);
    const Picture picture = SpritePictures::DecodeTiles(tiles.data(), tiles.size(), side / 8, side / 8,
                                                        SpritePictures::DecodePalette(bytes.data()));
    Require(picture.ok(), "imported tiles decode");
    const auto key = [](uint32_t colour) { return colour >> 24 == 0 ? 0u : colour | 0xFF000000u; };
    for (std::size_t k = 0; k < picture.argb.size(); ++k) {
        const uint32_t argb = image.argb[k];
        const bool topLeft = zero == Zero::TopLeft && key(argb) == key(image.argb[0]);
        Require(ShowsAs(picture.argb[k], argb, topLeft, zero == Zero::TransparentKeeps),
                "every pixel reads back in its 15-bit colour");
    }
    const std::vector<uint8_t> packed = Lz77::Compress(tiles);
    Require(packed.size() <= ((4 + tiles.size() + (tiles.size() + 7) / 8 + 3) & ~std::size_t{3}),
            "compressed data is never larger than the literals");
    const auto unpacked = SpritePictures::Decompress(packed.data(), packed.size(), tiles.size(), nullptr);
    Require(unpacked && *unpacked == tiles, "compressed tiles unpack to themselves");
}

PaletteWords Greys() {
    PaletteWords palette{};
    for (int n = 0; n < 16; ++n) palette[n] = static_cast<uint16_t>(n * 2 * 0x421);
    return palette;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ByteReader input(data, size);
    const uint8_t mode = input.Byte();
    const auto kind = static_cast<Kind>(mode % 4);
    const bool twoFrames = (mode & 4) != 0;
    const std::string rest = input.Rest();
    const QByteArray bytes(rest.data(), static_cast<qsizetype>(rest.size()));

    if (mode & 8) {
        const PngFile::Read read = PngFile::FromBytes(bytes, [](int64_t width, int64_t height) {
            return width == 16 && height == 16 ? std::string() : std::string("not 16x16");
        });
        if (!read.error.empty()) return 0;
        const Footprint::FromPixelsResult print = Footprint::FromPixels(read.image);
        if (print.error.empty())
            Require(Footprint::Encode(Footprint::Decode(print.bytes)) == print.bytes,
                    "a footprint's bytes survive decoding and encoding");
        return 0;
    }

    const PngFile::Read read = PngFile::FromBytes(
        bytes, [&](int64_t width, int64_t height) { return SizeProblem(kind, twoFrames, width, height); });
    if (!read.error.empty()) return 0;
    const PixelImage& image = read.image;
    Require(SizeProblem(kind, twoFrames, image.width, image.height).empty(),
            "a taken picture has a size allowed");
    Require(
        image.argb.size() == static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height),
        "a picture has a colour per pixel");

    switch (kind) {
        case Kind::FrontSprite: {
            const FrontSprite front = ImportFrontSprite(image, twoFrames);
            if (!front.error.empty()) return 0;
            Require(front.tiles.size() == 2048 && front.colours >= 1 && front.colours <= 16,
                    "one frame, 16 colours");
            Require(front.animated.size() == (twoFrames ? 4096u : 0u), "two frames where the game animates");
            CheckTiles(image, front.tiles, front.palette, 64, Zero::TopLeft);
            // What passes as the front sprite passes as the back sprite in its palette.
            if (image.height == 64) {
                const BackSprite back = ImportBackSprite(image, front.palette);
                Require(back.error.empty() && back.tiles.size() == 2048,
                        "the front picture fits its own palette");
            }
            break;
        }
        case Kind::BackSprite: {
            const BackSprite back = ImportBackSprite(image, Greys());
            if (back.error.empty()) CheckTiles(image, back.tiles, Greys(), 64, Zero::Transparent);
            break;
        }
        case Kind::ShinyPalette: {
            std::vector<uint8_t> tiles(2048);
            for (std::size_t k = 0; k < tiles.size(); ++k) tiles[k] = static_cast<uint8_t>(k * 37 % 251);
            // Each colour number got the colour of its pixels, so the tiles show the picture in it.
            const ShinyPalette shiny = ImportShinyPalette(image, tiles, Greys());
            if (shiny.error.empty()) CheckTiles(image, tiles, shiny.palette, 64, Zero::TransparentKeeps);
            break;
        }
        case Kind::Icon: {
            const Icon icon = ImportIcon(image, {Greys(), PaletteWords{}, Greys()});
            if (!icon.error.empty()) return 0;
            Require(icon.tiles.size() == 1024 && (icon.palette == 0 || icon.palette == 1),
                    "two frames in one palette");
            CheckTiles(image, icon.tiles, icon.palette == 0 ? Greys() : PaletteWords{}, 32,
                       Zero::Transparent);
            break;
        }
    }
    return 0;
}
