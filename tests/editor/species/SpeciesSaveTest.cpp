// A species' record as read, and a species saved as the window saves it, with the tables beside it, as one
// step: every save is compared with the whole file and taken back with Undo.

#include "EditorTest.h"
#include "modConv.h"
#include "species/SpeciesRecord.h"
#include "species/SpeciesSave.h"
#include "species/SpeciesTableValues.h"

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

TEST(SpeciesSaveUntouchedTest, WritesBackWhatWasReadButEvBits12To15AndTheNameTail) {
    const WrittenRom written(DemoLayout(), [](RomBuilder& rom) {
        rom.bytes()[rom.layout().DataOffset + 11] |= 0xF0;
        rom.SetName(7, "Abc");
        rom.Fill(rom.layout().NameOffset + 7 * 11 + 4, {0x55, 0xFF, 0x01});
        rom.SetName(83, "FARFETCH'D");  // B4 for the apostrophe, and no byte to spare
    });
    const RomLayout& l = written.rom.layout();
    const RomFiles& files = written.files;
    std::vector<uint8_t> expected = written.rom.bytes();
    for (int index : {0, 7, 83, 411}) {
        RomWriter writer = QuietWriter(files.session);
        ASSERT_TRUE(SaveSpecies(writer, index, EditsAsShown(files.session, index)).complete) << index;
        if (index == 7) std::fill_n(expected.begin() + l.NameOffset + 7 * 11 + 4, 3, 0x00);
        expected[l.DataOffset + 28 * index + 11] &= 0x0F;
        EXPECT_EQ(Differences(expected, ReadFileBytes(files.rom)), "") << index;
    }
}

using Row = LevelUpAttackEntry;

constexpr int kIndex = 40;
// On the demo's layouts species 40's level-up table lies alone in the unused gap between the tables and the
// pictures: 21 0A 21 0B 0A 12, then FF FF.
constexpr int32_t kGap = 0x23000;
const std::vector<Row> kThreeRows = {{33, 5}, {289, 5}, {10, 9}};
constexpr int32_t kPointer = 0x1AA00 + 4 * kIndex;
constexpr int32_t kKey = 0xF8000;  // the demo's FreeSpace key; the first place is 16 bytes on
const std::vector<Row> kLonger = {{33, 5}, {289, 5}, {10, 9}, {7, 20}};
// Free space is FF already: the terminator after these rows changes nothing, as the old one freed does not.
const Bytes kLongerBytes = {0x21, 0x0A, 0x21, 0x0B, 0x0A, 0x12, 0x07, 0x28};
const Bytes kFreed(6, 0xFF);

// Where the parts of species 40 lie, worked out here rather than taken from the editor.
enum Part { kName, kRecord, kSprite, kBack, kPalette, kShiny, kIcon, kIconPalette, kTable, kRows };
enum { kEvolutions = kRows + 1, kTmHm, kTutors, kFile };

int64_t Where(const RomLayout& l, int part, const SpeciesEdits& e) {
    const int i = kIndex, tutorEntry = l.TutorCount > 16 ? 4 : 2;
    const int64_t at[] = {l.NameOffset + 11 * i,         l.DataOffset + 28 * i,
                          l.ImageOffset + 8 * i,         l.ImageOffset + 5280 + 8 * i,
                          l.PaletteOffset + 8 * i,       l.PaletteOffset + 3520 + 8 * i,
                          l.IconOffset + 4 * i,          l.IconPalette + i,
                          l.AttackTable + 4 * i,         e.attackTable,
                          l.EvolutionTable + 40 * i,     l.TMHMTable + 8 * i,
                          l.TutorTable + tutorEntry * i, 0};
    return at[part];
}

// Species 40 crafted: its record bytes 10 + k apart from a zero EV word and its table entries zero (but for
// the top bit of a 15-tutor entry, which lies beyond its list), so that every value written differs.
void Craft(RomBuilder& rom) {
    std::array<uint8_t, 28> record{};
    for (int k = 0; k < 28; ++k) record[k] = k == 10 || k == 11 ? 0 : static_cast<uint8_t>(0x10 + k);
    rom.SetRecord(kIndex, record);
    rom.SetName(kIndex, "Abcdefghij");
    const RomLayout& l = rom.layout();
    rom.Fill(int32_t(Where(l, kEvolutions, {})), Bytes(40, 0x00));
    rom.Fill(int32_t(Where(l, kTmHm, {})), Bytes(8, 0x00));
    if (l.TutorCount > 0) rom.Fill(int32_t(Where(l, kTutors, {})), {0x00, 0x80, 0x00, 0x80});
    if (l.gameCode == DemoLayout().gameCode) rom.SetAttackTable(kIndex, kGap, kThreeRows);
}

