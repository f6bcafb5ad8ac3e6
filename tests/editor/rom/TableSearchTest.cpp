#include "EditorTest.h"
#include "ReadINI.h"
#include "rom/TableLocator.h"
#include "rom/TableShapes.h"

namespace {

using testsupport::WithIniKey;

// The section with every offset and every reference leading into FF, but those of the tables no search can
// tell from other data: what a hack rebuilt with code and tables of its own looks like to Data.ini.
std::string Rebuilt(const RomBuilder& rom) {
    std::string section = rom.IniSection();
    for (const TableShapes::Shape& shape : TableShapes::All()) {
        if (rom.TableOffset(shape.key) == 0) continue;
        if (shape.searched) {
            section = WithIniKey(section, shape.key, "&HF00000");
            section = WithIniKey(section, shape.refKey, "&HF00010");
        }
    }
    return section;
}

struct SearchCase {
    const char* name;
    RomLayout (*layout)();
};

class TableSearchTest : public testing::TestWithParam<SearchCase> {};

// With the references and the offsets leading nowhere, the search finds every table at its true offset and
// no other place; the tables it cannot tell from other data it leaves to their pointers.
TEST_P(TableSearchTest, FindsEveryTableItCanTellApartAtItsTrueOffset) {
    const RomBuilder rom(GetParam().layout());
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("hack.gba"), rom.bytes()) &&
                testsupport::WriteTestIni(dir.File("Data.ini"), {Rebuilt(rom)}));
    const GameSection keys(dir.File("Data.ini"), rom.SectionName(), dir.File("hack.gba"));
    const LocatedTables located =
        LocateTables(dir.File("hack.gba"), static_cast<int64_t>(rom.bytes().size()), keys);
    for (const TableShapes::Shape& shape : TableShapes::All()) {
        const int32_t offset = rom.TableOffset(shape.key);
        if (offset == 0) continue;
        const LocatedTable& table = *located.Find(shape.key);
        if (shape.searched) {
            EXPECT_EQ(table.offset, offset) << shape.key << ": " << table.HowShown();
            EXPECT_EQ(table.how.rfind("search: ", 0), 0U) << shape.key << ": " << table.HowShown();
        } else {
            EXPECT_EQ(table.how.rfind("reference at ", 0), 0U) << shape.key << ": " << table.HowShown();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, TableSearchTest,
                         testing::Values(SearchCase{"FireRed", FireRedLayout},
                                         SearchCase{"Emerald", EmeraldLayout}, SearchCase{"Ruby", RubyLayout},
                                         SearchCase{"Expanded", ExpandedLayout}),
                         kCaseName);

// A hack rebuilt from the games' source: Data.ini's offsets and the code's references lead nowhere, and
// only the game's own pointers, wherever they are, find its tables. (That the session reads and writes every
// table where it was located, however it was found: MovedTablesTest.)
TEST(TableSearchOpenTest, ARebuiltHackOpensWithEveryTableFound) {
    const RomBuilder rom(FireRedLayout());
    OpenedRom opened(rom, Rebuilt(rom));
    const EditorSession& s = opened.session;
    EXPECT_EQ(s.DataOffset, rom.layout().DataOffset);
    EXPECT_EQ(s.Located.Find("DataOffset")->how, "search: 1 pointer");
    ASSERT_TRUE(s.Tables.evolutions.where && s.Tables.eggMoves.where && s.Tables.dex.where);
    EXPECT_EQ(*s.Tables.evolutions.where, rom.layout().EvolutionTable);
    EXPECT_EQ(s.Tables.eggMoves.where->table, rom.layout().EggMoves);
    EXPECT_EQ(s.Tables.dex.where->entries, rom.layout().DexEntries);
}

// Two places that look alike and that as many pointers lead to: neither is taken, and the refusal names both.
TEST(TableSearchOpenTest, TwoEqualCandidatesAreRefusedNamingBoth) {
    RomBuilder rom(FireRedLayout());
    const int32_t names = rom.layout().NameOffset;
    rom.Fill(0xE00000, Bytes(rom.bytes().begin() + names, rom.bytes().begin() + names + 11 * 412));
    rom.SetPointer(0xE10000, 0xE00000);
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("hack.gba"), rom.bytes()) &&
                testsupport::WriteTestIni(dir.File("Data.ini"), {Rebuilt(rom)}));
    const OpenRomResult refused = OpenRomFile(dir.File("hack.gba"), dir.File("Data.ini"));
    EXPECT_FALSE(refused.session);
    EXPECT_NE(
        refused.error.find("species names are not where Data.ini or the game's pointer says, and a search of "
                           "the file found 0x245EE0 and 0xE00000 both look like them, 1 pointer each."),
        std::string::npos)
        << refused.error;
    EXPECT_EQ(ReadFileBytes(dir.File("hack.gba")), rom.bytes());
}

}  // namespace
