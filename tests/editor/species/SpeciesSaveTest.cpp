#include "EditorTest.h"
#include "modConv.h"
#include "species/SpeciesRecord.h"
#include "species/SpeciesSave.h"

namespace {

TEST(SpeciesSaveUntouchedTest, WritesBackWhatWasReadButEvBits12To15AndTheNameTail) {
    TempDir dir;
    RomBuilder builder(DemoLayout());
    const RomLayout& l = builder.layout();
    builder.bytes()[l.DataOffset + 11] |= 0xF0;
    builder.SetName(7, "Abc");
    builder.Fill(l.NameOffset + 7 * 11 + 4, {0x55, 0xFF, 0x01});
    builder.SetName(83, "FARFETCH'D");  // B4 for the apostrophe, and no byte to spare
    const auto files = WriteRomFiles(dir, builder);
    std::vector<uint8_t> expected = builder.bytes();
    for (int index : {0, 7, 83, 411}) {
        RomWriter writer = QuietWriter(files.session);
        ASSERT_TRUE(SaveSpecies(writer, index, EditsAsShown(files.session, index)).complete) << index;
        if (index == 7) std::fill_n(expected.begin() + l.NameOffset + 7 * 11 + 4, 3, 0x00);
        expected[l.DataOffset + 28 * index + 11] &= 0x0F;
        EXPECT_EQ(Differences(expected, ReadFileBytes(files.rom)), "") << index;
    }
}

// Where the parts of species i lie, worked out here rather than taken from the editor.
enum Part { kName, kRecord, kSprite, kBack, kPalette, kShiny, kIcon, kIconPalette, kTable, kRows };

int64_t Where(const RomLayout& l, Part part, int i, const SpeciesEdits& e) {
    const int64_t at[] = {l.NameOffset + 11 * i,   l.DataOffset + 28 * i,
                          l.ImageOffset + 8 * i,   l.ImageOffset + 5280 + 8 * i,
                          l.PaletteOffset + 8 * i, l.PaletteOffset + 3520 + 8 * i,
                          l.IconOffset + 4 * i,    l.IconPalette + i,
                          l.AttackTable + 4 * i,   e.attackTable};
    return at[part];
}

using Writes = std::vector<std::tuple<Part, int, std::vector<uint8_t>>>;  // bytes from a part's offset + k

// Species 40's record bytes are 10 + k apart from a zero EV word, so that every value written differs.
constexpr int kIndex = 40;

class SpeciesSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::array<uint8_t, 28> record{};
        for (int k = 0; k < 28; ++k) record[k] = k == 10 || k == 11 ? 0 : static_cast<uint8_t>(0x10 + k);
        builder_.SetRecord(kIndex, record);
        builder_.SetName(kIndex, "Abcdefghij");
        files_ = WriteRomFiles(dir_, builder_);
        ASSERT_TRUE(files_.written);
        baseline_ = EditsAsShown(files_.session, kIndex);
        writer_ = QuietWriter(files_.session);
        saved_ = ReadFileBytes(files_.rom);
    }

    // The file as it was with the writes applied; each must change its byte, or the case would prove nothing.
    std::vector<uint8_t> Expected(const Writes& writes, const SpeciesEdits& edits) const {
        std::vector<uint8_t> bytes = saved_;
        for (const auto& [part, k, values] : writes) {
            for (size_t b = 0; b < values.size(); ++b) {
                const auto at = static_cast<size_t>(Where(builder_.layout(), part, kIndex, edits) + k) + b;
                EXPECT_NE(bytes.at(at), values[b]) << "the byte at " << at << " is that already";
                bytes[at] = values[b];
            }
        }
        return bytes;
    }

    TempDir dir_;
    RomBuilder builder_{DemoLayout()};
    RomFiles files_;
    RomWriter writer_{EditorSession{}};
    SpeciesEdits baseline_;
    std::vector<uint8_t> saved_;
};

struct FieldCase {
    const char* name;
    void (*change)(SpeciesEdits&);
    Writes writes;
    friend void PrintTo(const FieldCase& c, std::ostream* out) { *out << c.name; }
};