struct Species : SpeciesEdits {
    SpeciesTableValues tables;
};

// One more row of the moves ticked, as the window's list hands the mask over.
void Tick(std::optional<Compatibility>& compatibility, size_t row) {
    std::vector<bool> rows;
    for (size_t n = 0; n < compatibility->moves.size(); ++n) rows.push_back(compatibility->mask >> n & 1);
    rows.at(row) = true;
    compatibility->mask = MaskWithRows(compatibility->mask, rows);
}

void Longer(Species& s) {
    s.rows = kLonger;
}
void AtTheLastByte(RomBuilder& rom) {
    rom.SetPointer(kPointer, 0xFFFFF);
}
// Free space with a used byte every 32.
void NoRun(RomBuilder& rom) {
    for (int32_t at = kKey; at < 0x100000; at += 32) rom.Fill(at, {0x00});
}

using Writes = std::vector<std::tuple<int, int64_t, Bytes>>;  // bytes from a part's offset + k

struct SaveCase {
    const char* name;
    void (*change)(Species&);
    Writes writes = {};  // each must change its bytes, or the case would prove nothing
    RomLayout (*layout)() = DemoLayout;
    std::optional<int64_t> movedTo = {};  // where the level-up table went
    const char* error = nullptr;          // in the message of a refused save, which writes nothing
    void (*prepare)(RomBuilder&) = nullptr;
    std::optional<int32_t> key = {}, size = {};  // the layout's FreeSpace key (0: none) and file size
    std::vector<std::string> said = {};          // by the number conversion, which the window shows
    friend void PrintTo(const SaveCase& c, std::ostream* out) { *out << c.name; }
};

class SpeciesSaveFieldTest : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SpeciesSaveFieldTest, LandsOnItsOwnBytesAsOneStep) {
    const SaveCase& c = GetParam();
    RomLayout layout = c.layout();
    layout.FreeSpaceKey = c.key.value_or(layout.FreeSpaceKey);
    layout.size = c.size.value_or(layout.size);
    const WrittenRom crafted(layout, [&c](RomBuilder& rom) {
        Craft(rom);
        if (c.prepare) c.prepare(rom);
    });
    const EditorSession& session = crafted.files.session;
    Species s{EditsAsShown(session, kIndex), ReadSpeciesTableValues(session, kIndex)};
    c.change(s);
    const Bytes before = ReadFileBytes(crafted.files.rom);
    Bytes expected = before;
    for (const auto& [part, k, values] : c.writes) {
        const auto at = static_cast<size_t>(Where(layout, part, s) + k);
        for (size_t b = 0; b < values.size(); ++b) {
            EXPECT_NE(expected.at(at + b), values[b]) << "the byte at " << at + b << " is that already";
            expected[at + b] = values[b];
        }
    }
    RomWriter writer = QuietWriter(session);
    std::vector<std::string> said;
    const modConv::MessageSink previous =
        modConv::SetMessageSink([&said](const std::string& message) { said.push_back(message); });
    const SaveOutcome outcome =
        SaveSpecies(writer, kIndex, s, PlanSpeciesTableWrites(session, kIndex, s.tables));
    modConv::SetMessageSink(previous);
    EXPECT_EQ(said, c.said);
    EXPECT_EQ(Differences(expected, ReadFileBytes(crafted.files.rom)), "");
    if (c.error) {
        EXPECT_FALSE(outcome.complete);
        EXPECT_NE(outcome.error.find(c.error), std::string::npos) << outcome.error;
        return;
    }
    ASSERT_TRUE(outcome.complete) << outcome.error;
    EXPECT_EQ(outcome.tableMovedTo, c.movedTo);
    if (c.writes.empty()) return;
    ASSERT_TRUE(writer.Undo().complete);
    EXPECT_EQ(Differences(before, ReadFileBytes(crafted.files.rom)), "");
}

