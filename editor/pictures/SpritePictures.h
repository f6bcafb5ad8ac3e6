#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Pictures of a species as plain pixels, decoded from the ROM file: LZ77-compressed (type 0x10) sprites and
// palettes, 4 bits-per-pixel 8x8 tiles, and 16-colour palettes of 15-bit BGR colours.

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;  // width x height, row by row; colour 0 of the palette is transparent (0)
    std::string problem;         // why there is no picture; empty when argb holds one

    [[nodiscard]] bool ok() const { return problem.empty() && !argb.empty(); }
};

using Palette = std::vector<uint32_t>;  // 16 ARGB colours

namespace SpritePictures {

inline constexpr int kSpriteSize = 64;
inline constexpr int kIconSize = 32;

// Decompresses LZ77 data of type 0x10 (4-byte header: 0x10, then the 24-bit decompressed size). Stops once
// `wanted` bytes are produced, so larger data (two frames one below the other) gives its first part. Nothing
// (and a short reason) for a header that is not 0x10, a declared size below `wanted`, a back-reference before
// the start, or data that ends early.
[[nodiscard]] std::optional<std::vector<uint8_t>> Decompress(const uint8_t* data, std::size_t size,
                                                             std::size_t wanted, std::string* problem);

// 16 colours from 32 bytes of little-endian BGR555; colour 0 becomes transparent.
[[nodiscard]] Palette DecodePalette(const uint8_t* bytes);
[[nodiscard]] uint32_t BgrToArgb(uint16_t bgr555);

// A picture of widthTiles x heightTiles 8x8 tiles, tiles row by row, each tile 32 bytes (left pixel in the
// low nibble). Needs widthTiles * heightTiles * 32 bytes.
[[nodiscard]] Picture DecodeTiles(const uint8_t* tiles, std::size_t size, int widthTiles, int heightTiles,
                                  const Palette& palette);

// A 64x64 sprite: compressed tiles at spriteOffset in the palette compressed at paletteOffset. One opening
// of the file for both.
[[nodiscard]] Picture ReadSprite(const std::string& romPath, int32_t spriteOffset, int32_t paletteOffset);

// What a picture is drawn from: the data at a file offset, or bytes the user imported that are not written
// yet and stand in for it (tiles as they are before compression, 32 palette bytes).
struct PictureSource {
    int32_t offset = 0;
    const std::vector<uint8_t>* replaced = nullptr;
};
// As above; the file is opened only when one of the two is not replaced.
[[nodiscard]] Picture ReadSprite(const std::string& romPath, PictureSource tiles, PictureSource palette);
[[nodiscard]] Picture ReadIcon(const std::string& romPath, PictureSource icon, int paletteNumber,
                               std::optional<int32_t> paletteTable);

// The first `wanted` bytes that the LZ77 data at offset unpacks to: the tiles and palettes an import builds
// on. Nothing, with *problem set, when there are none.
[[nodiscard]] std::optional<std::vector<uint8_t>> ReadUnpacked(const std::string& romPath, int32_t offset,
                                                               std::size_t wanted, std::string* problem);
// The 32 bytes of icon palette `number` of the table at paletteTable.
[[nodiscard]] std::optional<std::vector<uint8_t>> ReadIconPalette(const std::string& romPath,
                                                                  int32_t paletteTable, int number,
                                                                  std::string* problem);

// The first 32x32 frame of the uncompressed icon at iconOffset, in icon palette `paletteNumber` of the table
// at paletteTable (8-byte entries, a ROM pointer to 32 uncompressed palette bytes first); in grey levels
// without a table. One opening of the file.
[[nodiscard]] Picture ReadIcon(const std::string& romPath, int32_t iconOffset, int paletteNumber,
                               std::optional<int32_t> paletteTable);

}  // namespace SpritePictures
