#include "pictures/SpritePictures.h"

#include "FileDescriptor.h"

// POSIX file access as in core/HexFunctions.cpp: one open, a pread for each part the picture needs, one
// close.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>

namespace SpritePictures {
namespace {

constexpr std::size_t kLz77HeaderSize = 4;
constexpr uint8_t kLz77Type = 0x10;
constexpr std::size_t kTileBytes = 32;
constexpr int kTileSide = 8;
constexpr std::size_t kSpriteBytes = 8 * 8 * kTileBytes;     // one 64x64 frame
constexpr std::size_t kIconFrameBytes = 4 * 4 * kTileBytes;  // one 32x32 frame
constexpr std::size_t kPaletteBytes = 32;
constexpr int kColours = 16;
// The console has 16 sprite palettes, so no icon palette number beyond 15 can be meant.
constexpr int kMaxIconPalette = 15;
constexpr uint32_t kRomBase = 0x08000000;
constexpr uint32_t kRomEnd = 0x0A000000;  // the cartridge window is 32 MiB
// Keeps a corrupt tile count from asking for an allocation beyond any real picture.
constexpr int kMaxTilesPerSide = 1024;

// Which data a problem text is about: " at 1A2B3C" and "a sprite", or empty for bytes given from memory.
struct Context {
    std::string where;
    std::string what;
};

std::string Hex(int64_t value) {
    char text[24];
    if (value < 0) {
        std::snprintf(text, sizeof text, "-%llX", static_cast<unsigned long long>(-value));
    } else {
        std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
    }
    return text;
}

std::string HexByte(uint8_t value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

Picture Problem(std::string text) {
    Picture picture;
    picture.problem = std::move(text);
    return picture;
}

std::optional<std::vector<uint8_t>> Unpack(const uint8_t* data, std::size_t size, std::size_t wanted,
                                           const Context& context, std::string* problem) {
    const auto fail = [problem](std::string text) -> std::optional<std::vector<uint8_t>> {
        if (problem != nullptr) *problem = std::move(text);
        return std::nullopt;
    };
    if (data == nullptr || size < kLz77HeaderSize) {
        return fail("The data" + context.where + " is too short for an LZ77 header.");
    }
    if (data[0] != kLz77Type)
        return fail("No LZ77 data" + context.where + " (header " + HexByte(data[0]) + ").");
    const std::size_t declared = static_cast<std::size_t>(data[1]) | static_cast<std::size_t>(data[2]) << 8 |
                                 static_cast<std::size_t>(data[3]) << 16;
    if (declared < wanted) {
        return fail("The LZ77 data" + context.where + " holds only " + std::to_string(declared) + " of the " +
                    std::to_string(wanted) + " bytes " +
                    (context.what.empty() ? std::string("wanted") : context.what + " needs") + ".");
    }

    // Sized once and written by index: the preview decodes on every selection.
    std::vector<uint8_t> out(wanted);
    std::size_t pos = 0;
    std::size_t in = kLz77HeaderSize;
    const auto endedEarly = [&]() {
        return fail("The LZ77 data" + context.where + " ends before " +
                    (context.what.empty() ? std::to_string(wanted) + " bytes are unpacked"
                                          : context.what + " is complete") +
                    ".");
    };
    while (pos < wanted) {
        if (in >= size) return endedEarly();
        const uint8_t flags = data[in++];
        for (int bit = 7; bit >= 0 && pos < wanted; --bit) {
            if ((flags >> bit & 1) == 0) {
                if (in >= size) return endedEarly();
                out[pos++] = data[in++];
                continue;
            }
            if (size - in < 2) return endedEarly();
            const std::size_t length = static_cast<std::size_t>(data[in] >> 4) + 3;
            const std::size_t distance = (static_cast<std::size_t>(data[in] & 0x0F) << 8 | data[in + 1]) + 1;
            in += 2;
            if (distance > pos) {
                return fail("A back-reference at byte " + std::to_string(pos) + " of the LZ77 data" +
                            context.where + " points before its start.");
            }
            // Byte by byte, because a distance shorter than the length repeats what this copy produces.
            const std::size_t end = pos + std::min(length, wanted - pos);
            for (; pos < end; ++pos) out[pos] = out[pos - distance];
        }
    }
    return out;
}

// The ROM opened once for one picture, with its length known so that no read goes past the end.
class RomFile {
public:
    explicit RomFile(const std::string& path) : file_(FileDescriptor::Open(path, O_RDONLY)) {
        struct stat info {};
        if (file_.valid() && ::fstat(file_.get(), &info) == 0 && S_ISREG(info.st_mode)) size_ = info.st_size;
    }

    // Set when the file cannot be used at all.
    [[nodiscard]] std::optional<std::string> Unusable() const {
        if (!file_.valid()) return std::string("The ROM file cannot be opened.");
        if (size_ < 0) return std::string("The ROM file is not a readable file.");
        return std::nullopt;
    }

    // Checks that offset lies inside the file; the text says why not.
    [[nodiscard]] std::optional<std::string> CheckOffset(int64_t offset) const {
        if (offset < 0) return "Offset " + Hex(offset) + " lies before the start of the file.";
        if (offset >= size_) return "Pointer " + Hex(offset) + " lies beyond the end of the file.";
        return std::nullopt;
    }

    // Up to count bytes from offset, fewer where the file ends; nothing when the read fails.
    [[nodiscard]] std::optional<std::vector<uint8_t>> Read(int64_t offset, std::size_t count) const {
        const int64_t available = std::max<int64_t>(0, size_ - offset);
        std::vector<uint8_t> bytes(static_cast<std::size_t>(std::min<int64_t>(available, count)));
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t result = ::pread(file_.get(), bytes.data() + got, bytes.size() - got,
                                           static_cast<off_t>(offset + static_cast<int64_t>(got)));
            if (result < 0 && errno == EINTR) continue;
            if (result < 0) return std::nullopt;
            if (result == 0) break;  // the file shrank since it was opened
            got += static_cast<std::size_t>(result);
        }
        bytes.resize(got);
        return bytes;
    }

    // The wanted unpacked bytes of the LZ77 data at offset. Reads no more than the worst case of the format
    // needs: the header and, for each group of eight literal bytes, a flag byte.
    [[nodiscard]] std::optional<std::vector<uint8_t>> Unpacked(int64_t offset, std::size_t wanted,
                                                               const std::string& what,
                                                               std::string* problem) const {
        if (auto bad = CheckOffset(offset)) {
            *problem = *bad;
            return std::nullopt;
        }
        const std::size_t worstCase = kLz77HeaderSize + wanted + (wanted + 7) / 8;
        const auto packed = Read(offset, worstCase);
        if (!packed) {
            *problem = "The file cannot be read at " + Hex(offset) + ".";
            return std::nullopt;
        }
        return Unpack(packed->data(), packed->size(), wanted, Context{" at " + Hex(offset), what}, problem);
    }

    // The 32 bytes of icon palette `number`, found through its entry in the table (8 bytes each, a ROM
    // pointer first).
    [[nodiscard]] std::optional<std::vector<uint8_t>> IconPalette(int32_t table, int number,
                                                                  std::string* problem) const {
        const auto fail = [problem](std::string text) -> std::optional<std::vector<uint8_t>> {
            *problem = std::move(text);
            return std::nullopt;
        };
        if (number < 0 || number > kMaxIconPalette) {
            return fail("Icon palette " + std::to_string(number) + " is not one of 0 to " +
                        std::to_string(kMaxIconPalette) + ".");
        }
        const int64_t entry = static_cast<int64_t>(table) + 8 * static_cast<int64_t>(number);
        if (auto bad = CheckOffset(entry)) return fail("Icon palette table: " + *bad);
        const auto pointerBytes = Read(entry, 4);
        if (!pointerBytes || pointerBytes->size() < 4)
            return fail("The icon palette table entry at " + Hex(entry) + " ends with the file.");
        const uint32_t pointer =
            static_cast<uint32_t>((*pointerBytes)[0]) | static_cast<uint32_t>((*pointerBytes)[1]) << 8 |
            static_cast<uint32_t>((*pointerBytes)[2]) << 16 | static_cast<uint32_t>((*pointerBytes)[3]) << 24;
        if (pointer < kRomBase || pointer >= kRomEnd) {
            return fail("Icon palette " + std::to_string(number) + " has no ROM pointer (" + Hex(pointer) +
                        ").");
        }
        const int64_t colourOffset = static_cast<int64_t>(pointer - kRomBase);
        if (auto bad = CheckOffset(colourOffset)) return fail("Icon palette: " + *bad);
        auto colours = Read(colourOffset, kPaletteBytes);
        if (!colours || colours->size() < kPaletteBytes)
            return fail("The icon palette at " + Hex(colourOffset) + " ends with the file.");
        return colours;
    }

    [[nodiscard]] int64_t size() const { return size_; }

private:
    FileDescriptor file_;
    int64_t size_ = -1;
};

Palette GreyLevels() {
    Palette palette(kColours, 0);
    for (int colour = 1; colour < kColours; ++colour) {
        const uint32_t level = static_cast<uint32_t>(255 - (colour - 1) * 255 / (kColours - 2));
        palette[colour] = 0xFF000000u | level << 16 | level << 8 | level;
    }
    return palette;
}

}  // namespace

std::optional<std::vector<uint8_t>> Decompress(const uint8_t* data, std::size_t size, std::size_t wanted,
                                               std::string* problem) {
    return Unpack(data, size, wanted, Context{}, problem);
}

uint32_t BgrToArgb(uint16_t bgr555) {
    const auto scale = [](uint32_t v) { return v << 3 | v >> 2; };
    const uint32_t red = scale(bgr555 & 0x1Fu);
    const uint32_t green = scale(bgr555 >> 5 & 0x1Fu);
    const uint32_t blue = scale(bgr555 >> 10 & 0x1Fu);
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

Palette DecodePalette(const uint8_t* bytes) {
    Palette palette(kColours, 0);
    for (int colour = 1; colour < kColours; ++colour) {
        palette[colour] = BgrToArgb(static_cast<uint16_t>(bytes[2 * colour] | bytes[2 * colour + 1] << 8));
    }
    return palette;
}

Picture DecodeTiles(const uint8_t* tiles, std::size_t size, int widthTiles, int heightTiles,
                    const Palette& palette) {
    if (widthTiles <= 0 || heightTiles <= 0 || widthTiles > kMaxTilesPerSide ||
        heightTiles > kMaxTilesPerSide) {
        return Problem("A picture of " + std::to_string(widthTiles) + " x " + std::to_string(heightTiles) +
                       " tiles cannot be shown.");
    }
    const std::size_t needed =
        static_cast<std::size_t>(widthTiles) * static_cast<std::size_t>(heightTiles) * kTileBytes;
    if (tiles == nullptr || size < needed) {
        return Problem("The picture needs " + std::to_string(needed) + " bytes of tiles but has only " +
                       std::to_string(tiles == nullptr ? 0 : size) + ".");
    }
    Picture picture;
    picture.width = widthTiles * kTileSide;
    picture.height = heightTiles * kTileSide;
    picture.argb.resize(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height));
    // A palette with fewer than 16 colours shows the missing ones as transparent rather than reading past it.
    std::array<uint32_t, 16> colours{};
    std::copy_n(palette.begin(), std::min<std::size_t>(palette.size(), colours.size()), colours.begin());
    const uint8_t* bytes = tiles;
    for (int tileRow = 0; tileRow < heightTiles; ++tileRow) {
        for (int tileColumn = 0; tileColumn < widthTiles; ++tileColumn) {
            for (int y = 0; y < kTileSide; ++y) {
                uint32_t* line = picture.argb.data() +
                                 static_cast<std::size_t>(tileRow * kTileSide + y) * picture.width +
                                 tileColumn * kTileSide;
                for (int x = 0; x < kTileSide; x += 2, ++bytes) {
                    line[x] = colours[*bytes & 0x0Fu];
                    line[x + 1] = colours[*bytes >> 4];
                }
            }
        }
    }
    return picture;
}

Picture ReadSprite(const std::string& romPath, int32_t spriteOffset, int32_t paletteOffset) {
    return ReadSprite(romPath, PictureSource{spriteOffset}, PictureSource{paletteOffset});
}

Picture ReadSprite(const std::string& romPath, PictureSource tiles, PictureSource palette) {
    std::optional<RomFile> rom;
    if (!tiles.replaced || !palette.replaced) {
        rom.emplace(romPath);
        if (auto unusable = rom->Unusable()) return Problem(*unusable);
    }
    std::string problem;
    const auto unpacked = [&](PictureSource source, std::size_t wanted, const char* what) {
        if (source.replaced) {
            if (source.replaced->size() >= wanted)
                return std::optional<std::vector<uint8_t>>(*source.replaced);
            problem = std::string("The imported data of ") + what + " is too short.";
            return std::optional<std::vector<uint8_t>>();
        }
        return rom->Unpacked(source.offset, wanted, what, &problem);
    };
    const auto spriteTiles = unpacked(tiles, kSpriteBytes, "a sprite");
    if (!spriteTiles) return Problem(problem);
    const auto colours = unpacked(palette, kPaletteBytes, "a palette");
    if (!colours) return Problem(problem);
    return DecodeTiles(spriteTiles->data(), spriteTiles->size(), kSpriteSize / kTileSide,
                       kSpriteSize / kTileSide, DecodePalette(colours->data()));
}

std::optional<std::vector<uint8_t>> ReadUnpacked(const std::string& romPath, int32_t offset,
                                                 std::size_t wanted, std::string* problem) {
    const RomFile rom(romPath);
    if (auto unusable = rom.Unusable()) {
        *problem = *unusable;
        return std::nullopt;
    }
    return rom.Unpacked(offset, wanted, {}, problem);
}

Picture ReadIcon(const std::string& romPath, int32_t iconOffset, int paletteNumber,
                 std::optional<int32_t> paletteTable) {
    return ReadIcon(romPath, PictureSource{iconOffset}, paletteNumber, paletteTable);
}

Picture ReadIcon(const std::string& romPath, PictureSource icon, int paletteNumber,
                 std::optional<int32_t> paletteTable) {
    const RomFile rom(romPath);
    if (auto unusable = rom.Unusable()) return Problem(*unusable);
    std::optional<std::vector<uint8_t>> tiles;
    if (icon.replaced) {
        tiles = *icon.replaced;
    } else {
        if (auto bad = rom.CheckOffset(icon.offset)) return Problem(*bad);
        tiles = rom.Read(icon.offset, kIconFrameBytes);
        if (!tiles) return Problem("The file cannot be read at " + Hex(icon.offset) + ".");
    }
    if (tiles->size() < kIconFrameBytes) {
        return Problem("The icon at " + Hex(icon.offset) + " needs " + std::to_string(kIconFrameBytes) +
                       " bytes but the file ends after " + std::to_string(tiles->size()) + ".");
    }

    Palette palette = GreyLevels();
    if (paletteTable) {
        std::string problem;
        const auto colours = rom.IconPalette(*paletteTable, paletteNumber, &problem);
        if (!colours) return Problem(problem);
        palette = DecodePalette(colours->data());
    }
    const int side = kIconSize / kTileSide;
    return DecodeTiles(tiles->data(), tiles->size(), side, side, palette);
}

std::optional<std::vector<uint8_t>> ReadIconPalette(const std::string& romPath, int32_t paletteTable,
                                                    int number, std::string* problem) {
    const RomFile rom(romPath);
    if (auto unusable = rom.Unusable()) {
        *problem = *unusable;
        return std::nullopt;
    }
    return rom.IconPalette(paletteTable, number, problem);
}

}  // namespace SpritePictures
