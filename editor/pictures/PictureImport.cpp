#include "pictures/PictureImport.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

namespace PictureImport {
namespace {

constexpr int kSpriteSide = 64;
constexpr int kIconSide = 32;
constexpr int kTileSide = 8;
constexpr int kColours = 16;
// Every pixel with alpha 0 is the one transparent colour, whatever its other channels hold.
constexpr uint32_t kTransparent = 0;

uint32_t Key(uint32_t argb) {
    return argb >> 24 == 0 ? kTransparent : argb | 0xFF000000u;
}

std::string ColourText(uint32_t key) {
    if (key == kTransparent) return "transparent";
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(key & 0xFFFFFFu));
    return text;
}

std::string At(const PixelImage& image, std::size_t pixel) {
    const std::size_t width = static_cast<std::size_t>(image.width);
    return "pixel (" + std::to_string(pixel % width) + ", " + std::to_string(pixel / width) + ")";
}

bool RoundedColour(uint32_t key) {
    return key != kTransparent && (ShownColour(ToBgr555(key)) & 0xFFFFFFu) != (key & 0xFFFFFFu);
}

// The number of `colour` in the palette: a colour that is also colour 0 is taken for a visible one.
int Find(const PaletteWords& palette, uint16_t colour) {
    for (int n = 1; n < kColours; ++n) {
        if (palette[n] == colour) return n;
    }
    return palette[0] == colour ? 0 : -1;
}

// The pixels' colour numbers, each new colour looked up once; a colour the lookup gives -1 for is refused
// with `missing` after its name and place.
template <class Lookup>
std::vector<uint8_t> Indexes(const PixelImage& image, Lookup lookup, const std::string& missing,
                             std::string* error) {
    std::vector<uint8_t> indexes(image.argb.size());
    uint32_t lastKey = kTransparent;
    int lastIndex = 0;
    for (std::size_t k = 0; k < image.argb.size(); ++k) {
        const uint32_t key = Key(image.argb[k]);
        if (key != lastKey) {
            lastIndex = key == kTransparent ? 0 : lookup(key);
            if (lastIndex < 0) {
                *error = "The colour " + ColourText(key) + " at " + At(image, k) + " " + missing;
                return {};
            }
            lastKey = key;
        }
        indexes[k] = static_cast<uint8_t>(lastIndex);
    }
    return indexes;
}

// The colours of a sprite in the order of their numbers: colour 0 first, then those of `start`, then the
// others as they first appear. Nothing when they need more than 16 numbers.
std::optional<std::vector<uint32_t>> Numbering(const PixelImage& image, std::vector<uint32_t> start) {
    std::vector<uint32_t> colours = std::move(start);
    uint32_t lastKey = kTransparent;
    for (const uint32_t argb : image.argb) {
        const uint32_t key = Key(argb);
        if (key == kTransparent || key == lastKey) continue;
        lastKey = key;
        if (std::find(colours.begin(), colours.end(), key) != colours.end()) continue;
        colours.push_back(key);
        if (colours.size() > kColours) return std::nullopt;
    }
    return colours;
}

// Colours of the picture, the transparent one and the top-left pixel's counted as one (colour 0).
std::size_t ColourCount(const PixelImage& image) {
    // A picture fit to import has at most 16 colours: a short list of those seen answers it in one pass.
    // Only a picture with more is sorted, so that the refusal can say how many it has.
    {
        const uint32_t first = Key(image.argb[0]);
        std::array<uint32_t, kColours> seen{};
        std::size_t count = 0;
        uint32_t last = kTransparent;
        bool few = true;
        for (const uint32_t argb : image.argb) {
            const uint32_t own = Key(argb);
            const uint32_t key = own == first ? kTransparent : own;
            if (count > 0 && key == last) continue;
            last = key;
            if (std::find(seen.begin(), seen.begin() + count, key) != seen.begin() + count) continue;
            if (count == seen.size()) {
                few = false;
                break;
            }
            seen[count++] = key;
        }
        if (few) return count;
    }
    std::vector<uint32_t> keys;
    keys.reserve(image.argb.size());
    const uint32_t first = Key(image.argb[0]);
    for (const uint32_t argb : image.argb) {
        const uint32_t key = Key(argb);
        keys.push_back(key == first ? kTransparent : key);
    }
    std::sort(keys.begin(), keys.end());
    return static_cast<std::size_t>(std::unique(keys.begin(), keys.end()) - keys.begin());
}

}  // namespace

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::FrontSprite:
            return "front sprite";
        case Kind::BackSprite:
            return "back sprite";
        case Kind::ShinyPalette:
            return "shiny palette";
        case Kind::Icon:
            return "icon";
    }
    return "";
}

