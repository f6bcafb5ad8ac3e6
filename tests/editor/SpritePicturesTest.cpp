#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <set>

#include "Lz77Compressor.h"
#include "RomBuilder.h"
#include "SpritePictures.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace {

using SpritePictures::Decompress;
using testsupport::TempDir;
using Bytes = std::vector<uint8_t>;

constexpr std::size_t kSpriteBytes = 2048;

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

// 4096 literal bytes of a counting pattern, then one back-reference of the longest length from the farthest
// distance: it must copy the first 18 bytes again.
Bytes FarthestLongestReference() {
    Bytes data = Header(4096 + 18);
    for (int block = 0; block < 512; ++block) {
        data.push_back(0x00);
        for (int k = 0; k < 8; ++k) data.push_back(static_cast<uint8_t>((block * 8 + k) * 7 % 251));
    }
    data.push_back(0x80);
    const Bytes reference = Reference(18, 4096);
    data.insert(data.end(), reference.begin(), reference.end());
    return data;
}

Bytes FarthestLongestExpected() {
    Bytes out;
    for (int k = 0; k < 4096; ++k) out.push_back(static_cast<uint8_t>(k * 7 % 251));
    for (int k = 0; k < 18; ++k) out.push_back(out[static_cast<std::size_t>(k)]);
    return out;
}

struct UnpackCase {
    const char* name;
    Bytes data;
    std::size_t wanted;
    Bytes expected;
};

void PrintTo(const UnpackCase& c, std::ostream* os) {
    *os << c.name;
}

class DecompressTest : public ::testing::TestWithParam<UnpackCase> {};

TEST_P(DecompressTest, GivesTheWantedBytes) {
    const UnpackCase& c = GetParam();
    std::string problem;
    const auto out = Decompress(c.data.data(), c.data.size(), c.wanted, &problem);
    ASSERT_TRUE(out.has_value()) << problem;
    EXPECT_EQ(*out, c.expected);
    EXPECT_EQ(problem, "");
}