// Numbers wrap into their byte, fractions round, no selection writes FF (items FF FF); a table pointer whose
// target moves keeps a fourth byte that need not change. The masks keep the bits beyond their lists.
INSTANTIATE_TEST_SUITE_P(
    Fields, SpeciesSaveFieldTest,
    ::testing::ValuesIn(std::vector<SaveCase>{
        // Every record field at once; the yields fill the EV word two bits each from bit 0, 12 to 15 clear.
        {"EveryRecordField",
         [](auto& s) {
             s.hp = 256, s.attack = -1, s.defense = 99.7, s.speed = 90, s.spAttack = 1, s.spDefense = 2;
             s.type1 = -1, s.type2 = 4, s.catchRate = 45, s.baseXp = 64, s.item1 = -1, s.item2 = 300;
             s.evHp = 1, s.evAttack = 2, s.evDefense = 3, s.evSpeed = 1, s.evSpAttack = 2, s.evSpDefense = 3;
             s.gender = 127, s.steps = 40, s.eggType1 = 1, s.eggType2 = 2, s.ability1 = 65, s.ability2 = 0;
             s.safari = 125;
         },
         {{kRecord, 0, {0x00, 0xFF, 0x64, 0x5A, 0x01, 0x02, 0xFF, 0x04, 0x2D, 0x40}},
          {kRecord, 10, {0x79, 0x0E, 0xFF, 0xFF, 0x2C, 0x01, 0x7F, 0x28}},
          {kRecord, 20, {0x01, 0x02, 0x41, 0x00, 0x7D}}}},
        {"Name", [](auto& s) { s.name = "Zz"; }, {{kName, 0, {0xD4, 0xEE, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}}}},
        {"NameWithGermanLetters",
         [](auto& s) { s.name = "\xC4\xF6\xDF\xE9"; },
         {{kName, 0, {0xF1, 0xF5, 0x15, 0x1B, 0xFF, 0, 0, 0, 0, 0, 0}}}},
        {"EmptyNameKeepsTheEleventhByte",
         [](auto& s) { s.name = ""; },
         {{kName, 0, {0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0}}}},
        {"ElevenCharactersWithoutEndMarker",
         [](auto& s) { s.name = "Abcdefghij\x0B"; },
         {{kName, 10, {0xB5}}}},
        {"Sprite", [](auto& s) { s.sprite = 0x0ABCDE; }, {{kSprite, 0, {0xDE, 0xBC, 0x0A}}}},
        {"BackSprite", [](auto& s) { s.backSprite = 0x0BCDEF; }, {{kBack, 0, {0xEF, 0xCD, 0x0B}}}},
        {"Palette", [](auto& s) { s.palette = 0x0C1357; }, {{kPalette, 0, {0x57, 0x13, 0x0C}}}},
        {"ShinyPalette", [](auto& s) { s.shinyPalette = 0x0D2469; }, {{kShiny, 0, {0x69, 0x24, 0x0D}}}},
        {"Icon", [](auto& s) { s.icon = 0x0E9876; }, {{kIcon, 0, {0x76, 0x98, 0x0E}}}},
        // Above 16 MiB the fourth byte becomes 09; the demo's pointers hold 08 there.
        {"SpriteAbove16MiB", [](auto& s) { s.sprite = 0x1ABCDEF; }, {{kSprite, 0, {0xEF, 0xCD, 0xAB, 0x09}}}},
        {"AttackTableAbove16MiB",
         [](auto& s) { s.attackTable = 0x1F01234, s.rows.clear(); },
         {{kTable, 0, {0x34, 0x12, 0xF0, 0x09}}}},
        {"IconPalette", [](auto& s) { s.iconPalette = 7; }, {{kIconPalette, 0, {0x07}}}},
        {"ChangedRow", [](auto& s) { s.rows[2] = {300, 10}; }, {{kRows, 4, {0x2C, 0x15}}}},
        {"Evolutions",
         [](auto& s) {
             s.tables.evolutions->at(0).method = 7, s.tables.evolutions->at(2).parameter = 300;
             s.tables.evolutions->at(4).target = 411;
         },
         {{kEvolutions, 0, {0x07}}, {kEvolutions, 18, {0x2C, 0x01}}, {kEvolutions, 36, {0x9B, 0x01}}}},
        {"Tm01", [](auto& s) { Tick(s.tables.tmhm, 0); }, {{kTmHm, 0, {0x01}}}},
        {"Tm50", [](auto& s) { Tick(s.tables.tmhm, 49); }, {{kTmHm, 6, {0x02}}}, FireRedLayout},
        {"Hm01", [](auto& s) { Tick(s.tables.tmhm, 50); }, {{kTmHm, 6, {0x04}}}, EmeraldLayout},
        {"Hm08", [](auto& s) { Tick(s.tables.tmhm, 57); }, {{kTmHm, 7, {0x02}}}, RubyLayout},
        {"FireRedLastOfFifteenTutors",
         [](auto& s) { Tick(s.tables.tutors, 14); },
         {{kTutors, 1, {0xC0}}},
         FireRedLayout},
        {"EmeraldLastOfThirtyTutors",
         [](auto& s) { Tick(s.tables.tutors, 29); },
         {{kTutors, 3, {0xA0}}},
         EmeraldLayout},
        {"SameRowsChangeNothing", [](auto&) {}, {}},
        {"ShorterEndsAfterItsLastRow",
         [](auto& s) { s.rows = {kThreeRows[0], kThreeRows[1]}; },
         {{kRows, 4, {0xFF, 0xFF}}}},
        {"EmptyIsATerminator", [](auto& s) { s.rows.clear(); }, {{kRows, 0, {0xFF, 0xFF}}}},
        {.name = "LongerMovesAndFreesItsPlace",
         .change = Longer,
         .writes = {{kTable, 0, {0x10, 0x80, 0x0F}}, {kRows, 0, kFreed}, {kFile, kKey + 16, kLongerBytes}},
         .movedTo = kKey + 16},
        {.name = "SharedStaysWhereItIs",
         .change = Longer,
         .writes = {{kTable, 0, {0x10, 0x80, 0x0F}}, {kFile, kKey + 16, kLongerBytes}},
         .movedTo = kKey + 16,
         .prepare = [](RomBuilder& b) { b.SetPointer(kPointer + 4, kGap); }},
        // Another species' empty table is nothing but FF FF in the free space, yet it is a table.
        {.name = "PastAnEmptyTableInFreeSpace",
         .change = Longer,
         .writes = {{kTable, 0, {0x24, 0x80, 0x0F}}, {kRows, 0, kFreed}, {kFile, kKey + 0x24, kLongerBytes}},
         .movedTo = kKey + 0x24,
         .prepare = [](RomBuilder& b) { b.SetPointer(kPointer + 4, kKey + 16); }},
        // A table pointer at the last byte holds no row and no room for a terminator.
        {.name = "AtTheLastByteUnchanged", .change = [](auto&) {}, .prepare = AtTheLastByte},
        {.name = "AtTheLastByteMovesAndFreesNothing",
         .change = [](auto& s) { s.rows = std::vector<Row>(1, kLonger[3]); },
         .writes = {{kTable, 0, {0x10, 0x80}}, {kFile, kKey + 16, {0x07, 0x28}}},
         .movedTo = kKey + 16,
         .prepare = AtTheLastByte},
        {.name = "NoRunLongEnough", .change = Longer, .error = "No run of 42 unused (FF) bytes", .prepare = NoRun},
        {.name = "NoKey", .change = Longer, .error = "has no FreeSpace key", .key = 0},
        // Past 16 MiB everything is free space, behind pointers whose fourth byte is 09.
        {.name = "NoKeyIn32MiBMovesAbove16MiB",
         .change = Longer,
         .writes = {{kTable, 0, {0x10, 0x00, 0x00, 0x09}}, {kRows, 0, kFreed}, {kFile, 0x1000010, kLongerBytes}},
         .movedTo = 0x1000010,
         .key = 0,
         .size = 0x2000000},
        {.name = "KeyBeyondTheFile", .change = Longer, .error = "0x100000, beyond the end", .key = 0x100000},
        {.name = "MoreRowsThanALoadReads",
         .change = [](auto& s) { s.rows = std::vector<Row>(4097, kThreeRows[0]); },
         .error = "at most 4096"},
        // The conversion refuses a fractional yield and it is stored as zero.
        {.name = "FractionalYield",
         .change = [](auto& s) { s.evHp = 1.5, s.evAttack = 2; },
         .writes = {{kRecord, 10, {0x08}}},
         .said = {"Only Whole Numbers can be converted"}}}),
    kCaseName);