std::string SizeProblem(Kind kind, bool twoFrames, int64_t width, int64_t height) {
    const bool icon = kind == Kind::Icon;
    const int64_t wantedWidth = icon ? kIconSide : kSpriteSide;
    const int64_t wantedHeight = icon ? 2 * kIconSide : kSpriteSide;
    if (width == wantedWidth && height == wantedHeight) return {};
    const bool animated = kind == Kind::FrontSprite && twoFrames;
    if (animated && width == kSpriteSide && height == 2 * kSpriteSide) return {};
    std::string wanted = std::to_string(wantedWidth) + " x " + std::to_string(wantedHeight) + " pixels";
    if (icon) wanted += " (two frames of 32 x 32, one above the other)";
    if (animated) wanted += ", or 64 x 128 for the two frames of the animated sprite";
    if (kind == Kind::ShinyPalette) wanted += ", the front sprite in its shiny colours";
    return "The picture is " + std::to_string(width) + " x " + std::to_string(height) + " pixels; the " +
           KindName(kind) + " must be " + wanted + ".";
}

namespace {

// The size check, and that the pixels are as many as the size says.
std::string ShapeProblem(Kind kind, bool twoFrames, const PixelImage& image) {
    std::string problem = SizeProblem(kind, twoFrames, image.width, image.height);
    if (problem.empty() && image.argb.size() != static_cast<std::size_t>(image.width) * image.height)
        problem = "The picture does not hold a colour for each of its pixels.";
    return problem;
}

}  // namespace

uint16_t ToBgr555(uint32_t argb) {
    const auto five = [](uint32_t eight) { return (eight * 31 + 127) / 255; };
    return static_cast<uint16_t>(five(argb >> 16 & 0xFF) | five(argb >> 8 & 0xFF) << 5 |
                                 five(argb & 0xFF) << 10);
}

uint32_t ShownColour(uint16_t bgr555) {
    const auto eight = [](uint32_t five) { return five << 3 | five >> 2; };
    return 0xFF000000u | eight(bgr555 & 0x1Fu) << 16 | eight(bgr555 >> 5 & 0x1Fu) << 8 |
           eight(bgr555 >> 10 & 0x1Fu);
}

std::vector<uint8_t> PaletteBytes(const PaletteWords& palette) {
    std::vector<uint8_t> bytes;
    bytes.reserve(kPaletteBytes);
    for (uint16_t colour : palette) {
        bytes.push_back(static_cast<uint8_t>(colour & 0xFF));
        bytes.push_back(static_cast<uint8_t>(colour >> 8));
    }
    return bytes;
}

PaletteWords PaletteFromBytes(const uint8_t* bytes) {
    PaletteWords palette{};
    for (int n = 0; n < kColours; ++n)
        palette[n] = static_cast<uint16_t>(bytes[2 * n] | bytes[2 * n + 1] << 8);
    return palette;
}

std::vector<uint8_t> EncodeTiles(const std::vector<uint8_t>& indexes, int width, int height) {
    std::vector<uint8_t> tiles;
    tiles.reserve(indexes.size() / 2);
    const auto at = [&](int x, int y) { return indexes[static_cast<std::size_t>(y) * width + x] & 0x0F; };
    for (int top = 0; top < height; top += kTileSide) {
        for (int left = 0; left < width; left += kTileSide) {
            for (int y = top; y < top + kTileSide; ++y) {
                for (int x = left; x < left + kTileSide; x += 2)
                    tiles.push_back(static_cast<uint8_t>(at(x, y) | at(x + 1, y) << 4));
            }
        }
    }
    return tiles;
}

FrontSprite ImportFrontSprite(const PixelImage& image, bool twoFrames) {
    FrontSprite sprite;
    sprite.error = ShapeProblem(Kind::FrontSprite, twoFrames, image);
    if (!sprite.error.empty()) return sprite;
    const std::size_t count = ColourCount(image);
    if (count > kColours) {
        sprite.error = "The picture has " + std::to_string(count) +
                       " colours; a sprite can have at most 16, the top-left pixel's colour (the transparent "
                       "one) included.";
        return sprite;
    }

    // Colour 0 is the top-left pixel's; an indexed file whose first colour it is keeps its numbering.
    const uint32_t zero = Key(image.argb[0]);
    std::optional<std::vector<uint32_t>> colours;
    if (!image.colourTable.empty() && image.colourTable.size() <= kColours &&
        Key(image.colourTable[0]) == zero) {
        std::vector<uint32_t> table;
        for (const uint32_t argb : image.colourTable) table.push_back(Key(argb));
        colours = Numbering(image, table);
    }
    if (!colours) colours = Numbering(image, {zero});
    if (!colours) {
        sprite.error = "The colours of the picture need more than 16 numbers.";
        return sprite;
    }
    const auto number = [&colours, zero](uint32_t key) {
        return key == zero
                   ? 0
                   : static_cast<int>(std::find(colours->begin(), colours->end(), key) - colours->begin());
    };
    const std::vector<uint8_t> indexes = Indexes(image, number, "has no colour number.", &sprite.error);
    if (!sprite.error.empty()) return sprite;
    std::array<bool, kColours> used{};
    used[0] = true;
    for (const uint8_t n : indexes) used[n] = true;
    for (std::size_t n = 0; n < colours->size(); ++n) {
        if (!used[n]) continue;
        ++sprite.colours;
        sprite.palette[n] = ToBgr555((*colours)[n]);
        sprite.rounded = sprite.rounded || RoundedColour((*colours)[n]);
    }
    const std::vector<uint8_t> all = EncodeTiles(indexes, image.width, image.height);
    sprite.tiles.assign(all.begin(), all.begin() + kSpriteTileBytes);
    if (twoFrames) {
        sprite.animated = all;
        if (all.size() == kSpriteTileBytes)
            sprite.animated.insert(sprite.animated.end(), all.begin(), all.end());
    }
    return sprite;
}

