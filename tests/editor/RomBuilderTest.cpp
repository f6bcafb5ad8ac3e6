#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "RomBuilder.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace {

uint32_t Word(const std::vector<uint8_t>& bytes, int64_t at) {
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

struct LayoutCase {
    const char* name;
    RomLayout (*make)();
};

class RomBuilderLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(RomBuilderLayoutTest, HeaderCarriesCodeReleaseAndAValidComplement) {
    const RomBuilder builder(GetParam().make());
    const auto& bytes = builder.bytes();
    const RomLayout& layout = builder.layout();
    ASSERT_EQ(bytes.size(), static_cast<size_t>(layout.size));
    EXPECT_EQ(std::string(bytes.begin() + 0xAC, bytes.begin() + 0xB0), layout.gameCode);
    EXPECT_EQ(bytes[0xBC], layout.version);
    uint8_t check = 0;
    for (int i = 0xA0; i <= 0xBC; ++i) check = static_cast<uint8_t>(check - bytes[i]);
    EXPECT_EQ(bytes[0xBD], static_cast<uint8_t>(check - 0x19));
}

TEST_P(RomBuilderLayoutTest, EveryPointerOfEverySpeciesTargetsTheFile) {
    const RomBuilder builder(GetParam().make());
    const auto& bytes = builder.bytes();
    const RomLayout& l = builder.layout();
    for (int i = 0; i < 412; ++i) {
        const int64_t entries[] = {l.ImageOffset + 8 * i,   l.ImageOffset + 5280 + 8 * i,
                                   l.PaletteOffset + 8 * i, l.PaletteOffset + 3520 + 8 * i,
                                   l.IconOffset + 4 * i,    l.AttackTable + 4 * i};
        for (int64_t entry : entries) {
            EXPECT_EQ(bytes[entry + 3], 0x08) << "species " << i << " entry 0x" << std::hex << entry;
            const uint32_t target = Word(bytes, entry) - 0x08000000u;
            EXPECT_LT(target, bytes.size()) << "species " << i << " entry 0x" << std::hex << entry;
        }
        EXPECT_LE(bytes[l.IconPalette + i], 2) << "species " << i;
    }
}

TEST_P(RomBuilderLayoutTest, AttackTablesArePlausibleAndTerminated) {
    const RomBuilder builder(GetParam().make());
    const auto& bytes = builder.bytes();
    const RomLayout& l = builder.layout();
    int highAttacks = 0;
    std::set<uint32_t> starts;
    for (int i = 0; i < 412; ++i) {
        const uint32_t start = Word(bytes, l.AttackTable + 4 * i) - 0x08000000u;
        EXPECT_GE(start, static_cast<uint32_t>(l.freeSpace));
        starts.insert(start);
        int rows = 0;
        for (uint32_t at = start; !(bytes[at] == 0xFF && bytes[at + 1] == 0xFF); at += 2, ++rows) {
            ASSERT_LT(rows, 13) << "species " << i << " has no terminator after 12 rows";
            const int value = bytes[at] | bytes[at + 1] << 8;
            const int attack = value & 0x1FF;
            const int level = value >> 9;
            EXPECT_GE(attack, 1);
            EXPECT_LE(attack, 354);
            EXPECT_GE(level, 1);
            EXPECT_LE(level, 99);
            if (attack >= 256) ++highAttacks;
        }
        EXPECT_GE(rows, 3) << "species " << i;
    }
    EXPECT_EQ(starts.size(), 412u) << "every species has a table of its own";
    EXPECT_GT(highAttacks, 50) << "attack numbers of 256 and above need the odd level byte";
}

TEST_P(RomBuilderLayoutTest, NamesAreShortLettersEndedByFF) {
    const RomBuilder builder(GetParam().make());
    const auto& bytes = builder.bytes();
    std::set<std::vector<uint8_t>> distinct;
    for (int i = 1; i < 412; ++i) {
        const auto entry = bytes.begin() + builder.layout().NameOffset + 11 * i;
        const auto end = std::find(entry, entry + 11, 0xFF);
        ASSERT_NE(end, entry + 11) << "species " << i;
        EXPECT_GE(end - entry, 3);
        EXPECT_TRUE(*entry >= 0xBB && *entry <= 0xD4) << "a capital first";
        for (auto code = entry + 1; code != end; ++code) EXPECT_TRUE(*code >= 0xD5 && *code <= 0xEE);
        distinct.insert(std::vector<uint8_t>(entry, end));
    }
    EXPECT_GT(distinct.size(), 380u);
}

TEST_P(RomBuilderLayoutTest, RecordsVaryAndFillTheBytesTheEditorLeavesAlone) {
    const RomBuilder builder(GetParam().make());
    std::set<int> evWords, items;
    int highNibbles = 0;
    for (int i = 0; i < 412; ++i) {
        const auto r = builder.Record(i);
        for (int k : {18, 19, 25, 26, 27}) EXPECT_NE(r[k], 0) << "species " << i << " byte " << k;
        const int ev = r[10] | r[11] << 8;
        evWords.insert(ev & 0x0FFF);
        if (ev & 0xF000) ++highNibbles;
        EXPECT_NE(ev & 0x0FFF, 0) << "species " << i << " yields something";
        items.insert(r[12] | r[13] << 8);
        items.insert(r[14] | r[15] << 8);
        EXPECT_LE(r[24], 175);
    }
    EXPECT_GT(evWords.size(), 40u);
    EXPECT_GT(highNibbles, 50);
    EXPECT_GT(*items.rbegin(), 255);
}

INSTANTIATE_TEST_SUITE_P(Layouts, RomBuilderLayoutTest,
                         ::testing::Values(LayoutCase{"Demo", DemoLayout},
                                           LayoutCase{"FireRed", FireRedLayout}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RomBuilderTest, SameVarietySameBytesOtherVarietyOtherSpecies) {
    const RomBuilder first(DemoLayout(), 7);
    const RomBuilder again(DemoLayout(), 7);
    const RomBuilder other(DemoLayout(), 8);
    EXPECT_EQ(first.bytes(), again.bytes());
    EXPECT_NE(first.Record(1), other.Record(1));
    EXPECT_NE(testsupport::ChangedOffsets(first.bytes(), other.bytes()).size(), 0u);
}

TEST(RomBuilderTest, SettersPlaceTheirBytes) {
    RomBuilder builder(DemoLayout());
    const RomLayout& l = builder.layout();
    builder.SetName(5, "Farfetch'd");
    const std::vector<uint8_t> farfetchd = {0xC0, 0xD5, 0xE6, 0xDA, 0xD9, 0xE8, 0xD7, 0xDC, 0xB4, 0xD8, 0xFF};
    EXPECT_EQ(std::vector<uint8_t>(builder.bytes().begin() + l.NameOffset + 55,
                                   builder.bytes().begin() + l.NameOffset + 66),
              farfetchd);

    builder.SetPointer(l.ImageOffset, 0x25D7B4);
    EXPECT_EQ(Word(builder.bytes(), l.ImageOffset), 0x0825D7B4u);

    builder.SetAttackTable(3, 0x30000, {{33, 5}, {289, 5}});
    const std::vector<uint8_t> table = {0x21, 0x0A, 0x21, 0x0B, 0xFF, 0xFF};
    EXPECT_EQ(std::vector<uint8_t>(builder.bytes().begin() + 0x30000, builder.bytes().begin() + 0x30006),
              table);
    EXPECT_EQ(Word(builder.bytes(), l.AttackTable + 12), 0x08030000u);

    std::array<uint8_t, 28> record{};
    for (int k = 0; k < 28; ++k) record[k] = static_cast<uint8_t>(k + 1);
    builder.SetRecord(411, record);
    EXPECT_EQ(builder.Record(411), record);
}

TEST(RomBuilderTest, IniSectionAndSessionAgree) {
    RomLayout layout = FireRedLayout();
    layout.version = 1;
    const RomBuilder builder(layout);
    EXPECT_EQ(builder.SectionName(), "BPRE-1");
    EXPECT_EQ(
        builder.IniSection(),
        "[BPRE-1]\r\nNameOffset=&H245EE0\r\nDataOffset=&H254784\r\nImageOffset=&H2350AC\r\n"
        "PaletteOffset=&H23730C\r\nIconOffset=&H3D37A0\r\nIconPalette=&H3D3E80\r\nAttackTable=&H25D7B4\r\n"
        "IconPaletteTable=&H3D4038\r\nTitle=Pokemon FireRed (U)\r\n");
    const EditorSession session = builder.Session("rom.gba");
    EXPECT_EQ(session.RomPath, "rom.gba");
    EXPECT_EQ(session.Section, "BPRE-1");
    EXPECT_EQ(session.GameCode, "BPRE");
    EXPECT_EQ(session.DataOffset, 0x254784);
    EXPECT_EQ(session.IconPaletteTable, 0x3D4038);
}

TEST(RomBuilderTest, WriteToGivesTheBytesOrFalse) {
    testsupport::TempDir dir;
    const RomBuilder builder(DemoLayout());
    ASSERT_TRUE(builder.WriteTo(dir.File("demo.gba")));
    EXPECT_EQ(testsupport::ReadFileBytes(dir.File("demo.gba")), builder.bytes());
    EXPECT_FALSE(builder.WriteTo(dir.File("missing-folder/demo.gba")));
}

TEST(RomBuilderTest, FireRedBuildIsQuick) {
    const auto start = std::chrono::steady_clock::now();
    const RomBuilder builder(FireRedLayout());
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // Generous for sanitizer builds on a busy machine; a plain build takes a few milliseconds.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 500);
    EXPECT_EQ(builder.bytes().size(), 0x1000000u);
}

}  // namespace