class SpeciesSaveFieldTest : public SpeciesSaveTest, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(SpeciesSaveFieldTest, LandsAtItsOwnOffsetAndNowhereElse) {
    SpeciesEdits edits = baseline_;
    GetParam().change(edits);
    const std::vector<uint8_t> expected = Expected(GetParam().writes, edits);
    const SaveOutcome outcome = SaveSpecies(writer_, kIndex, edits);
    EXPECT_TRUE(outcome.complete) << outcome.error;
    EXPECT_EQ(Differences(expected, ReadFileBytes(files_.rom)), "");
}

// Numbers wrap into their byte, fractions round, no selection writes FF (items FF FF). Tables that change
// size: AttackTableSaveTest.
INSTANTIATE_TEST_SUITE_P(
    Fields, SpeciesSaveFieldTest,
    ::testing::ValuesIn(std::vector<FieldCase>{
        {"Hp256", [](auto& e) { e.hp = 256; }, {{kRecord, 0, {0x00}}}},
        {"AttackMinus1", [](auto& e) { e.attack = -1; }, {{kRecord, 1, {0xFF}}}},
        {"DefenseFraction", [](auto& e) { e.defense = 99.7; }, {{kRecord, 2, {0x64}}}},
        {"Speed", [](auto& e) { e.speed = 90; }, {{kRecord, 3, {0x5A}}}},
        {"SpAttack", [](auto& e) { e.spAttack = 1; }, {{kRecord, 4, {0x01}}}},
        {"SpDefense", [](auto& e) { e.spDefense = 2; }, {{kRecord, 5, {0x02}}}},
        {"Type1NoSelection", [](auto& e) { e.type1 = -1; }, {{kRecord, 6, {0xFF}}}},
        {"Type2", [](auto& e) { e.type2 = 4; }, {{kRecord, 7, {0x04}}}},
        {"CatchRate", [](auto& e) { e.catchRate = 45; }, {{kRecord, 8, {0x2D}}}},
        {"BaseXp", [](auto& e) { e.baseXp = 64; }, {{kRecord, 9, {0x40}}}},
        {"EvLowYields",
         [](auto& e) { e.evHp = 1, e.evAttack = 2, e.evDefense = 3; },
         {{kRecord, 10, {0x39}}}},
        {"EvHighYields",
         [](auto& e) { e.evSpeed = 1, e.evSpAttack = 2, e.evSpDefense = 3; },
         {{kRecord, 10, {0x40, 0x0E}}}},
        {"Item1NoSelection", [](auto& e) { e.item1 = -1; }, {{kRecord, 12, {0xFF, 0xFF}}}},
        {"Item2", [](auto& e) { e.item2 = 300; }, {{kRecord, 14, {0x2C, 0x01}}}},
        {"Gender", [](auto& e) { e.gender = 127; }, {{kRecord, 16, {0x7F}}}},
        {"Steps", [](auto& e) { e.steps = 40; }, {{kRecord, 17, {0x28}}}},
        {"EggType1", [](auto& e) { e.eggType1 = 1; }, {{kRecord, 20, {0x01}}}},
        {"EggType2", [](auto& e) { e.eggType2 = 2; }, {{kRecord, 21, {0x02}}}},
        {"Ability1", [](auto& e) { e.ability1 = 65; }, {{kRecord, 22, {0x41}}}},
        {"Ability2", [](auto& e) { e.ability2 = 0; }, {{kRecord, 23, {0x00}}}},
        {"Safari", [](auto& e) { e.safari = 125; }, {{kRecord, 24, {0x7D}}}},
        {"Name", [](auto& e) { e.name = "Zz"; }, {{kName, 0, {0xD4, 0xEE, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}}}},
        {"EmptyNameKeepsTheEleventhByte",
         [](auto& e) { e.name = ""; },
         {{kName, 0, {0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0}}}},
        {"ElevenCharactersWithoutEndMarker",
         [](auto& e) { e.name = "Abcdefghij\x0B"; },
         {{kName, 10, {0xB5}}}},
        {"Sprite", [](auto& e) { e.sprite = 0x0ABCDE; }, {{kSprite, 0, {0xDE, 0xBC, 0x0A}}}},
        {"BackSprite", [](auto& e) { e.backSprite = 0x0BCDEF; }, {{kBack, 0, {0xEF, 0xCD, 0x0B}}}},
        {"Palette", [](auto& e) { e.palette = 0x0C1357; }, {{kPalette, 0, {0x57, 0x13, 0x0C}}}},
        {"ShinyPalette", [](auto& e) { e.shinyPalette = 0x0D2469; }, {{kShiny, 0, {0x69, 0x24, 0x0D}}}},
        {"Icon", [](auto& e) { e.icon = 0x0E9876; }, {{kIcon, 0, {0x76, 0x98, 0x0E}}}},
        // Above 16 MiB the fourth byte becomes 09; the demo's pointers hold 08 there.
        {"SpriteAbove16MiB", [](auto& e) { e.sprite = 0x1ABCDEF; }, {{kSprite, 0, {0xEF, 0xCD, 0xAB, 0x09}}}},
        {"AttackTableAbove16MiB",
         [](auto& e) { e.attackTable = 0x1F01234, e.rows.clear(); },
         {{kTable, 0, {0x34, 0x12, 0xF0, 0x09}}}},
        {"IconPalette", [](auto& e) { e.iconPalette = 7; }, {{kIconPalette, 0, {0x07}}}},
        {"ChangedRow", [](auto& e) { e.rows[0] = {300, 10}; }, {{kRows, 0, {0x2C, 0x15}}}}}),
    kCaseName);

