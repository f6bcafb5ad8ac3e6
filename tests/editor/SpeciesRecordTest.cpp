#include <gtest/gtest.h>

#include <cstdio>

#include "RomBuilder.h"
#include "RomFiles.h"
#include "SpeciesRecord.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace {

using testsupport::TempDir;
using testsupport::WriteRomFiles;

// The target of the pointer stored at entry, as the window shows it.
std::string TargetText(const std::vector<uint8_t>& bytes, int64_t entry) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", bytes[entry + 2], bytes[entry + 1], bytes[entry]);
    return text;
}

TEST(SpeciesRecordTest, EveryFieldOfBuiltSpecies) {
    for (RomLayout (*make)() : {DemoLayout, FireRedLayout}) {
        TempDir dir;
        const RomBuilder builder(make());
        const auto files = WriteRomFiles(dir, builder);
        ASSERT_TRUE(files.written);
        const RomLayout& l = builder.layout();
        const auto& bytes = builder.bytes();
        for (int i : {0, 1, 150, 251, 411}) {
            SCOPED_TRACE("species " + std::to_string(i));
            const auto r = builder.Record(i);
            const SpeciesValues v = ReadSpecies(files.session, i);
            EXPECT_EQ(v.hp, r[0]);
            EXPECT_EQ(v.attack, r[1]);
            EXPECT_EQ(v.defense, r[2]);
            EXPECT_EQ(v.speed, r[3]);
            EXPECT_EQ(v.spAttack, r[4]);
            EXPECT_EQ(v.spDefense, r[5]);
            EXPECT_EQ(v.type1, r[6]);
            EXPECT_EQ(v.type2, r[7]);
            EXPECT_EQ(v.catchRate, r[8]);
            EXPECT_EQ(v.baseXp, r[9]);
            const int ev = r[10] | r[11] << 8;
            EXPECT_EQ(v.ev.hp, ev & 3);
            EXPECT_EQ(v.ev.attack, ev >> 2 & 3);
            EXPECT_EQ(v.ev.defense, ev >> 4 & 3);
            EXPECT_EQ(v.ev.speed, ev >> 6 & 3);
            EXPECT_EQ(v.ev.spAttack, ev >> 8 & 3);
            EXPECT_EQ(v.ev.spDefense, ev >> 10 & 3);
            EXPECT_EQ(v.item1, r[12] | r[13] << 8);
            EXPECT_EQ(v.item2, r[14] | r[15] << 8);
            EXPECT_EQ(v.gender, r[16]);
            EXPECT_EQ(v.steps, r[17]);
            EXPECT_EQ(v.eggType1, r[20]);
            EXPECT_EQ(v.eggType2, r[21]);
            EXPECT_EQ(v.ability1, r[22]);
            EXPECT_EQ(v.ability2, r[23]);
            EXPECT_EQ(v.safari, r[24]);
            EXPECT_EQ(v.sprite, TargetText(bytes, l.ImageOffset + 8 * i));
            EXPECT_EQ(v.backSprite, TargetText(bytes, l.ImageOffset + 5280 + 8 * i));
            EXPECT_EQ(v.palette, TargetText(bytes, l.PaletteOffset + 8 * i));
            EXPECT_EQ(v.shinyPalette, TargetText(bytes, l.PaletteOffset + 3520 + 8 * i));
            EXPECT_EQ(v.icon, TargetText(bytes, l.IconOffset + 4 * i));
            EXPECT_EQ(v.attackTable, TargetText(bytes, l.AttackTable + 4 * i));
            EXPECT_EQ(v.iconPalette, bytes[l.IconPalette + i]);
        }
    }
}

