#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "pictures/PictureImport.h"

// A footprint as the games store it: 16x16 pixels of one bit in four 8x8 tiles (top left, top right, bottom
// left, bottom right), a byte per row of a tile, its lowest bit the leftmost pixel, a set bit the print.
namespace Footprint {

inline constexpr int kSide = 16;
inline constexpr int kTileSide = 8;
inline constexpr std::size_t kBytes = 32;

using Bytes = std::array<uint8_t, kBytes>;
using Pixels = std::array<bool, kSide * kSide>;  // row by row, true where the print is

[[nodiscard]] Pixels Decode(const Bytes& bytes);
[[nodiscard]] Bytes Encode(const Pixels& pixels);

// Empty when a picture of width x height may be a footprint; otherwise why not, as a sentence. Asked before
// a picture is decoded, so a huge file costs nothing.
[[nodiscard]] std::string SizeProblem(int64_t width, int64_t height);

struct FromPixelsResult {
    Bytes bytes{};
    std::string error;  // set when the picture cannot be a footprint: why, as a sentence
};

// A 16x16 picture of at most two colours; the darker one is the print. A fully transparent pixel is ground,
// never print; a picture of one colour is all print when that colour is dark, else empty ground.
[[nodiscard]] FromPixelsResult FromPixels(const PixelImage& image);

}  // namespace Footprint