// The name entry lies at 0x10000 + 11 * 40 = 65976, the record at 0x12000 + 28 * 40 = 74848.
TEST_F(SpeciesSaveTest, ReportNamesEveryFieldOffsetInWriteOrder) {
    EXPECT_EQ(SaveSpecies(writer_, kIndex, baseline_).report,
              "Name Saved To: 65976\r\nHP Data Saved To: 74848\r\nAttack Data Saved To: 74849"
              "\r\nDefense Data Saved To: 74850\r\nSpeed Data Saved To: 74851"
              "\r\nSpecial Attack Data Saved To: 74852\r\nSpecial Defense Data Saved To: 74853"
              "\r\nType 1 Data Saved To: 74854\r\nType 2 Data Saved To: 74855"
              "\r\nBase XP Data Saved To: 74857\r\nCatch Rate Data Saved To: 74856"
              "\r\nEV Data Saved To: 74858\r\nHeld Item 1 Data Saved To: 74860"
              "\r\nHeld Item 2 Data Saved To: 74862\r\nGender Data Saved To: 74864"
              "\r\nSteps To Hatch Data Saved To: 74865\r\nEgg Type 1 Data Saved To: 74868"
              "\r\nEgg Type 2 Data Saved To: 74869\r\nSpecial Ability 1 Data Saved To: 74870"
              "\r\nSpecial Ability 2 Data Saved To: 74871\r\nSafari Zone (Run Chance) Data Saved To: 74872");
}

TEST_F(SpeciesSaveTest, FractionalYieldIsRefusedByTheConversionAndStoredAsZero) {
    std::vector<std::string> messages;
    const modConv::MessageSink previous =
        modConv::SetMessageSink([&messages](const std::string& message) { messages.push_back(message); });
    SpeciesEdits edits = baseline_;
    edits.evHp = 1.5, edits.evAttack = 2;
    const SaveOutcome outcome = SaveSpecies(writer_, kIndex, edits);
    modConv::SetMessageSink(previous);
    EXPECT_TRUE(outcome.complete);
    EXPECT_EQ(messages, std::vector<std::string>{"Only Whole Numbers can be converted"});
    EXPECT_EQ(Differences(Expected({{kRecord, 10, {0x08}}}, edits), ReadFileBytes(files_.rom)), "");
}

}  // namespace
