// The sprite preview's decoders on bytes from memory: LZ77 data, 4 bits-per-pixel tiles and BGR555
// palettes. Beyond never failing: unpacking stops at exactly the bytes wanted, asking for fewer gives the
// start of the same bytes, and every pixel of a picture is a colour of its palette.

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "pictures/SpritePictures.h"

namespace {

using fuzz::Require;

// The sizes the preview asks for: one 64x64 sprite frame and one palette.
constexpr size_t kWanted[] = {2048, 32};

void CheckDecompress(const std::vector<uint8_t>& packed, size_t wanted, size_t fewer) {
    std::string problem;
    const std::optional<std::vector<uint8_t>> unpacked =
        SpritePictures::Decompress(packed.data(), packed.size(), wanted, &problem);
    if (!unpacked) {
        Require(!problem.empty(), "data that does not unpack says why");
        return;
    }
    Require(unpacked->size() == wanted, "unpacking gives exactly the bytes wanted");
    // Every step of the format only appends, so a shorter request stops earlier on the same bytes.
    const std::optional<std::vector<uint8_t>> start =
        SpritePictures::Decompress(packed.data(), packed.size(), fewer, nullptr);
    Require(start.has_value() && std::equal(start->begin(), start->end(), unpacked->begin()),
            "fewer bytes wanted give the start of the same bytes");
}

void CheckTiles(const std::vector<uint8_t>& tiles, int widthTiles, int heightTiles, const Palette& palette) {
    const Picture picture =
        SpritePictures::DecodeTiles(tiles.data(), tiles.size(), widthTiles, heightTiles, palette);
    if (!picture.ok()) {
        Require(!picture.problem.empty(), "a picture that cannot be made says why");
        return;
    }
    Require(picture.width == 8 * widthTiles && picture.height == 8 * heightTiles,
            "tiles are 8 pixels square");
    Require(picture.argb.size() == static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height),
            "a picture has a colour per pixel");
    for (const uint32_t pixel : picture.argb) {
        Require(pixel == 0 || std::find(palette.begin(), palette.end(), pixel) != palette.end(),
                "pixels are palette colours or transparent");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ByteReader input(data, size);
    const uint8_t mode = input.Byte();
    const size_t wanted = mode & 1 ? kWanted[(mode >> 1) & 1] : input.Word() % 4096;
    const size_t fewer = wanted == 0 ? 0 : input.Word() % wanted;

    std::vector<uint8_t> colours(32, 0);
    const std::string colourBytes = input.Text(colours.size());
    std::copy(colourBytes.begin(), colourBytes.end(), colours.begin());
    Palette palette = SpritePictures::DecodePalette(colours.data());
    Require(palette.size() == 16 && palette[0] == 0, "a palette has 16 colours, the first transparent");
    for (size_t k = 1; k < palette.size(); ++k) Require(palette[k] >> 24 == 0xFF, "other colours are opaque");
    // The decoder must also bear a palette of fewer colours than a tile can name.
    palette.resize(input.Byte() % 17);

    const int widthTiles = static_cast<int>(input.Byte() % 12) - 2;
    const int heightTiles = static_cast<int>(input.Byte() % 12) - 2;
    const std::string rest = input.Rest();
    const std::vector<uint8_t> bytes(rest.begin(), rest.end());
    CheckDecompress(bytes, wanted, fewer);
    CheckTiles(bytes, widthTiles, heightTiles, palette);
    return 0;
}