INSTANTIATE_TEST_SUITE_P(
    HandMade, DecompressTest,
    ::testing::Values(
        UnpackCase{
            "LiteralsOnly", Join({Header(5), {0x00, 'a', 'b', 'c', 'd', 'e'}}), 5, {'a', 'b', 'c', 'd', 'e'}},
        UnpackCase{
            "StopsAtWantedBeforeDeclaredSize", Join({Header(8), {0x00, 'a', 'b', 'c'}}), 3, {'a', 'b', 'c'}},
        UnpackCase{"NothingWanted", Header(0), 0, {}},
        UnpackCase{"DistanceOneRepeatsTheLastByte", Join({Header(10), {0x40, 'x'}, Reference(9, 1)}), 10,
                   Bytes(10, 'x')},
        UnpackCase{"OverlappingDistanceTwo",
                   Join({Header(8), {0x20, 'a', 'b'}, Reference(6, 2)}),
                   8,
                   {'a', 'b', 'a', 'b', 'a', 'b', 'a', 'b'}},
        UnpackCase{"ShortestReferenceThenLiteral",
                   Join({Header(7), {0x10, 'p', 'q', 'r'}, Reference(3, 3), {'s'}}),
                   7,
                   {'p', 'q', 'r', 'p', 'q', 'r', 's'}},
        UnpackCase{"ReferenceCutAtWanted", Join({Header(20), {0x40, 'z'}, Reference(18, 1)}), 5,
                   Bytes(5, 'z')},
        UnpackCase{"SecondFlagByte",
                   Join({Header(10), {0x00, '0', '1', '2', '3', '4', '5', '6', '7', 0x00, '8', '9'}}),
                   10,
                   {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'}},
        UnpackCase{"LongestLengthFromFarthestDistance", FarthestLongestReference(), 4096 + 18,
                   FarthestLongestExpected()}),
    [](const auto& info) { return std::string(info.param.name); });

struct MalformedCase {
    const char* name;
    Bytes data;
    std::size_t wanted;
    const char* expectedProblem;
};

void PrintTo(const MalformedCase& c, std::ostream* os) {
    *os << c.name;
}

class DecompressMalformedTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(DecompressMalformedTest, GivesNothingAndTheReason) {
    const MalformedCase& c = GetParam();
    std::string problem;
    EXPECT_FALSE(Decompress(c.data.data(), c.data.size(), c.wanted, &problem).has_value());
    EXPECT_NE(problem.find(c.expectedProblem), std::string::npos) << problem;
    // The reason is optional for the caller.
    EXPECT_FALSE(Decompress(c.data.data(), c.data.size(), c.wanted, nullptr).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    HandMade, DecompressMalformedTest,
    ::testing::Values(
        MalformedCase{"HeaderNotType10", Join({Header(4, 0x11), {0x00, 1, 2, 3, 4}}), 4, "(header 11)"},
        MalformedCase{"HeaderOfZeros", Bytes(40, 0x00), 4, "(header 00)"},
        MalformedCase{"ShorterThanAHeader", {0x10, 0x04, 0x00}, 4, "too short"},
        MalformedCase{"DeclaredSizeBelowWanted", Join({Header(512), {0x00, 1, 2, 3}}), 2048,
                      "holds only 512 of the 2048 bytes"},
        MalformedCase{"ReferenceBeforeAnyByte", Join({Header(8), {0x80}, Reference(3, 1)}), 8,
                      "back-reference at byte 0"},
        MalformedCase{"ReferenceFartherThanWritten", Join({Header(8), {0x20, 'a', 'b'}, Reference(3, 3)}), 8,
                      "back-reference at byte 2"},
        MalformedCase{"EndsBeforeAFlagByte", Join({Header(9), {0x00, 1, 2, 3, 4, 5, 6, 7, 8}}), 9,
                      "ends before"},
        MalformedCase{"EndsBeforeALiteral", Join({Header(4), {0x00, 1, 2}}), 4, "ends before"},
        MalformedCase{"EndsInsideAReference", Join({Header(8), {0x40, 'a', 0x30}}), 8, "ends before"},
        MalformedCase{"EndsAfterTheHeader", Header(16), 16, "ends before"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecompressTest, NullDataIsRefused) {
    std::string problem;
    EXPECT_FALSE(Decompress(nullptr, 100, 4, &problem).has_value());
    EXPECT_FALSE(problem.empty());
}

// Reads the compressed stream token by token, so tests can check what the compressor chose.
struct Tokens {
    int references = 0;
    int literals = 0;
    std::size_t shortestDistance = 4097;
};

Tokens Walk(const Bytes& packed, std::size_t size) {
    Tokens tokens;
    std::size_t in = 4, out = 0;
    while (out < size && in < packed.size()) {
        const uint8_t flags = packed[in++];
        for (int bit = 7; bit >= 0 && out < size; --bit) {
            if (flags >> bit & 1) {
                const std::size_t length = (packed[in] >> 4) + 3u;
                const std::size_t distance = ((packed[in] & 0x0Fu) << 8 | packed[in + 1]) + 1;
                tokens.shortestDistance = std::min(tokens.shortestDistance, distance);
                ++tokens.references;
                in += 2;
                out += length;
            } else {
                ++tokens.literals;
                ++in;
                ++out;
            }
        }
    }
    return tokens;
}

struct RoundTripCase {
    const char* name;
    Bytes (*make)();
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
    *os << c.name;
}

Bytes RandomBytes(std::size_t size, uint32_t start) {
    std::mt19937 generator(start);
    Bytes data(size);
    for (uint8_t& byte : data) byte = static_cast<uint8_t>(generator());
    return data;
}

// A made-up picture: runs of a few colours with rows repeated, as tile data looks.
Bytes TileLike() {
    std::mt19937 generator(77);
    Bytes data;
    while (data.size() < 2048) {
        const uint8_t colour = static_cast<uint8_t>(generator() % 4 * 0x11);
        const std::size_t run = 1 + generator() % 12;
        for (std::size_t k = 0; k < run && data.size() < 2048; ++k) data.push_back(colour);
        if (generator() % 3 == 0 && data.size() >= 4 && data.size() < 2044) {
            for (int k = 0; k < 4; ++k) data.push_back(data[data.size() - 4]);
        }
    }
    return data;
}

class CompressorRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(CompressorRoundTripTest, DecompressesToTheSameBytes) {
    const Bytes data = GetParam().make();
    const Bytes packed = Lz77::Compress(data);
    ASSERT_GE(packed.size(), 4u);
    EXPECT_EQ(packed.size() % 4, 0u) << "ROM data is word-aligned";
    // The reader never takes more than this worst case: header, every byte a literal, a flag per eight.
    EXPECT_LE(packed.size(), 4 + data.size() + (data.size() + 7) / 8 + 3);
    std::string problem;
    const auto out = Decompress(packed.data(), packed.size(), data.size(), &problem);
    ASSERT_TRUE(out.has_value()) << problem;
    EXPECT_EQ(*out, data);
    // Distance 1 breaks the console's unpacking into video memory, which writes 16 bits at a time.
    EXPECT_GE(Walk(packed, data.size()).shortestDistance, 2u);
}

INSTANTIATE_TEST_SUITE_P(Data, CompressorRoundTripTest,
                         ::testing::Values(RoundTripCase{"Empty", [] { return Bytes{}; }},
                                           RoundTripCase{"OneByte", [] { return Bytes{0x42}; }},
                                           RoundTripCase{"ThreeEqualBytes", [] { return Bytes(3, 7); }},
                                           RoundTripCase{"RandomSmall", [] { return RandomBytes(37, 1); }},
                                           RoundTripCase{"RandomSprite", [] { return RandomBytes(2048, 2); }},
                                           RoundTripCase{"RandomBeyondTheWindow",
                                                         [] { return RandomBytes(20000, 3); }},
                                           RoundTripCase{"Zeros", [] { return Bytes(10000, 0); }},
                                           RoundTripCase{"PeriodThree",
                                                         [] {
                                                             Bytes d(3001);
                                                             for (std::size_t k = 0; k < d.size(); ++k)
                                                                 d[k] = "abc"[k % 3];
                                                             return d;
                                                         }},
                                           RoundTripCase{"RandomBlockRepeatedFromFarBack",
                                                         [] {
                                                             Bytes d = RandomBytes(4096, 4);
                                                             d.insert(d.end(), d.begin(), d.begin() + 600);
                                                             return d;
                                                         }},
                                           RoundTripCase{"TileLike", TileLike}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CompressorTest, RepetitiveDataShrinksAndUsesLongReferences) {
    const Bytes zeros(2048, 0);
    const Bytes packed = Lz77::Compress(zeros);
    EXPECT_LT(packed.size(), 300u);
    const Tokens tokens = Walk(packed, zeros.size());
    EXPECT_EQ(tokens.literals, 2) << "two bytes before the first distance-2 copy";
    EXPECT_EQ(tokens.references, 114);  // ceil(2046 / 18)
}

TEST(CompressorTest, FarRepeatIsFound) {
    // All literals would take 6,754 bytes; the second half as back-references about 360.
    const Bytes data = Join({RandomBytes(3000, 5), RandomBytes(3000, 5)});
    EXPECT_LT(Lz77::Compress(data).size(), 3800u);
}

TEST(CompressorTest, HeaderCarriesTheSize) {
    const Bytes packed = Lz77::Compress(Bytes(0x12345, 1));
    ASSERT_GE(packed.size(), 4u);
    EXPECT_EQ(packed[0], 0x10);
    EXPECT_EQ(packed[1], 0x45);
    EXPECT_EQ(packed[2], 0x23);
    EXPECT_EQ(packed[3], 0x01);
}

TEST(CompressorTest, MoreThanTheHeaderCanDeclareGivesNothing) {
    EXPECT_TRUE(Lz77::Compress(Bytes(Lz77::kMaxInput + 1, 0)).empty());
}

// Colour n of this palette is 0xFF000000 + n, so a decoded pixel tells its colour number.
Palette NumberedPalette() {
    Palette palette(16, 0);
    for (uint32_t n = 1; n < 16; ++n) palette[n] = 0xFF000000u | n;
    return palette;
}

int Number(const Picture& picture, int x, int y) {
    const uint32_t argb = picture.argb[static_cast<std::size_t>(y * picture.width + x)];
    return argb == 0 ? 0 : static_cast<int>(argb & 0xFF);
}

// Tile data for a picture of colour numbers, laid out from the description of the format: tiles row by
// row, 32 bytes each, byte k holding pixels (2k mod 8, 2k / 8) low nibble first.
Bytes EncodeTiles(int widthTiles, int heightTiles, int (*colour)(int x, int y)) {
    Bytes tiles(static_cast<std::size_t>(widthTiles * heightTiles * 32));
    for (int t = 0; t < widthTiles * heightTiles; ++t) {
        for (int k = 0; k < 32; ++k) {
            const int x = t % widthTiles * 8 + 2 * k % 8;
            const int y = t / widthTiles * 8 + 2 * k / 8;
            tiles[static_cast<std::size_t>(t * 32 + k)] =
                static_cast<uint8_t>(colour(x, y) | colour(x + 1, y) << 4);
        }
    }
    return tiles;
}

struct TilePatternCase {
    const char* name;
    int (*colour)(int x, int y);
};

void PrintTo(const TilePatternCase& c, std::ostream* os) {
    *os << c.name;
}

class TileOrderTest : public ::testing::TestWithParam<TilePatternCase> {};

TEST_P(TileOrderTest, EveryPixelLandsWhereTheFormatPutsIt) {
    const auto colour = GetParam().colour;
    const Bytes tiles = EncodeTiles(8, 8, colour);
    const Picture picture = SpritePictures::DecodeTiles(tiles.data(), tiles.size(), 8, 8, NumberedPalette());
    ASSERT_TRUE(picture.ok()) << picture.problem;
    ASSERT_EQ(picture.width, 64);
    ASSERT_EQ(picture.height, 64);
    ASSERT_EQ(picture.argb.size(), 64u * 64u);
    int wrong = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            if (Number(picture, x, y) != colour(x, y)) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, TileOrderTest,
    ::testing::Values(TilePatternCase{"TileNumber", [](int x, int y) { return (x / 8 + y / 8) % 16; }},
                      TilePatternCase{"LeftAndRightNibble", [](int x, int) { return x % 2 == 0 ? 3 : 12; }},
                      TilePatternCase{"RowInTile", [](int, int y) { return y % 8 + 1; }},
                      TilePatternCase{"ColumnInTile", [](int x, int) { return x % 8 + 8; }},
                      TilePatternCase{"Mixed",
                                      [](int x, int y) { return (x * 5 + y * 3 + x / 8 * 7) % 16; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeTilesTest, HandPlacedBytes) {
    Bytes tiles(8 * 8 * 32, 0);
    tiles[0] = 0x21;             // tile 0, row 0: pixel (0,0) = 1, (1,0) = 2
    tiles[5] = 0x43;             // tile 0, byte 5: pixels (2,1) = 3, (3,1) = 4
    tiles[32 + 31] = 0x65;       // tile 1, last byte: pixels (14,7) = 5, (15,7) = 6
    tiles[8 * 32 + 0] = 0x0F;    // tile 8 starts the second row of tiles: pixel (0,8) = 15
    tiles[63 * 32 + 31] = 0xE0;  // last tile, last byte: (62,63) transparent, (63,63) = 14
    const Picture p = SpritePictures::DecodeTiles(tiles.data(), tiles.size(), 8, 8, NumberedPalette());
    ASSERT_TRUE(p.ok());
    EXPECT_EQ(Number(p, 0, 0), 1);
    EXPECT_EQ(Number(p, 1, 0), 2);
    EXPECT_EQ(Number(p, 2, 1), 3);
    EXPECT_EQ(Number(p, 3, 1), 4);
    EXPECT_EQ(Number(p, 14, 7), 5);
    EXPECT_EQ(Number(p, 15, 7), 6);
    EXPECT_EQ(Number(p, 0, 8), 15);
    EXPECT_EQ(p.argb[62 + 63 * 64], 0u);
    EXPECT_EQ(Number(p, 63, 63), 14);
    EXPECT_EQ(std::count(p.argb.begin(), p.argb.end(), 0u), 64 * 64 - 8);
}

TEST(DecodeTilesTest, IconSizedPictureTakesFourByFourTiles) {
    const Bytes tiles = EncodeTiles(4, 4, [](int x, int y) { return (x / 8 + y / 8 * 4) % 16; });
    const Picture p = SpritePictures::DecodeTiles(tiles.data(), tiles.size(), 4, 4, NumberedPalette());
    ASSERT_TRUE(p.ok());
    EXPECT_EQ(p.width, 32);
    EXPECT_EQ(p.height, 32);
    EXPECT_EQ(Number(p, 31, 0), 3);
    EXPECT_EQ(Number(p, 0, 31), 12);
}

TEST(DecodeTilesTest, TooFewBytesOrNoTilesGiveAProblem) {
    const Bytes tiles(2047, 0x11);
    const Picture shortData =
        SpritePictures::DecodeTiles(tiles.data(), tiles.size(), 8, 8, NumberedPalette());
    EXPECT_FALSE(shortData.ok());
    EXPECT_NE(shortData.problem.find("2048"), std::string::npos) << shortData.problem;
    EXPECT_TRUE(shortData.argb.empty());
    for (const auto& [w, h] : {std::pair{0, 8}, std::pair{8, -1}, std::pair{1 << 20, 1 << 20}}) {
        const Picture bad = SpritePictures::DecodeTiles(tiles.data(), tiles.size(), w, h, NumberedPalette());
        EXPECT_FALSE(bad.ok()) << w << " x " << h;
        EXPECT_FALSE(bad.problem.empty());
    }
    EXPECT_FALSE(SpritePictures::DecodeTiles(nullptr, 2048, 8, 8, NumberedPalette()).ok());
}

TEST(DecodeTilesTest, ColoursMissingFromAShortPaletteAreTransparent) {
    const Bytes tiles(32, 0xF1);
    const Picture p = SpritePictures::DecodeTiles(tiles.data(), tiles.size(), 1, 1, Palette{0, 0xFF112233u});
    ASSERT_TRUE(p.ok());
    EXPECT_EQ(p.argb[0], 0xFF112233u);
    EXPECT_EQ(p.argb[1], 0u);
}

struct ColourCase {
    const char* name;
    uint16_t bgr555;
    uint32_t argb;
};

void PrintTo(const ColourCase& c, std::ostream* os) {
    *os << c.name;
}

class BgrToArgbTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(BgrToArgbTest, ScalesEachChannelToEightBits) {
    EXPECT_EQ(SpritePictures::BgrToArgb(GetParam().bgr555), GetParam().argb);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, BgrToArgbTest,
    ::testing::Values(ColourCase{"Black", 0x0000, 0xFF000000}, ColourCase{"White", 0x7FFF, 0xFFFFFFFF},
                      ColourCase{"Red", 0x001F, 0xFFFF0000}, ColourCase{"Green", 0x03E0, 0xFF00FF00},
                      ColourCase{"Blue", 0x7C00, 0xFF0000FF}, ColourCase{"HalfRed", 0x0010, 0xFF840000},
                      ColourCase{"LowestGreen", 0x0020, 0xFF000800},
                      ColourCase{"TopBitIgnored", 0x8000, 0xFF000000},
                      ColourCase{"Mixed", 0x3D6B, 0xFF5A5A7B}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodePaletteTest, ColourZeroIsTransparentWhateverItsBytes) {
    Bytes bytes(32, 0);
    bytes[0] = 0xFF;
    bytes[1] = 0x7F;  // colour 0 white: still transparent
    bytes[2] = 0xFF;
    bytes[3] = 0x7F;   // colour 1 white
    bytes[30] = 0x1F;  // colour 15 red
    const Palette palette = SpritePictures::DecodePalette(bytes.data());
    ASSERT_EQ(palette.size(), 16u);
    EXPECT_EQ(palette[0], 0u);
    EXPECT_EQ(palette[1], 0xFFFFFFFFu);
    EXPECT_EQ(palette[2], 0xFF000000u);
    EXPECT_EQ(palette[15], 0xFFFF0000u);
}

uint32_t Word(const Bytes& bytes, int64_t at) {
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

int32_t Target(const Bytes& bytes, int64_t entry) {
    return static_cast<int32_t>(Word(bytes, entry) - 0x08000000u);
}

// The demo ROM, written once for the tests that only read it.
class BuiltRomTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir;
        builder_ = new RomBuilder(DemoLayout());
        path_ = dir_->File("demo.gba");
        ASSERT_TRUE(builder_->WriteTo(path_));
    }
    static void TearDownTestSuite() {
        delete builder_;
        delete dir_;
    }

    static const Bytes& bytes() { return builder_->bytes(); }
    static const RomLayout& layout() { return builder_->layout(); }
    static int32_t Front(int i) { return Target(bytes(), layout().ImageOffset + 8 * i); }
    static int32_t Back(int i) { return Target(bytes(), layout().ImageOffset + 5280 + 8 * i); }
    static int32_t Colours(int i) { return Target(bytes(), layout().PaletteOffset + 8 * i); }
    static int32_t Shiny(int i) { return Target(bytes(), layout().PaletteOffset + 3520 + 8 * i); }
    static int32_t Icon(int i) { return Target(bytes(), layout().IconOffset + 4 * i); }
    static int IconPaletteNumber(int i) {
        return bytes()[static_cast<std::size_t>(layout().IconPalette + i)];
    }

    static TempDir* dir_;
    static RomBuilder* builder_;
    static std::string path_;
};

TempDir* BuiltRomTest::dir_ = nullptr;
RomBuilder* BuiltRomTest::builder_ = nullptr;
std::string BuiltRomTest::path_;

std::size_t Drawn(const Picture& p) {
    return static_cast<std::size_t>(
        std::count_if(p.argb.begin(), p.argb.end(), [](uint32_t c) { return c != 0; }));
}

std::vector<bool> Mask(const Picture& p) {
    std::vector<bool> mask;
    for (uint32_t c : p.argb) mask.push_back(c != 0);
    return mask;
}

TEST_F(BuiltRomTest, SpritesAreWholeCreaturesOnATransparentGround) {
    for (int i : {0, 1, 2, 150, 411}) {
        SCOPED_TRACE("species " + std::to_string(i));
        const Picture front = SpritePictures::ReadSprite(path_, Front(i), Colours(i));
        const Picture back = SpritePictures::ReadSprite(path_, Back(i), Colours(i));
        const Picture shiny = SpritePictures::ReadSprite(path_, Front(i), Shiny(i));
        for (const Picture* p : {&front, &back, &shiny}) {
            ASSERT_TRUE(p->ok()) << p->problem;
            EXPECT_EQ(p->width, 64);
            EXPECT_EQ(p->height, 64);
            EXPECT_EQ(p->argb.size(), 64u * 64u);
            EXPECT_GT(Drawn(*p), 300u);
            EXPECT_LT(Drawn(*p), 64u * 64u);
            EXPECT_EQ(p->argb[0], 0u) << "the top left corner is background";
            // Opaque colours only, transparent only as colour 0.
            for (uint32_t c : p->argb) ASSERT_TRUE(c == 0 || c >> 24 == 0xFF);
        }
        EXPECT_NE(Mask(front), Mask(back)) << "the back view is another shape";
        EXPECT_EQ(Mask(front), Mask(shiny)) << "the shiny colours paint the same shape";
        EXPECT_NE(front.argb, shiny.argb);
    }
}

TEST_F(BuiltRomTest, SpeciesLookDifferent) {
    std::set<std::vector<bool>> shapes;
    for (int i = 1; i <= 40; ++i)
        shapes.insert(Mask(SpritePictures::ReadSprite(path_, Front(i), Colours(i))));
    EXPECT_GT(shapes.size(), 36u);
}

TEST_F(BuiltRomTest, IconsInTheirTablePaletteAndInGreys) {
    for (int i : {0, 1, 2, 200, 411}) {
        SCOPED_TRACE("species " + std::to_string(i));
        const Picture coloured =
            SpritePictures::ReadIcon(path_, Icon(i), IconPaletteNumber(i), layout().IconPaletteTable);
        const Picture grey = SpritePictures::ReadIcon(path_, Icon(i), IconPaletteNumber(i), std::nullopt);
        for (const Picture* p : {&coloured, &grey}) {
            ASSERT_TRUE(p->ok()) << p->problem;
            EXPECT_EQ(p->width, 32);
            EXPECT_EQ(p->height, 32);
            EXPECT_GT(Drawn(*p), 80u);
            EXPECT_LT(Drawn(*p), 32u * 32u);
        }
        EXPECT_EQ(Mask(coloured), Mask(grey));
        for (uint32_t c : grey.argb) {
            if (c == 0) continue;
            EXPECT_EQ(c >> 16 & 0xFF, c & 0xFF);
            EXPECT_EQ(c >> 8 & 0xFF, c & 0xFF);
        }
    }
    // The three icon palettes are three colourings of the same inks.
    const Picture first = SpritePictures::ReadIcon(path_, Icon(1), 0, layout().IconPaletteTable);
    const Picture second = SpritePictures::ReadIcon(path_, Icon(1), 1, layout().IconPaletteTable);
    EXPECT_EQ(Mask(first), Mask(second));
    EXPECT_NE(first.argb, second.argb);
}

TEST_F(BuiltRomTest, SpriteCompressedWithoutAnyBackReferenceFitsTheReadBound) {
    // The worst case of the format, ending exactly at the end of the file: the reader must still take all.
    Bytes literal = Header(kSpriteBytes);
    for (std::size_t k = 0; k < kSpriteBytes; ++k) {
        if (k % 8 == 0) literal.push_back(0x00);
        literal.push_back(static_cast<uint8_t>(k * 37 % 256));
    }
    ASSERT_EQ(literal.size(), 4 + kSpriteBytes + kSpriteBytes / 8);
    RomBuilder builder(DemoLayout());
    const int32_t at = static_cast<int32_t>(builder.bytes().size() - literal.size());
    builder.Fill(at, literal);
    TempDir dir;
    ASSERT_TRUE(builder.WriteTo(dir.File("end.gba")));
    const Picture p = SpritePictures::ReadSprite(dir.File("end.gba"), at, Colours(1));
    ASSERT_TRUE(p.ok()) << p.problem;
    EXPECT_GT(Drawn(p), 1000u);
}

struct BadSpriteCase {
    const char* name;
    // Changes the ROM and gives the sprite and palette offsets to read.
    std::pair<int32_t, int32_t> (*prepare)(RomBuilder& builder, int32_t front, int32_t palette);
    const char* expectedProblem;
};

void PrintTo(const BadSpriteCase& c, std::ostream* os) {
    *os << c.name;
}

class BadSpriteTest : public BuiltRomTest, public ::testing::WithParamInterface<BadSpriteCase> {};

TEST_P(BadSpriteTest, GivesAProblemAndNoPixels) {
    RomBuilder builder(DemoLayout());
    const auto [sprite, palette] = GetParam().prepare(builder, Front(3), Colours(3));
    TempDir dir;
    ASSERT_TRUE(builder.WriteTo(dir.File("bad.gba")));
    const Picture p = SpritePictures::ReadSprite(dir.File("bad.gba"), sprite, palette);
    EXPECT_FALSE(p.ok());
    EXPECT_TRUE(p.argb.empty());
    EXPECT_NE(p.problem.find(GetParam().expectedProblem), std::string::npos) << p.problem;
}

constexpr int32_t kDemoSize = 0x100000;

INSTANTIATE_TEST_SUITE_P(
    Cases, BadSpriteTest,
    ::testing::Values(BadSpriteCase{"SpriteBeyondTheEnd",
                                    [](RomBuilder&, int32_t, int32_t p) {
                                        return std::pair{kDemoSize, p};
                                    },
                                    "Pointer 100000 lies beyond the end of the file."},
                      BadSpriteCase{"SpriteFarBeyondTheEnd",
                                    [](RomBuilder&, int32_t, int32_t p) {
                                        return std::pair{0x7FFFFFFF, p};
                                    },
                                    "Pointer 7FFFFFFF lies beyond the end"},
                      BadSpriteCase{"NegativeSprite",
                                    [](RomBuilder&, int32_t, int32_t p) {
                                        return std::pair{-16, p};
                                    },
                                    "Offset -10 lies before the start of the file."},
                      BadSpriteCase{"PaletteBeyondTheEnd",
                                    [](RomBuilder&, int32_t f, int32_t) {
                                        return std::pair{f, kDemoSize + 0x1234};
                                    },
                                    "Pointer 101234 lies beyond the end"},
                      BadSpriteCase{"NegativePalette",
                                    [](RomBuilder&, int32_t f, int32_t) {
                                        return std::pair{f, INT32_MIN};
                                    },
                                    "Offset -80000000 lies before the start"},
                      BadSpriteCase{"SpriteInFreeSpace",
                                    [](RomBuilder&, int32_t, int32_t p) {
                                        return std::pair{kDemoSize - 0x100, p};
                                    },
                                    "No LZ77 data at FFF00 (header FF)."},
                      BadSpriteCase{"SpriteAtAPalette",
                                    [](RomBuilder&, int32_t, int32_t p) {
                                        return std::pair{p, p};
                                    },
                                    "holds only 32 of the 2048 bytes a sprite needs"},
                      BadSpriteCase{"PaletteAtASprite",
                                    [](RomBuilder&, int32_t f, int32_t) {
                                        return std::pair{f, 0x10000};
                                    },
                                    "No LZ77 data at 10000"},
                      BadSpriteCase{"SpriteInTheLastBytes",
                                    [](RomBuilder& b, int32_t, int32_t p) {
                                        b.Fill(kDemoSize - 2, {0x10, 0x00});
                                        return std::pair{kDemoSize - 2, p};
                                    },
                                    "too short"},
                      BadSpriteCase{"SpriteCutByTheEnd",
                                    [](RomBuilder& b, int32_t f, int32_t p) {
                                        const Bytes& bytes = b.bytes();
                                        b.Fill(kDemoSize - 40,
                                               Bytes(bytes.begin() + f, bytes.begin() + f + 40));
                                        return std::pair{kDemoSize - 40, p};
                                    },
                                    "The LZ77 data at FFFD8 ends before a sprite is complete."},
                      BadSpriteCase{
                          "BackReferenceBeforeTheStart",
                          [](RomBuilder& b, int32_t, int32_t p) {
                              b.Fill(0xF8000, Join({Header(2048), {0x20, 1, 2}, Reference(18, 40)}));
                              return std::pair{0xF8000, p};
                          },
                          "back-reference at byte 2 of the LZ77 data at F8000 points before its start"},
                      BadSpriteCase{"DeclaredTooSmall",
                                    [](RomBuilder& b, int32_t, int32_t p) {
                                        b.Fill(0xF8000, Join({Header(512), Bytes(600, 0)}));
                                        return std::pair{0xF8000, p};
                                    },
                                    "holds only 512 of the 2048 bytes"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadIconCase {
    const char* name;
    // Changes the ROM and gives the icon offset, the palette number and the table to read with.
    void (*prepare)(RomBuilder& builder, int32_t& icon, int& number, std::optional<int32_t>& table);
    const char* expectedProblem;
};

void PrintTo(const BadIconCase& c, std::ostream* os) {
    *os << c.name;
}

class BadIconTest : public BuiltRomTest, public ::testing::WithParamInterface<BadIconCase> {};

TEST_P(BadIconTest, GivesAProblemAndNoPixels) {
    RomBuilder builder(DemoLayout());
    int32_t icon = Icon(5);
    int number = 1;
    std::optional<int32_t> table = builder.layout().IconPaletteTable;
    GetParam().prepare(builder, icon, number, table);
    TempDir dir;
    ASSERT_TRUE(builder.WriteTo(dir.File("bad.gba")));
    const Picture p = SpritePictures::ReadIcon(dir.File("bad.gba"), icon, number, table);
    EXPECT_FALSE(p.ok());
    EXPECT_TRUE(p.argb.empty());
    EXPECT_NE(p.problem.find(GetParam().expectedProblem), std::string::npos) << p.problem;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadIconTest,
    ::testing::Values(
        BadIconCase{"IconBeyondTheEnd", [](RomBuilder&, int32_t& i, int&, auto&) { i = kDemoSize + 4; },
                    "Pointer 100004 lies beyond the end"},
        BadIconCase{"NegativeIcon", [](RomBuilder&, int32_t& i, int&, auto&) { i = -1; },
                    "Offset -1 lies before the start"},
        BadIconCase{"IconCutByTheEnd", [](RomBuilder&, int32_t& i, int&, auto&) { i = kDemoSize - 100; },
                    "needs 512 bytes but the file ends after 100"},
        BadIconCase{"NegativePaletteNumber", [](RomBuilder&, int32_t&, int& n, auto&) { n = -1; },
                    "Icon palette -1 is not one of 0 to 15"},
        BadIconCase{"PaletteNumberTooLarge", [](RomBuilder&, int32_t&, int& n, auto&) { n = 16; },
                    "Icon palette 16 is not one of 0 to 15"},
        BadIconCase{"TableBeyondTheEnd", [](RomBuilder&, int32_t&, int&, auto& t) { t = kDemoSize; },
                    "beyond the end"},
        BadIconCase{"NegativeTable", [](RomBuilder&, int32_t&, int&, auto& t) { t = -64; },
                    "before the start"},
        BadIconCase{"TableEntryCutByTheEnd",
                    [](RomBuilder&, int32_t&, int& n, auto& t) {
                        t = kDemoSize - 8 - 2;
                        n = 1;
                    },
                    "ends with the file"},
        BadIconCase{"EntryNotARomPointer",
                    [](RomBuilder& b, int32_t&, int&, auto& t) {
                        b.Fill(*t + 8, {0x00, 0x10, 0x00, 0x00});
                    },
                    "Icon palette 1 has no ROM pointer (1000)."},
        BadIconCase{"EntryPastTheCartridge",
                    [](RomBuilder& b, int32_t&, int&, auto& t) {
                        b.Fill(*t + 8, {0x00, 0x00, 0x00, 0x0A});
                    },
                    "has no ROM pointer (A000000)"},
        BadIconCase{"EntryBeyondTheFile",
                    [](RomBuilder& b, int32_t&, int&, auto& t) { b.SetPointer(*t + 8, 0x1FFFF00); },
                    "Pointer 1FFFF00 lies beyond the end"},
        BadIconCase{"PaletteCutByTheEnd",
                    [](RomBuilder& b, int32_t&, int&, auto& t) { b.SetPointer(*t + 8, kDemoSize - 20); },
                    "The icon palette at FFFEC ends with the file."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UnreadableRomTest, MissingFileFolderAndPipeGiveAProblem) {
    TempDir dir;
    const std::string pipe = dir.File("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {dir.File("missing.gba"), dir.path().string(), pipe}) {
        SCOPED_TRACE(path);
        const Picture sprite = SpritePictures::ReadSprite(path, 0, 0);
        const Picture icon = SpritePictures::ReadIcon(path, 0, 0, std::nullopt);
        EXPECT_FALSE(sprite.ok());
        EXPECT_FALSE(icon.ok());
        EXPECT_NE(sprite.problem.find("The ROM file"), std::string::npos) << sprite.problem;
        EXPECT_NE(icon.problem.find("The ROM file"), std::string::npos) << icon.problem;
    }
}

TEST(GarbageRomTest, AnyOffsetIntoRandomBytesGivesAPictureOrAProblem) {
    TempDir dir;
    Bytes bytes = RandomBytes(64 * 1024, 9);
    // Some places that start like LZ77 data, so that the walk goes past the header check.
    for (std::size_t at = 0; at < bytes.size(); at += 997) {
        bytes[at] = 0x10;
        bytes[at + 3] = 0;
    }
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.File("noise.gba"), bytes));
    for (int32_t at = 0; at < static_cast<int32_t>(bytes.size()); at += 997) {
        const Picture sprite = SpritePictures::ReadSprite(dir.File("noise.gba"), at, at + 997);
        EXPECT_NE(sprite.ok(), !sprite.problem.empty());
        const Picture icon = SpritePictures::ReadIcon(dir.File("noise.gba"), at, at % 16, at / 2);
        EXPECT_NE(icon.ok(), !icon.problem.empty());
    }
}

}  // namespace
