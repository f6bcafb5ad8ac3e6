// How a species stands in battle, on builder fixtures of every layout: what it shows, the bytes a save plans,
// the placement rule of the battle screen and the footprint codec.

#include "EditorTest.h"
#include "species/BattleData.h"
#include "species/BattlePlacement.h"
#include "species/Footprint.h"
#include "write/FreeSpaceMap.h"

namespace {

int64_t YOffsetAt(const RomBuilder& rom, const char* table, int index) {
    return rom.TableOffset(table) + 4 * index + 1;
}

// Through the shipped Data.ini, whose offsets are the builder's; its German sections have no keys.
TEST(BattleDataTest, EveryLayoutShowsWhatTheBuilderWroteAndSavesTheEditedNumbers) {
    for (RomLayout (*make)() : {DemoLayout, FireRedLayout, EmeraldLayout, RubyLayout}) {
        const RomBuilder rom(make());
        SCOPED_TRACE(rom.layout().gameCode);
        const OpenedRom opened(rom);
        const Bytes& b = rom.bytes();
        const int64_t animations = rom.TableOffset("FrontAnimIds");
        for (const int i : {0, 1, 40, 252, 411}) {
            const BattleRead read = ReadBattleValues(opened.session, i);
            ASSERT_TRUE(read.values) << read.unavailable;
            const BattleValues& v = *read.values;
            EXPECT_EQ(v.frontY, b[size_t(YOffsetAt(rom, "FrontCoords", i))]);
            EXPECT_EQ(v.backY, b[size_t(YOffsetAt(rom, "BackCoords", i))]);
            EXPECT_EQ(v.elevation, b[size_t(rom.TableOffset("Elevation") + i)]);
            EXPECT_EQ(v.frontAnim,
                      animations && i > 0 ? std::optional<int>(b[size_t(animations + i - 1)]) : std::nullopt);
            const int64_t footprint = PointerTarget(b, rom.TableOffset("Footprints") + 4 * i);
            ASSERT_TRUE(v.footprint);
            EXPECT_TRUE(std::equal(v.footprint->begin(), v.footprint->end(), b.begin() + footprint));
        }

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
        if (shown.frontAnim) expected[size_t(animations + kSpecies - 1)] = uint8_t(*edited.frontAnim);
        EXPECT_EQ(Differences(expected, Applied(opened.bytes, plan.bytes)), "");
        EXPECT_EQ(plan.bytes.size(), shown.frontAnim ? 4u : 3u);

        edited.frontY = 0;  // the lower limit is a number like any other
        EXPECT_TRUE(PlanBattleSave(opened.session, kSpecies, edited, space).ok);
        edited.elevation = 256;
        ExpectRefused(PlanBattleSave(opened.session, kSpecies, edited, space), "from 0 to 255; it is 256");
        edited = shown;
        edited.frontAnim = 1;
        ExpectRefused(PlanBattleSave(opened.session, shown.frontAnim ? 0 : kSpecies, edited, space),
                      shown.frontAnim ? "Species 0 has no" : "keeps no front animation numbers");
    }
    const OpenedRom german{RomBuilder(SapphireGermanLayout())};
    EXPECT_EQ(german.session.Tables.battle.unavailable, "Data.ini's section [AXPD] has no FrontCoords key.");
    EXPECT_FALSE(ReadBattleValues(german.session, 1).values);
}

Footprint::Bytes Footprint40Mirrored(const Footprint::Bytes& bytes) {
    Footprint::Pixels pixels = Footprint::Decode(bytes);
    for (int y = 0; y < Footprint::kSide; ++y)
        std::reverse(pixels.begin() + y * Footprint::kSide, pixels.begin() + (y + 1) * Footprint::kSide);
    pixels[0] = !pixels[0];  // never the same as before, even for a symmetric print
    return Footprint::Encode(pixels);
}

// The species' own footprint is written over; one another species shares (the builder's placeholders share
// species 0's), or none the pointer leads to, goes into free space and only the species' pointer follows.
TEST(FootprintSaveTest, WritesInPlaceOrMovesWhatIsShared) {
    const struct {
        int species;
        bool pointsNowhere, moves;
    } cases[] = {{40, false, false}, {252, false, true}, {40, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.species << (c.pointsNowhere ? " pointing nowhere" : ""));
        const WrittenRom written(FireRedLayout(), [&c](RomBuilder& rom) {
            if (c.pointsNowhere) rom.Fill(rom.layout().battle.Footprints + 4 * c.species, {0, 0, 0, 0});
        });
        const EditorSession& session = written.files.session;
        const Bytes before = written.rom.bytes();
        const int64_t pointer = written.rom.TableOffset("Footprints") + 4 * c.species;
        BattleValues edited = ReadBattleValues(session, c.species).values.value();
        edited.footprint = Footprint40Mirrored(edited.footprint.value_or(Footprint::Bytes{}));
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
}

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

// Centres of the two sprites (x stays 72 and 176) and whether the enemy casts a shadow.
TEST(PlacementTest, PlacesAsTheGameDoes) {
    const struct {
        int backY, frontY, elevation;
        int playerY, enemyY;
        bool shadow;
    } cases[] = {{0, 0, 0, 88, 40, false},
                 {9, 14, 0, 97, 54, false},
                 {0, 10, 16, 88, 34, true},     // elevated
                 {15, 0, 0, 103, 40, false},    // the player just above the clamp
                 {40, 40, 0, 104, 80, false}};  // a large player offset clamped at 104
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.backY << " " << c.frontY << " " << c.elevation);
        const BattleScreen::Placement placed =
            BattleScreen::PlaceSingleBattle(c.backY, c.frontY, c.elevation);
        EXPECT_EQ(placed.player, (BattleScreen::SpritePlace{72, c.playerY}));
        EXPECT_EQ(placed.enemy, (BattleScreen::SpritePlace{176, c.enemyY}));
        EXPECT_EQ(placed.enemyShadow, c.shadow);
    }
}

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