// The name entry lies at 0x10000 + 11 * 40 = 65976, the record at 0x12000 + 28 * 40 = 74848.
TEST(SpeciesSaveTest, ReportNamesEveryFieldOffsetInWriteOrder) {
    const std::string report =
        "Name Saved To: 65976\r\nHP Data Saved To: 74848\r\nAttack Data Saved To: 74849"
        "\r\nDefense Data Saved To: 74850\r\nSpeed Data Saved To: 74851"
        "\r\nSpecial Attack Data Saved To: 74852\r\nSpecial Defense Data Saved To: 74853"
        "\r\nType 1 Data Saved To: 74854\r\nType 2 Data Saved To: 74855"
        "\r\nBase XP Data Saved To: 74857\r\nCatch Rate Data Saved To: 74856"
        "\r\nEV Data Saved To: 74858\r\nHeld Item 1 Data Saved To: 74860"
        "\r\nHeld Item 2 Data Saved To: 74862\r\nGender Data Saved To: 74864"
        "\r\nSteps To Hatch Data Saved To: 74865\r\nEgg Type 1 Data Saved To: 74868"
        "\r\nEgg Type 2 Data Saved To: 74869\r\nSpecial Ability 1 Data Saved To: 74870"
        "\r\nSpecial Ability 2 Data Saved To: 74871\r\nSafari Zone (Run Chance) Data Saved To: 74872";
    const WrittenRom crafted(DemoLayout(), Craft);
    RomWriter writer = QuietWriter(crafted.files.session);
    EXPECT_EQ(SaveSpecies(writer, kIndex, EditsAsShown(crafted.files.session, kIndex)).report, report);
}

}  // namespace
