#include "species/Footprint.h"

#include <algorithm>
#include <vector>

namespace Footprint {

namespace {

// The byte and bit of pixel (x, y).
std::size_t ByteOf(int x, int y) {
    const int tile = (y / kTileSide) * 2 + x / kTileSide;
    return static_cast<std::size_t>(tile * kTileSide + y % kTileSide);
}

// Perceived brightness out of 255 000; a transparent pixel counts as the brightest ground.
int Brightness(uint32_t argb) {
    if ((argb >> 24) == 0) return 255000 + 1;
    const int r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    return 299 * r + 587 * g + 114 * b;
}

constexpr int kDarkBelow = 255000 / 2;

}  // namespace

Pixels Decode(const Bytes& bytes) {
    Pixels pixels{};
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) pixels[y * kSide + x] = (bytes[ByteOf(x, y)] >> (x % kTileSide)) & 1;
    }
    return pixels;
}

Bytes Encode(const Pixels& pixels) {
    Bytes bytes{};
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            if (pixels[y * kSide + x]) bytes[ByteOf(x, y)] |= static_cast<uint8_t>(1 << (x % kTileSide));
        }
    }
    return bytes;
}

std::string SizeProblem(int64_t width, int64_t height) {
    if (width == kSide && height == kSide) return {};
    return "A footprint is 16 x 16 pixels; the picture has " + std::to_string(width) + " x " +
           std::to_string(height) + ".";
}

FromPixelsResult FromPixels(const PixelImage& image) {
    FromPixelsResult result;
    result.error = SizeProblem(image.width, image.height);
    if (result.error.empty() && image.argb.size() != static_cast<std::size_t>(kSide * kSide))
        result.error = "The picture holds " + std::to_string(image.argb.size()) + " pixels, not 16 x 16.";
    if (!result.error.empty()) return result;
    // Every transparent pixel is one colour, whatever its other bits say.
    const auto colourOf = [](uint32_t argb) { return (argb >> 24) == 0 ? 0u : argb; };
    std::vector<uint32_t> colours;
    for (std::size_t k = 0; k < image.argb.size(); ++k) {
        const uint32_t colour = colourOf(image.argb[k]);
        if (std::find(colours.begin(), colours.end(), colour) != colours.end()) continue;
        if (colours.size() == 2) {
            result.error =
                "A footprint has two colours, the print and the ground; the picture has a third at "
                "pixel (" +
                std::to_string(k % kSide) + ", " + std::to_string(k / kSide) + ").";
            return result;
        }
        colours.push_back(colour);
    }
    uint32_t print = colours[0];
    if (colours.size() == 2) {
        print = Brightness(colours[1]) < Brightness(colours[0]) ? colours[1] : colours[0];
    } else if (Brightness(print) >= kDarkBelow) {
        return result;  // all ground
    }
    Pixels pixels{};
    for (std::size_t k = 0; k < image.argb.size(); ++k) pixels[k] = colourOf(image.argb[k]) == print;
    result.bytes = Encode(pixels);
    return result;
}

}  // namespace Footprint
