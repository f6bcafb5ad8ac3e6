// How a species stands in battle, on builder fixtures of every layout: the opening's check of the tables,
// what a species shows against the builder's bytes, the bytes a save plans (applied to a copy of the file),
// the placement rule of the battle screen and the footprint codec.

#include "EditorTest.h"
#include "species/BattleData.h"
#include "species/BattlePlacement.h"
#include "species/Footprint.h"
#include "write/FreeSpaceMap.h"

namespace {

RomLayout (*const kLayouts[])() = {DemoLayout, FireRedLayout, EmeraldLayout, RubyLayout};

int64_t YOffsetAt(const RomBuilder& rom, const char* table, int index) {
    return rom.TableOffset(table) + 4 * index + 1;
}

// Through the shipped Data.ini: its offsets are the builder's, so every number is read where the builder put
// it; German sections have no keys, and the part is off saying so.
TEST(BattleDataTest, EveryLayoutShowsWhatTheBuilderWrote) {
    for (RomLayout (*make)() : kLayouts) {
        const RomBuilder rom(make());
        SCOPED_TRACE(rom.layout().gameCode);
        const OpenedRom opened(rom);
        const Bytes& b = rom.bytes();
        for (const int i : {0, 1, 40, 252, 411}) {
            const BattleRead read = ReadBattleValues(opened.session, i);
            ASSERT_TRUE(read.values) << read.unavailable;
            const BattleValues& v = *read.values;
            EXPECT_EQ(v.frontY, b[size_t(YOffsetAt(rom, "FrontCoords", i))]);
            EXPECT_EQ(v.backY, b[size_t(YOffsetAt(rom, "BackCoords", i))]);
            EXPECT_EQ(v.elevation, b[size_t(rom.TableOffset("Elevation") + i)]);
            const int64_t animations = rom.TableOffset("FrontAnimIds");
            EXPECT_EQ(v.frontAnim,
                      animations && i > 0 ? std::optional<int>(b[size_t(animations + i - 1)]) : std::nullopt);
            const int64_t footprint = PointerTarget(b, rom.TableOffset("Footprints") + 4 * i);
            ASSERT_TRUE(v.footprint);
            EXPECT_TRUE(std::equal(v.footprint->begin(), v.footprint->end(), b.begin() + footprint));
        }
    }
    const OpenedRom german{RomBuilder(SapphireGermanLayout())};
    EXPECT_EQ(german.session.Tables.battle.unavailable, "Data.ini's section [AXPD] has no FrontCoords key.");
    EXPECT_FALSE(ReadBattleValues(german.session, 1).values);
}

struct CheckCase {
    const char* name;
    const char* key;     // "Key=value" set in the section, a lone "Key" dropped
    const char* reason;  // a piece of it; empty: the part is on
};

class BattleCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(BattleCheckTest, TurnsOffOnlyTheBattlePart) {
    const CheckCase& c = GetParam();
    const RomBuilder rom(DemoLayout());
    const std::string key = c.key;
    const size_t is = key.find('=');
    const bool drop = is == std::string::npos;
    const OpenedRom opened(rom, testsupport::WithIniKey(rom.IniSection(), key.substr(0, is),
                                                        drop ? "" : key.substr(is + 1), drop));
    const TablePart<BattlePlace>& part = opened.session.Tables.battle;
    EXPECT_EQ(part.where.has_value(), *c.reason == 0) << part.unavailable;
    EXPECT_NE(part.unavailable.find(c.reason), std::string::npos) << part.unavailable;
    EXPECT_TRUE(opened.session.Tables.dex.where);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BattleCheckTest,
    ::testing::ValuesIn(std::vector<CheckCase>{
        {"AllOn", "", ""},
        {"NoFootprintsKey", "Footprints", "[VRNH] has no Footprints key"},
        {"AnimationKeyNotANumber", "FrontAnimIds=x", "FrontAnimIds in section [VRNH] of Data.ini is \"x\""},
        {"CoordinatesBeyondTheEnd", "BackCoords=&HFFFF0", "back sprite coordinates at 0xFFFF0 (1760 bytes)"},
        // The records' first bytes are stats of 20 to 160, rarely a size of 1 to 8 tiles a side.
        {"CoordinatesThatAreNot", "FrontCoords=&H12000", "front sprite coordinates at 0x12000 do not look"},
        {"FootprintsThatAreNot", "Footprints=&H10000", "only 0 of 411 point at a footprint"}}),
    kCaseName);

// A species edited in every number: exactly its bytes change; unedited, nothing does. Refusals plan nothing.
TEST(BattleDataTest, ASaveWritesExactlyTheEditedNumbers) {
    for (RomLayout (*make)() : kLayouts) {
        const RomBuilder rom(make());
        SCOPED_TRACE(rom.layout().gameCode);
        const OpenedRom opened(rom);
        FreeSpaceMap space(opened.session);
        constexpr int kSpecies = 40;
        const BattleValues shown = ReadBattleValues(opened.session, kSpecies).values.value();
        EXPECT_TRUE(PlanBattleSave(opened.session, kSpecies, shown, space).bytes.empty());

        BattleValues edited = shown;
        edited.frontY = 255 - shown.frontY, edited.backY = shown.backY ^ 1, edited.elevation = 77;
        if (shown.frontAnim) edited.frontAnim = *shown.frontAnim + 1;
        const BattleSavePlan plan = PlanBattleSave(opened.session, kSpecies, edited, space);
        ASSERT_TRUE(plan.ok) << plan.error;
        Bytes expected = opened.bytes;
        expected[size_t(YOffsetAt(rom, "FrontCoords", kSpecies))] = uint8_t(edited.frontY);
        expected[size_t(YOffsetAt(rom, "BackCoords", kSpecies))] = uint8_t(edited.backY);
        expected[size_t(rom.TableOffset("Elevation") + kSpecies)] = 77;
        if (shown.frontAnim)
            expected[size_t(rom.TableOffset("FrontAnimIds") + kSpecies - 1)] = uint8_t(*edited.frontAnim);
        EXPECT_EQ(Differences(expected, Applied(opened.bytes, plan.bytes)), "");
        EXPECT_EQ(plan.bytes.size(), shown.frontAnim ? 4u : 3u);

        edited.elevation = 256;
        ExpectRefused(PlanBattleSave(opened.session, kSpecies, edited, space), "from 0 to 255; it is 256");
        edited = shown;
        edited.frontAnim = 1;
        ExpectRefused(PlanBattleSave(opened.session, shown.frontAnim ? 0 : kSpecies, edited, space),
                      shown.frontAnim ? "Species 0 has no" : "keeps no front animation numbers");
    }
}

Footprint::Bytes Footprint40Mirrored(const Footprint::Bytes& bytes) {
    Footprint::Pixels pixels = Footprint::Decode(bytes);
    for (int y = 0; y < Footprint::kSide; ++y)
        std::reverse(pixels.begin() + y * Footprint::kSide, pixels.begin() + (y + 1) * Footprint::kSide);
    pixels[0] = !pixels[0];  // never the same as before, even for a symmetric print
    return Footprint::Encode(pixels);
}

struct FootprintCase {
    const char* name;
    int species;
    void (*prepare)(RomBuilder&, int species);
    bool moves;  // into free space, the pointer following; else in place
};

class FootprintSaveTest : public ::testing::TestWithParam<FootprintCase> {};

// The species' own footprint is written over; one another species shares, or none the pointer leads to, goes
// into free space and only the species' pointer follows.
TEST_P(FootprintSaveTest, WritesInPlaceOrMovesWhatIsShared) {
    const FootprintCase& c = GetParam();
    const WrittenRom written(FireRedLayout(), [&c](RomBuilder& rom) {
        if (c.prepare) c.prepare(rom, c.species);
    });
    const EditorSession& session = written.files.session;
    const Bytes before = written.rom.bytes();
    const int64_t pointer = written.rom.TableOffset("Footprints") + 4 * c.species;
    BattleValues edited = ReadBattleValues(session, c.species).values.value();
    const Footprint::Bytes old = edited.footprint.value_or(Footprint::Bytes{});
    edited.footprint = Footprint40Mirrored(old);
    FreeSpaceMap space(session);
    const BattleSavePlan plan = PlanBattleSave(session, c.species, edited, space);
    ASSERT_TRUE(plan.ok) << plan.error;
    EXPECT_EQ(plan.footprintMovedTo.has_value(), c.moves);
    const Bytes after = Applied(before, plan.bytes);
    const int64_t at = PointerTarget(after, pointer);
    EXPECT_EQ(at != PointerTarget(before, pointer), c.moves);
    EXPECT_TRUE(std::equal(edited.footprint->begin(), edited.footprint->end(), after.begin() + at));
    EXPECT_EQ(at >= written.rom.layout().FreeSpaceKey, c.moves);
    for (const PlannedByte& byte : plan.bytes) {
        EXPECT_TRUE((byte.offset >= at && byte.offset < at + 32) ||
                    (byte.offset >= pointer && byte.offset < pointer + 4))
            << byte.field << " at " << byte.offset;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FootprintSaveTest,
                         ::testing::ValuesIn(std::vector<FootprintCase>{
                             {"OwnInPlace", 40, nullptr, false},
                             // The builder's placeholders share species 0's footprint.
                             {"SharedMoves", 252, nullptr, true},
                             {"PointingNowhereMoves", 40,
                              [](RomBuilder& rom, int species) {
                                  rom.Fill(rom.layout().battle.Footprints + 4 * species, {0, 0, 0, 0});
                              },
                              true}}),
                         kCaseName);

// A footprint printed all over is 32 FF bytes, which a later search must not take for free space: pointed at
// the first room a search would give, it moves the search past itself.
TEST(BattleDataTest, AFootprintInFreeSpaceIsNotFreeSpace) {
    const WrittenRom plain(DemoLayout());
    FreeSpaceMap plainSpace(plain.files.session);
    const int64_t first = plainSpace.Take(32).offset.value();
    const WrittenRom written(DemoLayout(), [first](RomBuilder& rom) {
        rom.SetPointer(rom.layout().battle.Footprints + 4 * 40, int32_t(first));
    });
    FreeSpaceMap space(written.files.session);
    const FreeSpaceFound found = space.Take(32);
    ASSERT_TRUE(found.offset) << found.error;
    EXPECT_GE(*found.offset, first + 32);
}

struct PlacementCase {
    const char* name;
    int backY, frontY, elevation;
    int playerY, enemyY;  // centres; x stays 72 and 176
    bool shadow;
};

class PlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(PlacementTest, PlacesAsTheGameDoes) {
    const PlacementCase& c = GetParam();
    const BattleScreen::Placement placed = BattleScreen::PlaceSingleBattle(c.backY, c.frontY, c.elevation);
    EXPECT_EQ(placed.player, (BattleScreen::SpritePlace{72, c.playerY}));
    EXPECT_EQ(placed.enemy, (BattleScreen::SpritePlace{176, c.enemyY}));
    EXPECT_EQ(placed.enemyShadow, c.shadow);
}

INSTANTIATE_TEST_SUITE_P(Cases, PlacementTest,
                         ::testing::ValuesIn(std::vector<PlacementCase>{
                             {"NoOffsets", 0, 0, 0, 88, 40, false},
                             {"OffsetsPushDown", 9, 14, 0, 97, 54, false},
                             {"ElevatedEnemyWithShadow", 0, 10, 16, 88, 34, true},
                             {"PlayerJustAboveTheClamp", 15, 0, 0, 103, 40, false},
                             {"LargePlayerOffsetClampedAt104", 40, 40, 0, 104, 80, false}}),
                         kCaseName);

// Pixels in each tile's corners: tiles top left, top right, bottom left, bottom right; a byte per row, the
// lowest bit the leftmost pixel.
TEST(FootprintTest, PixelsSitInTheGamesTilesAndRoundTrip) {
    const std::tuple<int, int, size_t, uint8_t> pixels[] = {{0, 0, 0, 0x01},  {7, 7, 7, 0x80},
                                                            {8, 0, 8, 0x01},  {15, 1, 9, 0x80},
                                                            {0, 8, 16, 0x01}, {15, 15, 31, 0x80}};
    for (const auto& [x, y, byte, bit] : pixels) {
        Footprint::Pixels one{};
        one[size_t(y * 16 + x)] = true;
        Footprint::Bytes expected{};
        expected[byte] = bit;
        EXPECT_EQ(Footprint::Encode(one), expected) << x << "," << y;
        EXPECT_EQ(Footprint::Decode(expected), one) << x << "," << y;
    }
    const RomBuilder rom(DemoLayout());
    for (const int i : {1, 40, 300}) {
        const int64_t at = PointerTarget(rom.bytes(), rom.TableOffset("Footprints") + 4 * i);
        Footprint::Bytes stored{};
        std::copy_n(rom.bytes().begin() + at, 32, stored.begin());
        EXPECT_EQ(Footprint::Encode(Footprint::Decode(stored)), stored) << i;
    }
}

struct PictureCase {
    const char* name;
    int width, height;
    std::vector<uint32_t> colours;  // cycled over the pixels, row by row
    const char* error;              // a piece of it; empty: taken
    int printed;                    // pixels of print when taken
};

class FootprintPictureTest : public ::testing::TestWithParam<PictureCase> {};

TEST_P(FootprintPictureTest, TakesTwoColoursTheDarkerOneAsPrint) {
    const PictureCase& c = GetParam();
    PixelImage image{c.width, c.height, {}, {}};
    for (int k = 0; k < c.width * c.height; ++k)
        image.argb.push_back(c.colours[size_t(k) % c.colours.size()]);
    const Footprint::FromPixelsResult result = Footprint::FromPixels(image);
    EXPECT_NE(result.error.find(c.error), std::string::npos) << result.error;
    if (*c.error != 0) return;
    const Footprint::Pixels pixels = Footprint::Decode(result.bytes);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), true), c.printed);
    // Where the print is partial, it is the black pixels.
    for (size_t k = 0; c.printed > 0 && c.printed < 256 && k < pixels.size(); ++k)
        EXPECT_EQ(pixels[k], c.colours[k % c.colours.size()] == 0xFF000000u) << k;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FootprintPictureTest,
    ::testing::ValuesIn(std::vector<PictureCase>{
        {"BlackOnWhite", 16, 16, {0xFFFFFFFF, 0xFF000000}, "", 128},
        {"BlackOnTransparent", 16, 16, {0x00FFFFFF, 0xFF000000, 0x00000000}, "", 85},
        {"OneDarkColourIsAllPrint", 16, 16, {0xFF202020}, "", 256},
        {"OneLightColourIsNone", 16, 16, {0xFFF0F0F0}, "", 0},
        {"NotSixteenSquare", 16, 15, {0xFF000000}, "16 x 16 pixels; the picture has 16 x 15", 0},
        {"ThreeColours", 16, 16, {0xFFFFFFFF, 0xFF000000, 0xFF808080}, "a third at pixel (2, 0)", 0}}),
    kCaseName);

}  // namespace
