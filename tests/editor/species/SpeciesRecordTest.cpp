#include "EditorTest.h"
#include "species/SpeciesRecord.h"

namespace {

// EV bits 1B 09, items 8B 00 and 01 01, pointers low byte first, back sprite and shiny palette behind. A
// fourth byte 09 addresses the upper 16 MiB; one neither 08 nor 09 shows the low three bytes.
TEST(SpeciesRecordTest, EveryFieldOfACraftedSpecies) {
    TempDir dir;
    RomBuilder builder(DemoLayout());
    const RomLayout& l = builder.layout();
    const int i = 25;
    builder.SetRecord(i,
                      {0xC8, 0xFF, 0x00, 0x2D, 0x80, 0x01, 0x0C, 0x11, 0xFF, 0xFE, 0x1B, 0x09, 0x8B, 0x00,
                       0x01, 0x01, 0xFF, 20,   0xAA, 0xBB, 0x0F, 0x03, 0x4D, 0x00, 200,  0x12, 0x34, 0x56});
    builder.Fill(l.ImageOffset + 8 * i, {0xB4, 0xD7, 0x25, 0x08});
    builder.Fill(l.ImageOffset + 5280 + 8 * i, {0x01, 0x02, 0x03, 0x0A});
    builder.Fill(l.PaletteOffset + 8 * i, {0x0A, 0x0B, 0x0C, 0x09});
    builder.Fill(l.PaletteOffset + 3520 + 8 * i, {0xF0, 0xE0, 0xD0, 0x08});
    builder.Fill(l.IconOffset + 4 * i, {0x00, 0x00, 0x00, 0x08});
    builder.Fill(l.AttackTable + 4 * i, {0x34, 0x12, 0x00, 0x08});
    builder.Fill(l.IconPalette + i, {0x02});
    const auto files = WriteRomFiles(dir, builder);

    const SpeciesValues v = ReadSpecies(files.session, i);
    const std::vector<int> numbers = {
        v.hp,          v.attack,       v.defense,  v.speed,  v.spAttack,   v.spDefense,  v.type1,
        v.type2,       v.catchRate,    v.baseXp,   v.ev.hp,  v.ev.attack,  v.ev.defense, v.ev.speed,
        v.ev.spAttack, v.ev.spDefense, v.item1,    v.item2,  v.gender,     v.steps,      v.eggType1,
        v.eggType2,    v.ability1,     v.ability2, v.safari, v.iconPalette};
    EXPECT_EQ(numbers, (std::vector<int>{200, 255, 0, 45,  128, 1,   12, 17, 255, 254, 3, 2,   1,
                                         0,   1,   2, 139, 257, 255, 20, 15, 3,   77,  0, 200, 2}));
    const std::vector<std::string> pointers = {v.sprite,       v.backSprite, v.palette,
                                               v.shinyPalette, v.icon,       v.attackTable};
    EXPECT_EQ(pointers,
              (std::vector<std::string>{"25D7B4", "030201", "10C0B0A", "D0E0F0", "000000", "001234"}));
}

TEST(SpeciesRecordTest, UnreadableRomShowsZeros) {
    const SpeciesValues v = ReadSpecies(RomBuilder(DemoLayout()).Session("/nonexistent/vornhal/rom.gba"), 3);
    EXPECT_EQ(std::vector<int>({v.hp, v.item2, v.ev.spDefense, v.iconPalette}), std::vector<int>(4, 0));
    EXPECT_EQ(v.sprite + v.attackTable, "000000000000");
}

}  // namespace