TEST(SpeciesRecordTest, KnownBytes) {
    TempDir dir;
    RomBuilder builder(DemoLayout());
    const RomLayout& l = builder.layout();
    const int i = 25;
    builder.SetRecord(i,
                      {0xC8, 0xFF, 0x00, 0x2D, 0x80, 0x01, 0x0C, 0x11, 0xFF, 0xFE, 0x1B, 0x09, 0x8B, 0x00,
                       0x01, 0x01, 0xFF, 20,   0xAA, 0xBB, 0x0F, 0x03, 0x4D, 0x00, 200,  0x12, 0x34, 0x56});
    builder.Fill(l.ImageOffset + 8 * i, {0xB4, 0xD7, 0x25, 0x08});
    builder.Fill(l.ImageOffset + 5280 + 8 * i, {0x01, 0x02, 0x03, 0x08});
    builder.Fill(l.PaletteOffset + 8 * i, {0x0A, 0x0B, 0x0C, 0x09});
    builder.Fill(l.PaletteOffset + 3520 + 8 * i, {0xF0, 0xE0, 0xD0, 0x08});
    builder.Fill(l.IconOffset + 4 * i, {0x00, 0x00, 0x00, 0x08});
    builder.Fill(l.AttackTable + 4 * i, {0x34, 0x12, 0x00, 0x08});
    builder.Fill(l.IconPalette + i, {0x02});
    const auto files = WriteRomFiles(dir, builder);

    const SpeciesValues v = ReadSpecies(files.session, i);
    EXPECT_EQ(v.hp, 200);
    EXPECT_EQ(v.attack, 255);
    EXPECT_EQ(v.defense, 0);
    EXPECT_EQ(v.speed, 45);
    EXPECT_EQ(v.spAttack, 128);
    EXPECT_EQ(v.spDefense, 1);
    EXPECT_EQ(v.type1, 12);
    EXPECT_EQ(v.type2, 17);
    EXPECT_EQ(v.catchRate, 255);
    EXPECT_EQ(v.baseXp, 254);
    EXPECT_EQ(v.ev.hp, 3);
    EXPECT_EQ(v.ev.attack, 2);
    EXPECT_EQ(v.ev.defense, 1);
    EXPECT_EQ(v.ev.speed, 0);
    EXPECT_EQ(v.ev.spAttack, 1);
    EXPECT_EQ(v.ev.spDefense, 2);
    EXPECT_EQ(v.item1, 139);
    EXPECT_EQ(v.item2, 257);
    EXPECT_EQ(v.gender, 255);
    EXPECT_EQ(v.steps, 20);
    EXPECT_EQ(v.eggType1, 15);
    EXPECT_EQ(v.eggType2, 3);
    EXPECT_EQ(v.ability1, 77);
    EXPECT_EQ(v.ability2, 0);
    EXPECT_EQ(v.safari, 200);
    EXPECT_EQ(v.sprite, "25D7B4");
    EXPECT_EQ(v.backSprite, "030201");
    EXPECT_EQ(v.palette, "0C0B0A");
    EXPECT_EQ(v.shinyPalette, "D0E0F0");
    EXPECT_EQ(v.icon, "000000");
    EXPECT_EQ(v.attackTable, "001234");
    EXPECT_EQ(v.iconPalette, 2);
}

// The back sprite and shiny palette tables have no keys: they are found at fixed distances.
TEST(SpeciesRecordTest, BackSpriteAndShinyPaletteFollowTheFrontTables) {
    TempDir dir;
    RomBuilder builder(DemoLayout());
    const RomLayout& l = builder.layout();
    builder.SetPointer(l.ImageOffset, 0x011111);
    builder.SetPointer(l.ImageOffset + 5280, 0x022222);
    builder.SetPointer(l.PaletteOffset, 0x033333);
    builder.SetPointer(l.PaletteOffset + 3520, 0x044444);
    const auto files = WriteRomFiles(dir, builder);
    const SpeciesValues v = ReadSpecies(files.session, 0);
    EXPECT_EQ(v.sprite, "011111");
    EXPECT_EQ(v.backSprite, "022222");
    EXPECT_EQ(v.palette, "033333");
    EXPECT_EQ(v.shinyPalette, "044444");
}

TEST(SpeciesRecordTest, UnreadableRomShowsZeros) {
    EditorSession session = RomBuilder(DemoLayout()).Session("/nonexistent/vornhal/rom.gba");
    const SpeciesValues v = ReadSpecies(session, 3);
    EXPECT_EQ(v.hp, 0);
    EXPECT_EQ(v.item2, 0);
    EXPECT_EQ(v.ev.hp + v.ev.attack + v.ev.defense + v.ev.speed + v.ev.spAttack + v.ev.spDefense, 0);
    EXPECT_EQ(v.sprite, "000000");
    EXPECT_EQ(v.attackTable, "000000");
    EXPECT_EQ(v.iconPalette, 0);
}

struct EvCase {
    std::string digits;  // byte 10's two digits, then byte 11's
    EvYields expected;
};

bool operator==(const EvYields& a, const EvYields& b) {
    return a.hp == b.hp && a.attack == b.attack && a.defense == b.defense && a.speed == b.speed &&
           a.spAttack == b.spAttack && a.spDefense == b.spDefense;
}

TEST(SpeciesRecordTest, EvYieldBitLayout) {
    // Fields: hp, attack, defense, speed, spAttack, spDefense.
    const EvCase cases[] = {
        {"0000", {0, 0, 0, 0, 0, 0}}, {"1B09", {3, 2, 1, 0, 1, 2}}, {"1b09", {3, 2, 1, 0, 1, 2}},
        {"0300", {3, 0, 0, 0, 0, 0}}, {"0C00", {0, 3, 0, 0, 0, 0}}, {"3000", {0, 0, 3, 0, 0, 0}},
        {"C000", {0, 0, 0, 3, 0, 0}}, {"0001", {0, 0, 0, 0, 1, 0}}, {"0008", {0, 0, 0, 0, 0, 2}},
        {"00F0", {0, 0, 0, 0, 0, 0}},  // bits 12 to 15 mean nothing
        {"FFFF", {3, 3, 3, 3, 3, 3}},
    };
    for (const EvCase& c : cases) EXPECT_TRUE(DecodeEvYields(c.digits) == c.expected) << c.digits;
}

TEST(SpeciesRecordTest, PointerTextReversesTheStoredOrder) {
    EXPECT_EQ(PointerText("B4D725"), "25D7B4");
    EXPECT_EQ(PointerText("000000"), "000000");
    EXPECT_EQ(PointerText("010203"), "030201");
}

}  // namespace