// Two colours, the darker one the print: where the print is partial, it is the black pixels.
TEST(FootprintTest, FromPixelsTakesTwoColoursTheDarkerOneAsPrint) {
    const struct {
        int width, height;
        std::vector<uint32_t> colours;  // cycled over the pixels, row by row
        const char* error;              // a piece of it; empty: taken
        int printed;                    // pixels of print when taken
    } cases[] = {{16, 16, {0xFFFFFFFF, 0xFF000000}, "", 128},
                 {16, 16, {0x00FFFFFF, 0xFF000000, 0x00000000}, "", 85},
                 {16, 16, {0xFF202020}, "", 256},  // one dark colour is all print
                 {16, 16, {0xFFF0F0F0}, "", 0},    // one light colour none
                 {16, 15, {0xFF000000}, "16 x 16 pixels; the picture has 16 x 15", 0},
                 {16, 16, {0xFFFFFFFF, 0xFF000000, 0xFF808080}, "a third at pixel (2, 0)", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.colours.size() << " colours, " << c.height << " high");
        PixelImage image{c.width, c.height, {}, {}};
        for (int k = 0; k < c.width * c.height; ++k)
            image.argb.push_back(c.colours[size_t(k) % c.colours.size()]);
        const Footprint::FromPixelsResult result = Footprint::FromPixels(image);
        EXPECT_NE(result.error.find(c.error), std::string::npos) << result.error;
        if (*c.error != 0) continue;
        const Footprint::Pixels pixels = Footprint::Decode(result.bytes);
        EXPECT_EQ(std::count(pixels.begin(), pixels.end(), true), c.printed);
        for (size_t k = 0; c.printed > 0 && c.printed < 256 && k < pixels.size(); ++k)
            EXPECT_EQ(pixels[k], c.colours[k % c.colours.size()] == 0xFF000000u) << k;
    }
}

}  // namespace
