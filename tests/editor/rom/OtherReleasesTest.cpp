// Releases beyond the English ones: German Ruby and Sapphire from the shipped Data.ini, and releases it has
// no section for, opened by a search with the formats of their game.

#include "EditorTest.h"
#include "species/PokedexEntry.h"
#include "species/SpeciesSave.h"
#include "text/NameList.h"

namespace {

// German names shown as stored and saved as typed; German quotes in a Pokédex text read as the game draws
// them.
TEST(GermanReleaseTest, NamesAndTextsReadAndSaveExactly) {
    for (RomLayout (*make)() : {RubyGermanLayout, SapphireGermanLayout}) {
        RomBuilder rom(make());
        rom.SetName(6, "Glurak\xDF\xE4");
        const OpenedRom opened(rom);
        const EditorSession& s = opened.session;
        SCOPED_TRACE(s.GameCode);
        EXPECT_EQ(s.Title, rom.layout().title);
        EXPECT_EQ(s.TextLanguage, GameText::Language::German);
        EXPECT_EQ(ReadSpeciesNames(s)[6], "Glurak\xDF\xE4");
        // Every description that holds a double quote shows it as „ or “, never as an English ”.
        int quoted = 0;
        for (int species = 1; species < 200; ++species) {
            const std::string text = ReadDexEntry(s, species).values->description.value_or("");
            quoted += text.find('\x84') != std::string::npos;
            EXPECT_EQ(text.find('\x94'), std::string::npos) << text;
        }
        EXPECT_GT(quoted, 0);

        RomWriter writer = QuietWriter(s);
        SpeciesEdits edits = EditsAsShown(s, 6);
        edits.name = "\xC4\xD6\xDC\xFC";
        ASSERT_TRUE(SaveSpecies(writer, 6, edits).complete);
        Bytes expected = opened.bytes;
        const Bytes name = {0xF1, 0xF2, 0xF3, 0xF6, 0xFF, 0, 0, 0, 0, 0, 0};
        std::copy(name.begin(), name.end(), expected.begin() + rom.layout().NameOffset + 11 * 6);
        expected[size_t(rom.layout().DataOffset + 28 * 6 + 11)] &= 0x0F;  // the yield bits the editor drops
        EXPECT_EQ(Differences(expected, ReadFileBytes(s.RomPath)), "");
    }
}

struct UnknownCase {
    const char* name;
    RomLayout (*layout)();
    const char* code;
    const char* game;
};

class UnknownReleaseTest : public testing::TestWithParam<UnknownCase> {};

// A code of a known game that Data.ini lacks: opening offers the search and, asked to, finds every species
// table with the game's formats; an edit lands where the game reads.
TEST_P(UnknownReleaseTest, OpensBySearchWithEveryTableWhereTheGameReadsIt) {
    RomBuilder rom(GetParam().layout());
    rom.Fill(0xAC, Bytes(GetParam().code, GetParam().code + 4));
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("hack.gba"), rom.bytes()));
    const std::string ini = VORNHAL_DATA_DIR "/Data.ini";
    const OpenRomResult offer = OpenRomFile(dir.File("hack.gba"), ini);
    EXPECT_TRUE(offer.searchOffered && !offer.session);
    EXPECT_EQ(offer.error, "The game code " + std::string(GetParam().code) +
                               " is not in Data.ini. It looks like a release of " + GetParam().game +
                               ". Search the ROM for its tables?");

    const OpenRomResult opened = OpenRomFile(dir.File("hack.gba"), ini, UnknownRelease::Search);
    ASSERT_TRUE(opened.session) << opened.error;
    const EditorSession& s = *opened.session;
    EXPECT_EQ(s.Title, std::string(GetParam().code) + " (tables found by search)");
    EXPECT_TRUE(s.FoundBySearch);
    for (const char* key :
         {"NameOffset", "DataOffset", "ImageOffset", "BackImageOffset", "PaletteOffset", "ShinyPaletteOffset",
          "IconOffset", "IconPalette", "AttackTable", "EvolutionTable", "EggMoves", "NationalDex",
          "DexEntries", "MoveNames", "ItemTable"})
        EXPECT_EQ(s.Located.Offset(key), rom.TableOffset(key))
            << key << ": " << s.Located.Find(key)->HowShown();
    EXPECT_TRUE(s.Tables.evolutions.where && s.Tables.eggMoves.where && s.Tables.dex.where);
    EXPECT_EQ(s.Tables.dex.where->twoPages, std::string(GetParam().code)[0] == 'A');

    SpeciesEdits edits = EditsAsShown(s, 9);
    edits.catchRate = 7;
    RomWriter writer = QuietWriter(s);
    ASSERT_TRUE(SaveSpecies(writer, 9, edits).complete);
    Bytes expected = rom.bytes();
    const auto record = static_cast<size_t>(rom.layout().DataOffset + 28 * 9);
    expected[record + 8] = 7;
    expected[record + 11] &= 0x0F;
    EXPECT_EQ(Differences(expected, ReadFileBytes(s.RomPath)), "");

    // With the found offsets kept in the ROM's settings file, the next opening asks nothing and searches for
    // nothing that file places.
    ASSERT_TRUE(SaveLocatedOffsets(s.RomPath, s.Located));
    const OpenRomResult again = OpenRomFile(dir.File("hack.gba"), ini);
    ASSERT_TRUE(again.session) << again.error;
    EXPECT_EQ(again.session->DataOffset, rom.layout().DataOffset);
    EXPECT_EQ(again.session->Located.Find("NameOffset")->how, "hack.gba.ini");
}

INSTANTIATE_TEST_SUITE_P(
    Games, UnknownReleaseTest,
    testing::Values(UnknownCase{"FireRedFrench", FireRedLayout, "BPRF", "Pokemon FireRed"},
                    UnknownCase{"LeafGreenSpanish", FireRedLayout, "BPGS", "Pokemon LeafGreen"},
                    UnknownCase{"EmeraldItalian", EmeraldLayout, "BPEI", "Pokemon Emerald"},
                    UnknownCase{"RubyFrench", RubyLayout, "AXVF", "Pokemon Ruby"},
                    UnknownCase{"SapphireSpanish", SapphireGermanLayout, "AXPS", "Pokemon Sapphire"}),
    kCaseName);

// The Japanese releases keep five-character names in 6-byte entries: refused, saying so, and nothing else
// (a described section or a search) lets them through.
TEST(UnknownReleaseTest, AJapaneseNameLayoutIsRefused) {
    RomBuilder rom(FireRedLayout());
    rom.Fill(0xAC, {'B', 'P', 'R', 'J'});
    const int32_t names = rom.layout().NameOffset;
    for (int species = 0; species < 412 * 11 / 6; ++species)
        rom.Fill(names + 6 * species, {0x70, uint8_t(0x71 + species % 9), 0x72, 0x73, 0x74, 0xFF});
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("hack.gba"), rom.bytes()));
    const OpenRomResult refused =
        OpenRomFile(dir.File("hack.gba"), VORNHAL_DATA_DIR "/Data.ini", UnknownRelease::Search);
    EXPECT_FALSE(refused.session);
    EXPECT_NE(refused.error.find("are kept in entries of 6 bytes, as the Japanese releases keep them"),
              std::string::npos)
        << refused.error;
}

}  // namespace