BackSprite ImportBackSprite(const PixelImage& image, const PaletteWords& normal) {
    BackSprite sprite;
    sprite.error = ShapeProblem(Kind::BackSprite, false, image);
    if (!sprite.error.empty()) return sprite;
    const std::vector<uint8_t> indexes = Indexes(
        image, [&](uint32_t key) { return Find(normal, ToBgr555(key)); },
        "is not in the species' normal palette.", &sprite.error);
    if (sprite.error.empty()) sprite.tiles = EncodeTiles(indexes, image.width, image.height);
    return sprite;
}

ShinyPalette ImportShinyPalette(const PixelImage& image, const std::vector<uint8_t>& frontTiles,
                                const PaletteWords& current) {
    ShinyPalette shiny;
    shiny.palette = current;
    shiny.error = ShapeProblem(Kind::ShinyPalette, false, image);
    if (!shiny.error.empty()) return shiny;
    if (frontTiles.size() < kSpriteTileBytes) {
        shiny.error = "The front sprite has no 64 x 64 picture to take the colour numbers from.";
        return shiny;
    }
    // Where each colour number was first seen, so that a second colour for it can name both pixels.
    std::array<std::size_t, kColours> firstSeen;
    firstSeen.fill(image.argb.size());
    for (std::size_t k = 0; k < image.argb.size(); ++k) {
        const uint32_t key = Key(image.argb[k]);
        if (key == kTransparent) continue;
        const int x = static_cast<int>(k) % kSpriteSide, y = static_cast<int>(k) / kSpriteSide;
        const std::size_t byte =
            static_cast<std::size_t>((y / kTileSide * (kSpriteSide / kTileSide) + x / kTileSide) * 32 +
                                     y % kTileSide * 4 + x % kTileSide / 2);
        const int n = x % 2 == 0 ? frontTiles[byte] & 0x0F : frontTiles[byte] >> 4;
        const uint16_t colour = ToBgr555(key);
        if (firstSeen[n] == image.argb.size()) {
            firstSeen[n] = k;
            shiny.palette[n] = colour;
            shiny.rounded = shiny.rounded || RoundedColour(key);
        } else if (shiny.palette[n] != colour) {
            shiny.error = "The colours " + ColourText(Key(image.argb[firstSeen[n]])) + " at " +
                          At(image, firstSeen[n]) + " and " + ColourText(key) + " at " + At(image, k) +
                          " stand where the front sprite has the same colour (number " + std::to_string(n) +
                          "); one colour number has one shiny colour.";
            return shiny;
        }
    }
    return shiny;
}

Icon ImportIcon(const PixelImage& image, const std::vector<PaletteWords>& iconPalettes) {
    Icon icon;
    icon.error = ShapeProblem(Kind::Icon, false, image);
    if (!icon.error.empty()) return icon;
    if (iconPalettes.empty()) {
        icon.error =
            "The game's icon palettes are not known: its section of Data.ini has no IconPaletteTable.";
        return icon;
    }
    const int count = static_cast<int>(std::min<std::size_t>(iconPalettes.size(), 8));
    const auto names = [count] { return "Pal 1 to Pal " + std::to_string(count); };
    // Narrows the palettes that hold every colour so far; the first colour that leaves none is named.
    unsigned holding = (1u << count) - 1;
    uint32_t lastKey = kTransparent;
    for (std::size_t k = 0; k < image.argb.size(); ++k) {
        const uint32_t key = Key(image.argb[k]);
        if (key == kTransparent || key == lastKey) continue;
        lastKey = key;
        unsigned holders = 0;
        for (int p = 0; p < count; ++p) holders |= Find(iconPalettes[p], ToBgr555(key)) >= 0 ? 1u << p : 0u;
        if (holders == 0) {
            icon.error = "The colour " + ColourText(key) + " at " + At(image, k) +
                         " is in none of the icon palettes (" + names() + ").";
            return icon;
        }
        if ((holding & holders) == 0) {
            icon.error = "No icon palette holds all the colours of the picture: the colour " +
                         ColourText(key) + " at " + At(image, k) +
                         " is not in the palette that holds the colours before it.";
            return icon;
        }
        holding &= holders;
    }
    while ((holding & 1u << icon.palette) == 0) ++icon.palette;
    const PaletteWords& palette = iconPalettes[static_cast<std::size_t>(icon.palette)];
    const std::vector<uint8_t> indexes = Indexes(
        image, [&](uint32_t key) { return Find(palette, ToBgr555(key)); }, "is not in the icon palette.",
        &icon.error);
    if (icon.error.empty()) icon.tiles = EncodeTiles(indexes, image.width, image.height);
    return icon;
}

}  // namespace PictureImport
