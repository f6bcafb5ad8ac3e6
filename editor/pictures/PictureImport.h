#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Pictures the user brings in, as plain pixels, turned into what the games store: 4 bits-per-pixel 8x8 tiles
// (tiles row by row, the left pixel of a pair in the low nibble) and 16-colour palettes of 15-bit BGR
// colours. The window reads the PNG file; everything after its pixels happens here.

struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;  // width x height, row by row; alpha 0 is a transparent pixel
    // An indexed file's colour table in its own order; empty for true colour. A sprite drawn for the games
    // keeps its colour numbers, so a shiny palette made for it still fits.
    std::vector<uint32_t> colourTable;
};

using PaletteWords = std::array<uint16_t, 16>;  // BGR555, colour 0 the transparent one

namespace PictureImport {

enum class Kind { FrontSprite, BackSprite, ShinyPalette, Icon };

inline constexpr std::size_t kSpriteTileBytes = 2048;  // one 64x64 frame
inline constexpr std::size_t kIconTileBytes = 1024;    // two 32x32 frames
inline constexpr std::size_t kPaletteBytes = 32;

// "front sprite", "back sprite", "shiny palette", "icon".
[[nodiscard]] const char* KindName(Kind kind);

// Empty when a picture of width x height can replace `kind`; otherwise the sentence that says what it must
// be. twoFrames: the game keeps a second, animated front sprite table, whose two frames a 64x128 picture
// gives. The window asks this with the size in the file's header, before any pixel is decoded.
[[nodiscard]] std::string SizeProblem(Kind kind, bool twoFrames, int64_t width, int64_t height);

// The nearest 15-bit colour, and the 32-bit colour the games show for it.
[[nodiscard]] uint16_t ToBgr555(uint32_t argb);
[[nodiscard]] uint32_t ShownColour(uint16_t bgr555);

[[nodiscard]] std::vector<uint8_t> PaletteBytes(const PaletteWords& palette);  // 32 bytes, low byte first
[[nodiscard]] PaletteWords PaletteFromBytes(const uint8_t* bytes);             // reads 32 bytes

// Colour numbers (one per pixel, row by row) as tiles; width and height are multiples of 8.
[[nodiscard]] std::vector<uint8_t> EncodeTiles(const std::vector<uint8_t>& indexes, int width, int height);

struct FrontSprite {
    std::vector<uint8_t> tiles;     // the first (or only) 64x64 frame
    std::vector<uint8_t> animated;  // with twoFrames: both frames (a 64x64 picture given twice)
    PaletteWords palette{};
    int colours = 0;       // colours the picture uses, colour 0 included
    bool rounded = false;  // a colour had to be rounded to 15 bits
    std::string error;     // set when the picture cannot be the front sprite
};
// At most 16 colours; the top-left pixel's colour (and every transparent pixel) becomes colour 0.
[[nodiscard]] FrontSprite ImportFrontSprite(const PixelImage& image, bool twoFrames);

struct BackSprite {
    std::vector<uint8_t> tiles;
    std::string error;
};
// Every colour must be one of the normal palette (compared as 15-bit colours); transparent pixels are 0.
[[nodiscard]] BackSprite ImportBackSprite(const PixelImage& image, const PaletteWords& normal);

struct ShinyPalette {
    PaletteWords palette{};
    bool rounded = false;
    std::string error;
};
// Each pixel's colour becomes the shiny colour of the front sprite's colour number at the same place
// (frontTiles: one 64x64 frame). Numbers the picture does not show keep their colour from `current`.
[[nodiscard]] ShinyPalette ImportShinyPalette(const PixelImage& image, const std::vector<uint8_t>& frontTiles,
                                              const PaletteWords& current);

struct Icon {
    std::vector<uint8_t> tiles;  // both frames
    int palette = 0;             // the first of iconPalettes that holds every colour
    std::string error;
};
[[nodiscard]] Icon ImportIcon(const PixelImage& image, const std::vector<PaletteWords>& iconPalettes);

}  // namespace PictureImport
