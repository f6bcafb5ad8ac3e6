#include "EditorTest.h"
#include "HexOffset.h"
#include "species/SpeciesRecord.h"
#include "species/SpeciesSave.h"
#include "text/NameList.h"

namespace {

// Where the moved copies go: an area the builder leaves FF in each of its 16 MiB layouts.
constexpr int32_t kDestination = 0xE00000;

struct Table {
    const char* key;
    int32_t length;
};

std::vector<Table> TablesOf(const RomBuilder& rom) {
    const RomLayout& l = rom.layout();
    const int32_t n = Species::kCount;
    std::vector<Table> tables = {
        {"NameOffset", 11 * n},
        {"DataOffset", 28 * n},
        {"ImageOffset", 8 * n},
        {"BackImageOffset", 8 * n},
        {"PaletteOffset", 8 * n},
        {"ShinyPaletteOffset", 8 * n},
        {"IconOffset", 4 * n},
        {"IconPalette", n},
        {"AttackTable", 4 * n},
        {"IconPaletteTable", 3 * 8},
        {"EvolutionTable", 40 * n},
        {"TMHMTable", 8 * n},
        {"TMHMMoves", 2 * 58},
        {"NationalDex", 2 * (n - 1)},
        {"DexEntries", 387 * l.DexEntrySize},
        {"MoveNames", 13 * rom.ListCount(RomNames::kMoves)},
    };
    if (l.AnimatedImageOffset != 0) tables.push_back({"AnimatedImageOffset", 8 * n});
    return tables;
}

struct MoveCase {
    const char* name;
    RomLayout (*layout)();
    bool staleCopies;  // the old copies left where they were, as some repointing tools leave them
};

class MovedTablesTest : public testing::TestWithParam<MoveCase> {};

// A hack whose tables a repointing tool moved: every table is read and written where the game's pointers
// lead, whether the old place was cleared or still holds a copy the game no longer reads.
TEST_P(MovedTablesTest, EveryTableIsReadAndWrittenWhereTheGameReadsIt) {
    RomBuilder rom(GetParam().layout());
    std::vector<std::pair<std::string, int32_t>> moved;
    int32_t to = kDestination;
    for (const Table& table : TablesOf(rom)) {
        const int32_t from = rom.TableOffset(table.key);
        ASSERT_TRUE(std::all_of(rom.bytes().begin() + to, rom.bytes().begin() + to + table.length,
                                [](uint8_t b) { return b == 0xFF; }));
        rom.MoveTable(from, to, table.length, GetParam().staleCopies);
        moved.emplace_back(table.key, to);
        to = (to + table.length + 15) & ~15;
    }
    // The moved copy of species 1 now differs from any stale one: a record without the bits the editor drops.
    const int32_t records = moved[1].second;
    rom.Fill(records + 28, {200, 90, 80,  70, 60, 50, 1, 2, 45, 64, 1, 0, 0, 0,
                            0,   0,  127, 20, 70, 2,  1, 2, 3,  0,  0, 1, 0, 0});
    // "MOVEDMOVED", which neither copy had.
    rom.Fill(moved[0].second + 11, {0xC7, 0xC9, 0xD0, 0xBF, 0xBE, 0xC7, 0xC9, 0xD0, 0xBF, 0xBE, 0xFF});

    OpenedRom opened(rom, rom.IniSection());
    const EditorSession& s = opened.session;
    for (const auto& [key, offset] : moved) {
        const LocatedTable* located = s.Located.Find(key);
        ASSERT_NE(located, nullptr) << key;
        EXPECT_EQ(located->offset, offset) << key;
        EXPECT_EQ(located->how.rfind("reference at 0x", 0), 0U) << key << ": " << located->how;
    }
    EXPECT_EQ(s.Located.MovedText(),
              ": " + std::to_string(moved.size()) + " tables moved, read where the game's pointers lead");
    EXPECT_EQ(
        std::vector<int32_t>({s.NameOffset, s.DataOffset, s.ImageOffset, s.BackImageOffset, s.PaletteOffset,
                              s.ShinyPaletteOffset, s.IconOffset, s.IconPalette, s.AttackTable}),
        std::vector<int32_t>({moved[0].second, moved[1].second, moved[2].second, moved[3].second,
                              moved[4].second, moved[5].second, moved[6].second, moved[7].second,
                              moved[8].second}));
    ASSERT_TRUE(s.Tables.evolutions.where && s.Tables.tmhm.where && s.Tables.dex.where);
    EXPECT_EQ(*s.Tables.evolutions.where, moved[10].second);
    EXPECT_EQ(s.Tables.tmhm.where->table, moved[11].second);
    EXPECT_EQ(s.Tables.tmhm.where->moves, moved[12].second);
    EXPECT_EQ(s.Tables.dex.where->nationalNumbers, moved[13].second);
    EXPECT_EQ(s.Tables.dex.where->entries, moved[14].second);
    EXPECT_EQ(s.NameTables[RomNames::kMoves].offset, std::to_string(moved[15].second));

    EXPECT_EQ(ReadSpecies(s, 1).hp, 200);
    EXPECT_EQ(LoadNameList(s)[1], "MOVEDMOVED");
    SpeciesEdits edits = EditsAsShown(s, 1);
    edits.hp = 123;
    RomWriter writer = QuietWriter(s);
    ASSERT_TRUE(SaveSpecies(writer, 1, edits).complete);
    Bytes expected = opened.bytes;
    expected[static_cast<size_t>(records + 28)] = 123;
    EXPECT_EQ(Differences(expected, ReadFileBytes(s.RomPath)), "");
}

INSTANTIATE_TEST_SUITE_P(Layouts, MovedTablesTest,
                         testing::Values(MoveCase{"FireRedCleared", FireRedLayout, false},
                                         MoveCase{"FireRedStale", FireRedLayout, true},
                                         MoveCase{"EmeraldStale", EmeraldLayout, true},
                                         MoveCase{"RubyCleared", RubyLayout, false}),
                         kCaseName);

// A reference that leads into other data (a hack rebuilt with other code) is not believed, and a ROM's own
// settings file decides a table that neither the pointer nor Data.ini finds.
TEST(MovedTablesTest, AWrongReferenceFallsBackAndTheRomsSettingsFixWhatNothingElseFinds) {
    RomBuilder rom(FireRedLayout());
    const RomLayout& l = rom.layout();
    rom.SetPointer(0x1BC, l.NameOffset);  // the records' reference leads to the names
    {
        OpenedRom opened(rom, rom.IniSection());
        EXPECT_EQ(opened.session.DataOffset, l.DataOffset);
        EXPECT_EQ(opened.session.Located.Find("DataOffset")->how, "Data.ini");
        EXPECT_EQ(opened.session.Located.MovedCount(), 0);
    }
    // Now no pointer leads to the names' new place, and their old one is FF: nothing finds them.
    rom.SetPointer(0x1BC, l.DataOffset);
    rom.MoveTable(l.NameOffset, kDestination, 11 * Species::kCount);
    rom.SetPointer(0x144, l.DataOffset);
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("hack.gba"), rom.bytes()) &&
                testsupport::WriteTestIni(dir.File("Data.ini"), {rom.IniSection()}));
    const OpenRomResult refused = OpenRomFile(dir.File("hack.gba"), dir.File("Data.ini"));
    EXPECT_NE(refused.error.find("species name table at 0x245EE0 does not hold names"), std::string::npos)
        << refused.error;

    const std::string settings = "[ROM]\r\nNameOffset=&HE00000\r\nTitle=My Hack\r\n";
    ASSERT_TRUE(WriteFileBytes(dir.File("hack.gba.ini"), Bytes(settings.begin(), settings.end())));
    const OpenRomResult opened = OpenRomFile(dir.File("hack.gba"), dir.File("Data.ini"));
    ASSERT_TRUE(opened.session) << opened.error;
    EXPECT_EQ(opened.session->NameOffset, kDestination);
    EXPECT_EQ(opened.session->Located.Find("NameOffset")->how, "hack.gba.ini");
    EXPECT_EQ(opened.session->Title, "My Hack");
}

}  // namespace
