#include <random>
#include <string_view>

#include "EditorTest.h"
#include "pictures/Lz77Compressor.h"
#include "pictures/SpritePictures.h"

namespace {

using namespace SpritePictures;

// A back-reference as the format stores it: length 3..18, distance 1..4096.
Bytes Reference(int length, int distance) {
    return {static_cast<uint8_t>((length - 3) << 4 | (distance - 1) >> 8),
            static_cast<uint8_t>((distance - 1) & 0xFF)};
}

Bytes Header(std::size_t size, uint8_t type = 0x10) {
    return {type, static_cast<uint8_t>(size & 0xFF), static_cast<uint8_t>(size >> 8 & 0xFF),
            static_cast<uint8_t>(size >> 16 & 0xFF)};
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes RandomBytes(std::size_t size, uint32_t start) {
    std::mt19937 generator(start);
    Bytes data(size);
    for (uint8_t& byte : data) byte = static_cast<uint8_t>(generator());
    return data;
}

Bytes Text(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// Data stored as literals only, a flag byte of zeros before every eight, under a header that claims size.
Bytes Literals(const Bytes& data, std::size_t size) {
    Bytes packed = Header(size);
    for (std::size_t k = 0; k < data.size(); ++k) {
        if (k % 8 == 0) packed.push_back(0x00);
        packed.push_back(data[k]);
    }
    return packed;
}

TEST(Decompress, HandMadeDataGivesTheWantedBytesOrTheReason) {
    // 4096 literals, then the longest reference from the farthest distance copies the first 18 again.
    const Bytes first = RandomBytes(4096, 1);
    const Bytes farthest = Join({Literals(first, 4096 + 18), {0x80}, Reference(18, 4096)});
    const Bytes farthestOut = Join({first, Bytes(first.begin(), first.begin() + 18)});
    const std::vector<std::tuple<Bytes, std::size_t, Bytes, const char*>> cases = {
        {Literals(Text("abcde"), 5), 5, Text("abcde"), nullptr},
        {Join({Header(8), {0x00}, Text("abc")}), 3, Text("abc"), nullptr},
        {Join({Header(8), {0x20}, Text("ab"), Reference(6, 2)}), 8, Text("abababab"), nullptr},
        {Join({Header(20), {0x40}, Text("z"), Reference(18, 1)}), 5, Text("zzzzz"), nullptr},
        {Join({Header(7), {0x10}, Text("pqr"), Reference(3, 3), Text("s")}), 7, Text("pqrpqrs"), nullptr},
        {farthest, 4096 + 18, farthestOut, nullptr},
        {Join({Header(4, 0x11), {0x00, 1, 2, 3, 4}}), 4, {}, "(header 11)"},
        {{0x10, 0x04, 0x00}, 4, {}, "too short"},
        {Join({Header(512), {0x00, 1, 2, 3}}), 2048, {}, "holds only 512 of the 2048 bytes"},
        {Join({Header(8), {0x80}, Reference(3, 1)}), 8, {}, "back-reference at byte 0"},
        {Join({Header(8), {0x20, 'a', 'b'}, Reference(3, 3)}), 8, {}, "back-reference at byte 2"},
        {Join({Header(9), {0x00, 1, 2, 3, 4, 5, 6, 7, 8}}), 9, {}, "ends before"},
        {Join({Header(4), {0x00, 1, 2}}), 4, {}, "ends before"},
        {Join({Header(8), {0x40, 'a', 0x30}}), 8, {}, "ends before"}};
    for (const auto& [data, wanted, expected, reason] : cases) {
        std::string problem;
        const auto out = Decompress(data.data(), data.size(), wanted, &problem);
        EXPECT_EQ(out, reason ? std::nullopt : std::optional(expected)) << problem;
        EXPECT_NE(problem.find(reason ? reason : ""), std::string::npos) << problem;
        EXPECT_EQ(Decompress(data.data(), data.size(), wanted, nullptr), out);
    }
}

std::size_t ShortestDistance(const Bytes& packed, std::size_t size) {
    std::size_t in = 4, out = 0, shortest = 4097;
    while (out < size && in < packed.size()) {
        const uint8_t flags = packed[in++];
        for (int bit = 7; bit >= 0 && out < size; --bit, ++in) {
            const bool reference = flags >> bit & 1;
            if (reference)
                shortest = std::min<std::size_t>(shortest, ((packed[in] & 0xFu) << 8 | packed[in + 1]) + 1);
            out += reference ? (packed[in++] >> 4) + 3u : 1u;
        }
    }
    return shortest;
}

TEST(Compress, RoundTripsWordAlignedWithoutDistanceOne) {
    Bytes periodic(3001), farRepeat = RandomBytes(4096, 4);
    for (std::size_t k = 0; k < periodic.size(); ++k) periodic[k] = "abc"[k % 3];
    farRepeat.insert(farRepeat.end(), farRepeat.begin(), farRepeat.begin() + 600);
    for (const Bytes& data : {Bytes{}, Bytes{0x42}, RandomBytes(2048, 2), RandomBytes(20000, 3),
                              Bytes(10000, 0), periodic, farRepeat}) {
        SCOPED_TRACE(data.size());
        const Bytes packed = Lz77::Compress(data);
        EXPECT_EQ(packed.size() % 4, 0u) << "ROM data is word-aligned";
        // Never larger than the data stored as literals: the header, the bytes and a flag byte per eight.
        EXPECT_LE(packed.size(), (4 + data.size() + (data.size() + 7) / 8 + 3) & ~std::size_t{3});
        std::string problem;
        const auto out = Decompress(packed.data(), packed.size(), data.size(), &problem);
        ASSERT_TRUE(out.has_value()) << problem;
        EXPECT_EQ(*out, data);
        // Distance 1 breaks the console's unpacking into video memory, which writes 16 bits at a time.
        EXPECT_GE(ShortestDistance(packed, data.size()), 2u);
    }
    EXPECT_LT(Lz77::Compress(Bytes(2048, 0)).size(), 300u);
    // The repeat at the farthest distance the format reaches is a reference, not 600 literals.
    EXPECT_LT(Lz77::Compress(farRepeat).size(), 4800u);
    EXPECT_TRUE(Lz77::Compress(Bytes(Lz77::kMaxInput + 1, 0)).empty());
}

// Colour n of this palette is 0xFF000000 + n, so a decoded pixel tells its colour number.
Palette NumberedPalette() {
    Palette palette(16, 0);
    for (uint32_t n = 1; n < 16; ++n) palette[n] = 0xFF000000u | n;
    return palette;
}

// Tiles row by row, 32 bytes each, byte k holding pixels (2k mod 8, 2k / 8) low nibble first.
TEST(DecodeTiles, EveryPixelLandsWhereTheFormatPutsIt) {
    const std::vector<std::function<int(int, int)>> patterns = {
        [](int x, int y) { return (x / 8 + y / 8) % 16; }, [](int x, int) { return x % 2 == 0 ? 3 : 12; },
        [](int, int y) { return y % 8 + 1; }, [](int x, int y) { return (x * 5 + y * 3 + x / 8 * 7) % 16; }};
    for (int side : {8, 4}) {
        for (const auto& colour : patterns) {
            Bytes tiles(static_cast<std::size_t>(side * side * 32));
            for (int k = 0; k < side * side * 32; ++k) {
                const int x = k / 32 % side * 8 + 2 * k % 8, y = k / 32 / side * 8 + k % 32 / 4;
                tiles[k] = static_cast<uint8_t>(colour(x, y) | colour(x + 1, y) << 4);
            }
            const Picture p = DecodeTiles(tiles.data(), tiles.size(), side, side, NumberedPalette());
            ASSERT_TRUE(p.ok()) << p.problem;
            ASSERT_EQ(p.argb.size(), static_cast<std::size_t>(64 * side * side));
            int wrong = 0;
            for (int i = 0; i < side * side * 64; ++i) {
                wrong += static_cast<int>(p.argb[i] & 0xFF) != colour(i % (side * 8), i / (side * 8));
            }
            EXPECT_EQ(wrong, 0) << side;
        }
    }
    const Bytes tooFew(2047, 0x11);
    EXPECT_FALSE(DecodeTiles(tooFew.data(), tooFew.size(), 8, 8, NumberedPalette()).ok());
}

// A palette's byte order and its transparent colour 0: PictureRoundTrip, against PictureImport's ShownColour.
TEST(PaletteColours, BgrToArgbScalesEachChannel) {
    const std::vector<std::pair<uint16_t, uint32_t>> cases = {
        {0x0000, 0xFF000000}, {0x7FFF, 0xFFFFFFFF}, {0x001F, 0xFFFF0000}, {0x03E0, 0xFF00FF00},
        {0x7C00, 0xFF0000FF}, {0x0010, 0xFF840000}, {0x8000, 0xFF000000}, {0x3D6B, 0xFF5A5A7B}};
    for (const auto& [bgr, argb] : cases) EXPECT_EQ(BgrToArgb(bgr), argb) << bgr;
}

class BuiltRomTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(builder_.WriteTo(path_)); }
    int32_t Target(int64_t entry) const { return int32_t(PointerTarget(builder_.bytes(), entry)); }
    int32_t Front(int i) const { return Target(layout().ImageOffset + 8 * i); }
    int32_t Colours(int i) const { return Target(layout().PaletteOffset + 8 * i); }
    int32_t Icon(int i) const { return Target(layout().IconOffset + 4 * i); }
    const RomLayout& layout() const { return builder_.layout(); }

    TempDir dir_;
    RomBuilder builder_{DemoLayout()};
    std::string path_ = dir_.File("demo.gba");
};

TEST_F(BuiltRomTest, SpritesAndIconsAreReadWholeAndIconsTurnGreyWithoutATable) {
    for (int i : {0, 1, 411}) {
        SCOPED_TRACE(i);
        const Picture sprite = ReadSprite(path_, Front(i), Colours(i));
        const Picture coloured = ReadIcon(path_, Icon(i), 1, layout().IconPaletteTable);
        const Picture grey = ReadIcon(path_, Icon(i), 1, std::nullopt);
        for (const auto& [p, side] : {std::pair{&sprite, 64}, {&coloured, 32}, {&grey, 32}}) {
            ASSERT_TRUE(p->ok()) << p->problem;
            EXPECT_EQ(std::tuple(p->width, p->height, p->argb.size()),
                      std::tuple(side, side, static_cast<std::size_t>(side * side)));
        }
        EXPECT_NE(coloured.argb, grey.argb);
        for (std::size_t k = 0; k < grey.argb.size(); ++k) {
            const uint32_t c = grey.argb[k];
            EXPECT_EQ(c == 0, coloured.argb[k] == 0) << "the same shape at " << k;
            EXPECT_TRUE((c >> 16 & 0xFF) == (c & 0xFF) && (c >> 8 & 0xFF) == (c & 0xFF)) << c;
        }
    }
    // The worst case of the format, literals only, ending exactly with the file: the reader must take all.
    Bytes rom = builder_.bytes();
    const Bytes literal = Literals(RandomBytes(2048, 5), 2048);
    std::copy(literal.begin(), literal.end(), rom.end() - static_cast<std::ptrdiff_t>(literal.size()));
    ASSERT_TRUE(WriteFileBytes(dir_.File("end.gba"), rom));
    const Picture p = ReadSprite(dir_.File("end.gba"), int32_t(rom.size() - literal.size()), Colours(1));
    EXPECT_TRUE(p.ok()) << p.problem;
}

TEST_F(BuiltRomTest, BadPointersAndUnreadableFilesGiveAProblemAndNoPixels) {
    const std::string rom = path_, missing = dir_.File("missing.gba"), folder = dir_.path().string();
    const std::string empty = dir_.File("empty.gba");
    ASSERT_TRUE(WriteFileBytes(empty, {}));
    const int32_t end = layout().size, table = layout().IconPaletteTable, icon = Icon(5);
    const int32_t front = Front(3), colours = Colours(3);
    const std::vector<std::pair<std::function<Picture()>, std::string>> cases = {
        {[=] { return ReadSprite(rom, end, colours); }, "Pointer 100000 lies beyond the end of the file."},
        {[=] { return ReadSprite(rom, -16, colours); }, "Offset -10 lies before the start of the file."},
        {[=] { return ReadSprite(rom, front, end + 0x1234); }, "Pointer 101234 lies beyond the end"},
        {[=] { return ReadIcon(rom, end + 4, 1, table); }, "Pointer 100004 lies beyond the end"},
        {[=] { return ReadIcon(rom, -1, 1, table); }, "Offset -1 lies before the start"},
        {[=] { return ReadIcon(rom, end - 100, 1, table); }, "needs 512 bytes but the file ends after 100"},
        {[=] { return ReadIcon(rom, icon, 16, table); }, "Icon palette 16 is not one of 0 to 15"},
        {[=] { return ReadIcon(rom, icon, 1, end); }, "table: Pointer 100008 lies beyond"},
        {[=] { return ReadIcon(rom, icon, 1, end - 10); }, "table entry at FFFFE ends with the file."},
        // The free space at the end holds FF bytes, which are no pointer into the cartridge.
        {[=] { return ReadIcon(rom, icon, 0, end - 0x100); }, "0 has no ROM pointer (FFFFFFFF)."},
        {[=] { return ReadSprite(missing, 0, 0); }, "The ROM file"},
        {[=] { return ReadIcon(folder, 0, 0, std::nullopt); }, "The ROM file"},
        {[=] { return ReadSprite(empty, 0, 0); }, "Pointer 0 lies beyond the end of the file."}};
    for (const auto& [read, problem] : cases) {
        const Picture p = read();
        EXPECT_FALSE(p.ok());
        EXPECT_TRUE(p.argb.empty());
        EXPECT_NE(p.problem.find(problem), std::string::npos) << p.problem << " / " << problem;
    }
}

}  // namespace
