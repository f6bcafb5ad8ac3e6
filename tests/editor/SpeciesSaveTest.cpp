#include <gtest/gtest.h>

// POSIX: a child process with a file size limit, to make a write fail part way.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>

#include "NameList.h"
#include "RomBuilder.h"
#include "RomFiles.h"
#include "SpeciesRecord.h"
#include "SpeciesSave.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "Unwritable.h"
#include "modConv.h"

namespace {

using testsupport::ByteChange;
using testsupport::ChangedBytes;
using testsupport::DescribeChanges;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteRomFiles;

// The rows of the table at start, decoded here rather than by the attack list code, so that these tests
// check the save alone.
std::vector<LevelUpAttackEntry> RowsAt(const std::vector<uint8_t>& bytes, size_t start) {
    std::vector<LevelUpAttackEntry> rows;
    for (size_t at = start; at + 1 < bytes.size() && !(bytes[at] == 0xFF && bytes[at + 1] == 0xFF); at += 2) {
        rows.push_back({bytes[at] | (bytes[at + 1] & 1) << 8, bytes[at + 1] >> 1});
    }
    return rows;
}

// What the window hands to the save when the user changes nothing.
SpeciesEdits EditsAsShown(const EditorSession& session, int index) {
    const SpeciesValues v = ReadSpecies(session, index);
    SpeciesEdits e;
    e.name = LoadNameList(session)[index];
    e.hp = v.hp;
    e.attack = v.attack;
    e.defense = v.defense;
    e.speed = v.speed;
    e.spAttack = v.spAttack;
    e.spDefense = v.spDefense;
    e.baseXp = v.baseXp;
    e.catchRate = v.catchRate;
    e.safari = v.safari;
    e.evHp = v.ev.hp;
    e.evAttack = v.ev.attack;
    e.evDefense = v.ev.defense;
    e.evSpeed = v.ev.speed;
    e.evSpAttack = v.ev.spAttack;
    e.evSpDefense = v.ev.spDefense;
    e.type1 = v.type1;
    e.type2 = v.type2;
    e.item1 = v.item1;
    e.item2 = v.item2;
    e.gender = v.gender;
    e.steps = v.steps;
    e.eggType1 = v.eggType1;
    e.eggType2 = v.eggType2;
    e.ability1 = v.ability1;
    e.ability2 = v.ability2;
    e.iconPalette = v.iconPalette;
    auto target = [](const std::string& text) { return static_cast<int32_t>(std::stol(text, nullptr, 16)); };
    e.sprite = target(v.sprite);
    e.backSprite = target(v.backSprite);
    e.palette = target(v.palette);
    e.shinyPalette = target(v.shinyPalette);
    e.icon = target(v.icon);
    e.attackTable = target(v.attackTable);
    e.rows = RowsAt(ReadFileBytes(session.RomPath), static_cast<size_t>(e.attackTable));
    return e;
}

TEST(SpeciesSaveTest, UnchangedSaveWritesBackWhatWasRead) {
    TempDir dir;
    RomBuilder builder(DemoLayout());
    const RomLayout& l = builder.layout();
    // Bytes after the end marker are not part of the name; the save rebuilds them as 00.
    builder.SetName(7, "Abc");
    builder.Fill(l.NameOffset + 7 * 11 + 4, {0x55, 0xFF, 0x01});
    const auto files = WriteRomFiles(dir, builder);

    for (int index : {0, 1, 7, 205, 411}) {
        SCOPED_TRACE("species " + std::to_string(index));
        const auto before = ReadFileBytes(files.rom);
        std::vector<ByteChange> expected;
        if (index == 7) {
            for (int64_t k : {4, 5, 6}) {
                const int64_t at = l.NameOffset + 7 * 11 + k;
                expected.push_back({at, before[at], 0x00});
            }
        }
        const int64_t evHigh = l.DataOffset + 28 * index + 11;
        if (before[evHigh] & 0xF0) expected.push_back({evHigh, before[evHigh], before[evHigh] & 0x0F});

        const SaveOutcome outcome = SaveSpecies(files.session, index, EditsAsShown(files.session, index));
        EXPECT_TRUE(outcome.complete) << outcome.error;
        EXPECT_EQ(outcome.error, "");
        const auto changes = ChangedBytes(before, ReadFileBytes(files.rom));
        EXPECT_EQ(changes, expected) << DescribeChanges(changes);
    }
}

TEST(SpeciesSaveTest, UnchangedSaveOfAFireRedLayout) {
    TempDir dir;
    const RomBuilder builder(FireRedLayout(), 3);
    const auto files = WriteRomFiles(dir, builder);
    const int index = 150;
    const auto before = ReadFileBytes(files.rom);
    const SaveOutcome outcome = SaveSpecies(files.session, index, EditsAsShown(files.session, index));
    ASSERT_TRUE(outcome.complete) << outcome.error;
    const auto changes = ChangedBytes(before, ReadFileBytes(files.rom));
    const int64_t evHigh = builder.layout().DataOffset + 28 * index + 11;
    for (const ByteChange& change : changes) EXPECT_EQ(change.offset, evHigh) << DescribeChanges(changes);
}

TEST(SpeciesSaveTest, NameWithApostropheSurvivesByteForByte) {
    TempDir dir;
    RomBuilder builder(FireRedLayout());
    builder.SetName(83, "Farfetch'd");
    const auto files = WriteRomFiles(dir, builder);
    const int32_t entry = builder.layout().NameOffset + 83 * 11;
    const auto before = ReadFileBytes(files.rom);
    const SpeciesEdits edits = EditsAsShown(files.session, 83);
    EXPECT_EQ(edits.name, "Farfetch'd");
    ASSERT_TRUE(SaveSpecies(files.session, 83, edits).complete);
    const auto after = ReadFileBytes(files.rom);
    EXPECT_EQ(std::vector<uint8_t>(after.begin() + entry, after.begin() + entry + 11),
              std::vector<uint8_t>(before.begin() + entry, before.begin() + entry + 11));
}

// The single-field cases below start from this species, whose record bytes are 10 + k apart from a zero EV
// word, so that every value the cases write differs from what was there.
class SpeciesSaveFieldTest : public ::testing::Test {
protected:
    static constexpr int kIndex = 40;

    void SetUp() override {
        std::array<uint8_t, 28> record{};
        for (int k = 0; k < 28; ++k) record[k] = static_cast<uint8_t>(0x10 + k);
        record[10] = record[11] = 0;
        builder_.SetRecord(kIndex, record);
        builder_.SetName(kIndex, "Abcdefghij");
        files_ = WriteRomFiles(dir_, builder_);
        ASSERT_TRUE(files_.written);
        baseline_ = EditsAsShown(files_.session, kIndex);
        ASSERT_TRUE(SaveSpecies(files_.session, kIndex, baseline_).complete);
        saved_ = ReadFileBytes(files_.rom);
    }

    int64_t Record(int k) const { return builder_.layout().DataOffset + 28 * kIndex + k; }

    TempDir dir_;
    RomBuilder builder_{DemoLayout()};
    testsupport::RomFiles files_;
    SpeciesEdits baseline_;
    std::vector<uint8_t> saved_;
};

struct FieldCase {
    std::string name;
    std::function<void(SpeciesEdits&)> change;
    // (offset, byte) pairs; offsets from the functions below.
    std::function<std::vector<std::pair<int64_t, int>>(const RomLayout&, int index, const SpeciesEdits&)>
        bytes;
};

void PrintTo(const FieldCase& c, std::ostream* out) {
    *out << c.name;
}

int64_t R(const RomLayout& l, int index, int k) {
    return l.DataOffset + 28 * index + k;
}

std::vector<FieldCase> FieldCases() {
    using Bytes = std::vector<std::pair<int64_t, int>>;
    std::vector<FieldCase> cases;
    auto recordByte = [&cases](std::string name, std::function<void(SpeciesEdits&)> change, int k,
                               int value) {
        cases.push_back(
            {std::move(name), std::move(change), [k, value](const RomLayout& l, int i, const SpeciesEdits&) {
                 return Bytes{{R(l, i, k), value}};
             }});
    };
    recordByte(
        "Hp", [](SpeciesEdits& e) { e.hp = 200; }, 0, 0xC8);
    recordByte(
        "Attack", [](SpeciesEdits& e) { e.attack = 0; }, 1, 0x00);
    recordByte(
        "Defense", [](SpeciesEdits& e) { e.defense = 255; }, 2, 0xFF);
    recordByte(
        "Speed", [](SpeciesEdits& e) { e.speed = 90; }, 3, 0x5A);
    recordByte(
        "SpAttack", [](SpeciesEdits& e) { e.spAttack = 1; }, 4, 0x01);
    recordByte(
        "SpDefense", [](SpeciesEdits& e) { e.spDefense = 2; }, 5, 0x02);
    recordByte(
        "Type1", [](SpeciesEdits& e) { e.type1 = 3; }, 6, 0x03);
    recordByte(
        "Type2", [](SpeciesEdits& e) { e.type2 = 4; }, 7, 0x04);
    recordByte(
        "CatchRate", [](SpeciesEdits& e) { e.catchRate = 45; }, 8, 0x2D);
    recordByte(
        "BaseXp", [](SpeciesEdits& e) { e.baseXp = 64; }, 9, 0x40);
    recordByte(
        "EvHp", [](SpeciesEdits& e) { e.evHp = 3; }, 10, 0x03);
    recordByte(
        "EvAttack", [](SpeciesEdits& e) { e.evAttack = 2; }, 10, 0x08);
    recordByte(
        "EvDefense", [](SpeciesEdits& e) { e.evDefense = 1; }, 10, 0x10);
    recordByte(
        "EvSpeed", [](SpeciesEdits& e) { e.evSpeed = 3; }, 10, 0xC0);
    recordByte(
        "EvSpAttack", [](SpeciesEdits& e) { e.evSpAttack = 1; }, 11, 0x01);
    recordByte(
        "EvSpDefense", [](SpeciesEdits& e) { e.evSpDefense = 3; }, 11, 0x0C);
    cases.push_back({"Item1", [](SpeciesEdits& e) { e.item1 = 300; },
                     [](const RomLayout& l, int i, const SpeciesEdits&) {
                         return Bytes{{R(l, i, 12), 0x2C}, {R(l, i, 13), 0x01}};
                     }});
    cases.push_back({"Item2", [](SpeciesEdits& e) { e.item2 = 0x0203; },
                     [](const RomLayout& l, int i, const SpeciesEdits&) {
                         return Bytes{{R(l, i, 14), 0x03}, {R(l, i, 15), 0x02}};
                     }});
    recordByte(
        "Gender", [](SpeciesEdits& e) { e.gender = 127; }, 16, 0x7F);
    recordByte(
        "Steps", [](SpeciesEdits& e) { e.steps = 40; }, 17, 0x28);
    recordByte(
        "EggType1", [](SpeciesEdits& e) { e.eggType1 = 1; }, 20, 0x01);
    recordByte(
        "EggType2", [](SpeciesEdits& e) { e.eggType2 = 2; }, 21, 0x02);
    recordByte(
        "Ability1", [](SpeciesEdits& e) { e.ability1 = 65; }, 22, 0x41);
    recordByte(
        "Ability2", [](SpeciesEdits& e) { e.ability2 = 0; }, 23, 0x00);
    recordByte(
        "Safari", [](SpeciesEdits& e) { e.safari = 125; }, 24, 0x7D);

    cases.push_back({"Name", [](SpeciesEdits& e) { e.name = "Zz"; },
                     [](const RomLayout& l, int i, const SpeciesEdits&) {
                         Bytes bytes = {{l.NameOffset + 11 * i, 0xD4},
                                        {l.NameOffset + 11 * i + 1, 0xEE},
                                        {l.NameOffset + 11 * i + 2, 0xFF}};
                         for (int k = 3; k < 11; ++k) bytes.push_back({l.NameOffset + 11 * i + k, 0x00});
                         return bytes;
                     }});
    auto pointer = [&cases](std::string name, std::function<void(SpeciesEdits&)> change,
                            std::function<int64_t(const RomLayout&, int)> entry, int32_t target) {
        cases.push_back(
            {std::move(name), std::move(change),
             [entry, target](const RomLayout& l, int i, const SpeciesEdits&) {
                 const int64_t at = entry(l, i);
                 return Bytes{{at, target & 0xFF}, {at + 1, target >> 8 & 0xFF}, {at + 2, target >> 16}};
             }});
    };
    pointer(
        "Sprite", [](SpeciesEdits& e) { e.sprite = 0x0ABCDE; },
        [](const RomLayout& l, int i) { return l.ImageOffset + 8 * i; }, 0x0ABCDE);
    pointer(
        "BackSprite", [](SpeciesEdits& e) { e.backSprite = 0x0BCDEF; },
        [](const RomLayout& l, int i) { return l.ImageOffset + 5280 + 8 * i; }, 0x0BCDEF);
    pointer(
        "Palette", [](SpeciesEdits& e) { e.palette = 0x0C1357; },
        [](const RomLayout& l, int i) { return l.PaletteOffset + 8 * i; }, 0x0C1357);
    pointer(
        "ShinyPalette", [](SpeciesEdits& e) { e.shinyPalette = 0x0D2469; },
        [](const RomLayout& l, int i) { return l.PaletteOffset + 3520 + 8 * i; }, 0x0D2469);
    pointer(
        "Icon", [](SpeciesEdits& e) { e.icon = 0x0E9876; },
        [](const RomLayout& l, int i) { return l.IconOffset + 4 * i; }, 0x0E9876);
    cases.push_back({"IconPalette", [](SpeciesEdits& e) { e.iconPalette = (e.iconPalette + 1) % 3; },
                     [](const RomLayout& l, int i, const SpeciesEdits& e) {
                         return Bytes{{l.IconPalette + i, e.iconPalette}};
                     }});
    // A new table offset moves the pointer and writes the same rows there, without a terminator.
    cases.push_back({"AttackTable", [](SpeciesEdits& e) { e.attackTable = 0x0F7735; },
                     [](const RomLayout& l, int i, const SpeciesEdits& e) {
                         const int64_t at = l.AttackTable + 4 * i;
                         Bytes bytes = {{at, 0x35}, {at + 1, 0x77}, {at + 2, 0x0F}};
                         for (size_t r = 0; r < e.rows.size(); ++r) {
                             const int value = e.rows[r].level * 512 + e.rows[r].attack;
                             bytes.push_back({0x0F7735 + 2 * static_cast<int64_t>(r), value & 0xFF});
                             bytes.push_back({0x0F7735 + 2 * static_cast<int64_t>(r) + 1, value >> 8});
                         }
                         return bytes;
                     }});
    cases.push_back({"ChangedRow",
                     [](SpeciesEdits& e) {
                         e.rows[1] = {300, 10};
                     },
                     [](const RomLayout&, int, const SpeciesEdits& e) {
                         return Bytes{{e.attackTable + 2, 0x2C}, {e.attackTable + 3, 0x15}};
                     }});
    cases.push_back({"AddedRow",
                     [](SpeciesEdits& e) {
                         e.rows.push_back({33, 5});
                     },
                     [](const RomLayout&, int, const SpeciesEdits& e) {
                         const int64_t at = e.attackTable + 2 * static_cast<int64_t>(e.rows.size() - 1);
                         return Bytes{{at, 0x21}, {at + 1, 0x0A}};
                     }});
    cases.push_back({"RemovedRowLeavesTheOldBytes", [](SpeciesEdits& e) { e.rows.pop_back(); },
                     [](const RomLayout&, int, const SpeciesEdits&) { return Bytes{}; }});
    cases.push_back({"NoRows", [](SpeciesEdits& e) { e.rows.clear(); },
                     [](const RomLayout&, int, const SpeciesEdits&) { return Bytes{}; }});
    return cases;
}

class SpeciesSaveFieldCaseTest : public SpeciesSaveFieldTest,
                                 public ::testing::WithParamInterface<FieldCase> {};

TEST_P(SpeciesSaveFieldCaseTest, LandsAtItsOwnOffsetAndNowhereElse) {
    SpeciesEdits edits = baseline_;
    GetParam().change(edits);
    std::vector<ByteChange> expected;
    for (const auto& [offset, value] : GetParam().bytes(builder_.layout(), kIndex, edits)) {
        ASSERT_NE(saved_[offset], value)
            << "the case must write a byte that differs, at 0x" << std::hex << offset;
        expected.push_back({offset, saved_[offset], value});
    }
    std::sort(expected.begin(), expected.end(),
              [](const auto& a, const auto& b) { return a.offset < b.offset; });

    const SaveOutcome outcome = SaveSpecies(files_.session, kIndex, edits);
    EXPECT_TRUE(outcome.complete) << outcome.error;
    const auto changes = ChangedBytes(saved_, ReadFileBytes(files_.rom));
    EXPECT_EQ(changes, expected) << "changed: " << DescribeChanges(changes)
                                 << "\nexpected: " << DescribeChanges(expected);
}

INSTANTIATE_TEST_SUITE_P(Fields, SpeciesSaveFieldCaseTest, ::testing::ValuesIn(FieldCases()),
                         [](const auto& info) { return info.param.name; });

TEST_F(SpeciesSaveFieldTest, ReportNamesEveryFieldOffsetInOrder) {
    const SaveOutcome outcome = SaveSpecies(files_.session, kIndex, baseline_);
    ASSERT_TRUE(outcome.complete);
    const int64_t name = builder_.layout().NameOffset + 11 * kIndex;
    const std::pair<const char*, int> lines[] = {
        {"HP", 0},
        {"Attack", 1},
        {"Defense", 2},
        {"Speed", 3},
        {"Special Attack", 4},
        {"Special Defense", 5},
        {"Type 1", 6},
        {"Type 2", 7},
        {"Base XP", 9},
        {"Catch Rate", 8},
        {"EV", 10},
        {"Held Item 1", 12},
        {"Held Item 2", 14},
        {"Gender", 16},
        {"Steps To Hatch", 17},
        {"Egg Type 1", 20},
        {"Egg Type 2", 21},
        {"Special Ability 1", 22},
        {"Special Ability 2", 23},
        {"Safari Zone (Run Chance)", 24},
    };
    std::string expected = "Name Saved To: " + std::to_string(name);
    for (const auto& [label, k] : lines) {
        expected += "\r\n" + std::string(label) + " Data Saved To: " + std::to_string(Record(k));
    }
    EXPECT_EQ(outcome.report, expected);
    // The demo's record of species 40 starts at 0x12460 = 74848.
    EXPECT_NE(outcome.report.find("\r\nHP Data Saved To: 74848\r\n"), std::string::npos);
    EXPECT_NE(outcome.report.find("\r\nEV Data Saved To: 74858\r\n"), std::string::npos);
}

struct NumberCase {
    std::string name;
    std::function<void(SpeciesEdits&)> change;
    int k;  // record byte
    std::vector<int> bytes;
};

void PrintTo(const NumberCase& c, std::ostream* out) {
    *out << c.name;
}

class SpeciesSaveNumberTest : public SpeciesSaveFieldTest,
                              public ::testing::WithParamInterface<NumberCase> {};

TEST_P(SpeciesSaveNumberTest, WrapsIntoItsBytes) {
    SpeciesEdits edits = baseline_;
    GetParam().change(edits);
    ASSERT_TRUE(SaveSpecies(files_.session, kIndex, edits).complete);
    const auto after = ReadFileBytes(files_.rom);
    for (size_t b = 0; b < GetParam().bytes.size(); ++b) {
        EXPECT_EQ(after[Record(GetParam().k + static_cast<int>(b))], GetParam().bytes[b]) << "byte " << b;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, SpeciesSaveNumberTest,
    ::testing::Values(
        NumberCase{"Number256", [](SpeciesEdits& e) { e.hp = 256; }, 0, {0x00}},
        NumberCase{"NumberMinus1", [](SpeciesEdits& e) { e.hp = -1; }, 0, {0xFF}},
        NumberCase{"Number511", [](SpeciesEdits& e) { e.speed = 511; }, 3, {0xFF}},
        NumberCase{"NumberMinus256", [](SpeciesEdits& e) { e.speed = -256; }, 3, {0x00}},
        NumberCase{"LargeNumber", [](SpeciesEdits& e) { e.baseXp = 1000000001; }, 9, {0x01}},
        NumberCase{"HalfRoundsToEvenDown", [](SpeciesEdits& e) { e.catchRate = 2.5; }, 8, {0x02}},
        NumberCase{"HalfRoundsToEvenUp", [](SpeciesEdits& e) { e.catchRate = 3.5; }, 8, {0x04}},
        NumberCase{"HalfBelowByteEnd", [](SpeciesEdits& e) { e.safari = 254.5; }, 24, {0xFE}},
        NumberCase{"HalfWrapsAtByteEnd", [](SpeciesEdits& e) { e.safari = 255.5; }, 24, {0x00}},
        NumberCase{"SmallNegativeFraction", [](SpeciesEdits& e) { e.attack = -0.4; }, 1, {0x00}},
        NumberCase{"FractionRounds", [](SpeciesEdits& e) { e.attack = 99.7; }, 1, {0x64}},
        NumberCase{"NoSelection", [](SpeciesEdits& e) { e.type1 = -1; }, 6, {0xFF}},
        NumberCase{"Position256", [](SpeciesEdits& e) { e.gender = 256; }, 16, {0x00}},
        NumberCase{"Position257", [](SpeciesEdits& e) { e.ability2 = 257; }, 23, {0x01}},
        NumberCase{"PositionMinus2", [](SpeciesEdits& e) { e.eggType1 = -2; }, 20, {0xFE}},
        NumberCase{"ItemNoSelection", [](SpeciesEdits& e) { e.item1 = -1; }, 12, {0xFF, 0xFF}},
        NumberCase{"Item257", [](SpeciesEdits& e) { e.item2 = 257; }, 14, {0x01, 0x01}},
        NumberCase{"Item65536", [](SpeciesEdits& e) { e.item2 = 65536; }, 14, {0x00, 0x00}},
        NumberCase{"Item139", [](SpeciesEdits& e) { e.item1 = 139; }, 12, {0x8B, 0x00}},
        NumberCase{"EvAll",
                   [](SpeciesEdits& e) {
                       e.evHp = 3, e.evAttack = 2, e.evDefense = 1, e.evSpeed = 0;
                       e.evSpAttack = 1, e.evSpDefense = 2;
                   },
                   10,
                   {0x1B, 0x09}}),
    [](const auto& info) { return info.param.name; });

TEST_F(SpeciesSaveFieldTest, FractionalYieldIsRefusedByTheConversionAndStoredAsZero) {
    std::vector<std::string> messages;
    const modConv::MessageSink previous =
        modConv::SetMessageSink([&messages](const std::string& message) { messages.push_back(message); });
    SpeciesEdits edits = baseline_;
    edits.evHp = 1.5;
    edits.evAttack = 2;
    const SaveOutcome outcome = SaveSpecies(files_.session, kIndex, edits);
    modConv::SetMessageSink(previous);
    EXPECT_TRUE(outcome.complete);
    EXPECT_EQ(messages, std::vector<std::string>{"Only Whole Numbers can be converted"});
    EXPECT_EQ(ReadFileBytes(files_.rom)[Record(10)], 0x08);
}

TEST_F(SpeciesSaveFieldTest, RowsWithHighAttackNumbers) {
    SpeciesEdits edits = baseline_;
    edits.attackTable = 0x0F0000;
    edits.rows = {{300, 10}, {33, 5}, {289, 5}, {354, 99}, {0, 0}};
    ASSERT_TRUE(SaveSpecies(files_.session, kIndex, edits).complete);
    const auto after = ReadFileBytes(files_.rom);
    const std::vector<uint8_t> expected = {
        0x2C, 0x15, 0x21, 0x0A, 0x21, 0x0B, 0x62, 0xC7, 0x00, 0x00, saved_[0x0F000A], saved_[0x0F000B]};
    EXPECT_EQ(std::vector<uint8_t>(after.begin() + 0x0F0000, after.begin() + 0x0F000C), expected);
}

TEST_F(SpeciesSaveFieldTest, EmptyNameKeepsTheEleventhByte) {
    SpeciesEdits edits = baseline_;
    edits.name = "";
    ASSERT_TRUE(SaveSpecies(files_.session, kIndex, edits).complete);
    const auto after = ReadFileBytes(files_.rom);
    const int64_t entry = builder_.layout().NameOffset + 11 * kIndex;
    const std::vector<uint8_t> expected = {0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, saved_[entry + 10]};
    EXPECT_EQ(std::vector<uint8_t>(after.begin() + entry, after.begin() + entry + 11), expected);
    EXPECT_EQ(LoadNameList(files_.session)[kIndex], "");
}

TEST_F(SpeciesSaveFieldTest, ElevenCharacterNameHasNoEndMarker) {
    SpeciesEdits edits = baseline_;
    edits.name = "Abcdefghij\x0B";
    ASSERT_TRUE(SaveSpecies(files_.session, kIndex, edits).complete);
    const auto after = ReadFileBytes(files_.rom);
    const int64_t entry = builder_.layout().NameOffset + 11 * kIndex;
    EXPECT_EQ(after[entry + 10], 0xB5);
    EXPECT_EQ(LoadNameList(files_.session)[kIndex], "Abcdefghij\x0B");
}

struct RefusalCase {
    std::string name;
    // Gives the path to save to; a file made unwritable stays so while lock lives.
    std::function<std::string(const TempDir& dir, const std::string& rom,
                              std::optional<testsupport::Unwritable>& lock)>
        prepare;
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
    *out << c.name;
}

class SpeciesSaveRefusalTest : public SpeciesSaveFieldTest,
                               public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(SpeciesSaveRefusalTest, NothingIsWritten) {
    std::optional<testsupport::Unwritable> lock;
    EditorSession session = files_.session;
    session.RomPath = GetParam().prepare(dir_, files_.rom, lock);
    if (lock && !lock->active()) GTEST_SKIP() << "this file system cannot make the file unwritable";
    SpeciesEdits edits = baseline_;
    edits.hp = 1;
    edits.name = "Changed";

    const SaveOutcome outcome = SaveSpecies(session, kIndex, edits);
    lock.reset();
    EXPECT_FALSE(outcome.complete);
    EXPECT_EQ(outcome.report, "");
    EXPECT_NE(outcome.error.find("\"" + session.RomPath + "\""), std::string::npos) << outcome.error;
    EXPECT_NE(outcome.error.find("Nothing was saved"), std::string::npos) << outcome.error;
    if (std::filesystem::is_regular_file(files_.rom)) {
        EXPECT_EQ(ReadFileBytes(files_.rom), saved_);
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.File("gone.gba")));
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, SpeciesSaveRefusalTest,
    ::testing::Values(RefusalCase{"ReadOnly",
                                  [](const TempDir&, const std::string& rom, auto& lock) {
                                      lock.emplace(rom);
                                      return rom;
                                  }},
                      RefusalCase{"Removed",
                                  [](const TempDir& dir, const std::string& rom, auto&) {
                                      std::filesystem::rename(rom, dir.File("moved.gba"));
                                      return rom;
                                  }},
                      RefusalCase{"NeverThere", [](const TempDir& dir, const std::string&,
                                                   auto&) { return dir.File("gone.gba"); }},
                      RefusalCase{"Folder", [](const TempDir& dir, const std::string&,
                                               auto&) { return dir.path().string(); }}),
    [](const auto& info) { return info.param.name; });

// Every byte of the save is held against the file's length before the first one is written: a field or an
// attack row that lies (partly) beyond the end leaves the whole file as it was.
struct BeyondTheEndCase {
    std::string name;
    // Moves a table, changes the edits or cuts the file; size is the file's length before.
    std::function<void(EditorSession&, SpeciesEdits&, const std::string& rom, int64_t size, int index)> place;
    std::vector<std::string> named;  // parts of the message that say what does not fit
};

void PrintTo(const BeyondTheEndCase& c, std::ostream* out) {
    *out << c.name;
}

class SpeciesSaveBeyondTheEndTest : public SpeciesSaveFieldTest,
                                    public ::testing::WithParamInterface<BeyondTheEndCase> {};

TEST_P(SpeciesSaveBeyondTheEndTest, IsRefusedBeforeAnyByte) {
    EditorSession session = files_.session;
    SpeciesEdits edits = baseline_;
    edits.name = "Changed";
    edits.hp = 1;
    GetParam().place(session, edits, files_.rom, static_cast<int64_t>(saved_.size()), kIndex);
    const std::vector<uint8_t> before = ReadFileBytes(files_.rom);

    const SaveOutcome outcome = SaveSpecies(session, kIndex, edits);
    EXPECT_FALSE(outcome.complete);
    EXPECT_EQ(outcome.report, "");
    for (const std::string& part :
         {"\"" + session.RomPath + "\"", std::string("has ") + std::to_string(before.size()) + " bytes",
          std::string("beyond its end"), std::string("Nothing was saved.")}) {
        EXPECT_NE(outcome.error.find(part), std::string::npos) << part << "\n" << outcome.error;
    }
    for (const std::string& part : GetParam().named)
        EXPECT_NE(outcome.error.find(part), std::string::npos) << part << "\n" << outcome.error;
    const auto changes = ChangedBytes(before, ReadFileBytes(files_.rom));
    EXPECT_TRUE(changes.empty()) << DescribeChanges(changes);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, SpeciesSaveBeyondTheEndTest,
    ::testing::Values(
        BeyondTheEndCase{"NameEntry",
                         [](EditorSession& s, SpeciesEdits&, const std::string&, int64_t size, int i) {
                             s.NameOffset = static_cast<int32_t>(size - 5 - 11 * i);
                         },
                         {"the name entry at 0xFFFFB to 0x100005"}},
        BeyondTheEndCase{"RecordCut",
                         [](EditorSession& s, SpeciesEdits&, const std::string&, int64_t size, int i) {
                             s.DataOffset = static_cast<int32_t>(size - 11 - 28 * i);
                         },
                         {"the species record at 0xFFFF5 to 0x10000D"}},
        BeyondTheEndCase{"RecordOneByteLong",
                         [](EditorSession& s, SpeciesEdits&, const std::string&, int64_t size, int i) {
                             s.DataOffset = static_cast<int32_t>(size - 24 - 28 * i);
                         },
                         {"the species record at 0xFFFE8 to 0x100000"}},
        BeyondTheEndCase{"SpritePointer",
                         [](EditorSession& s, SpeciesEdits&, const std::string&, int64_t size, int i) {
                             s.ImageOffset = static_cast<int32_t>(size - 2 - 8 * i);
                         },
                         {"the sprite pointer at 0xFFFFE to 0x100000"}},
        BeyondTheEndCase{"BackSpritePointer",
                         [](EditorSession& s, SpeciesEdits&, const std::string&, int64_t size, int i) {
                             s.ImageOffset =
                                 static_cast<int32_t>(size - 1 - Species::kBackSpriteDistance - 8 * i);
                         },
                         {"the back sprite pointer at 0xFFFFF"}},
        BeyondTheEndCase{"PalettePointer",
                         [](EditorSession& s, SpeciesEdits&, const std::string&, int64_t size, int i) {
                             s.PaletteOffset = static_cast<int32_t>(size - 8 * i);
                         },
                         {"the palette pointer at 0x100000"}},
        BeyondTheEndCase{"ShinyPalettePointer",
                         [](EditorSession& s, SpeciesEdits&, const std::string&, int64_t size, int i) {
                             s.PaletteOffset =
                                 static_cast<int32_t>(size - 2 - Species::kShinyPaletteDistance - 8 * i);
                         },
                         {"the shiny palette pointer at 0xFFFFE"}},
        BeyondTheEndCase{"IconPointer",
                         [](EditorSession& s, SpeciesEdits&, const std::string&, int64_t size, int i) {
                             s.IconOffset = static_cast<int32_t>(size - 2 - 4 * i);
                         },
                         {"the icon pointer at 0xFFFFE"}},
        BeyondTheEndCase{"IconPaletteNumber",
                         [](EditorSession& s, SpeciesEdits&, const std::string&, int64_t size, int i) {
                             s.IconPalette = static_cast<int32_t>(size - i);
                         },
                         {"the icon palette number at 0x100000"}},
        BeyondTheEndCase{"AttackTablePointer",
                         [](EditorSession& s, SpeciesEdits&, const std::string&, int64_t size, int i) {
                             s.AttackTable = static_cast<int32_t>(size - 2 - 4 * i);
                         },
                         {"the attack table pointer at 0xFFFFE to 0x100000"}},
        BeyondTheEndCase{"LastRowCut",
                         [](EditorSession&, SpeciesEdits& e, const std::string&, int64_t size, int) {
                             e.attackTable = static_cast<int32_t>(size - 3);
                             e.rows = {{1, 1}, {2, 2}};
                         },
                         {"the attack table rows at 0xFFFFD to 0x100000 (row 2)"}},
        BeyondTheEndCase{"RowsRunOn",
                         [](EditorSession&, SpeciesEdits& e, const std::string&, int64_t size, int) {
                             e.attackTable = static_cast<int32_t>(size - 4);
                             e.rows = std::vector<LevelUpAttackEntry>(5, {33, 5});
                         },
                         {"(rows 3 to 5)"}},
        BeyondTheEndCase{"TableAtTheLastByte",
                         [](EditorSession&, SpeciesEdits& e, const std::string&, int64_t size, int) {
                             e.attackTable = static_cast<int32_t>(size - 1);
                             e.rows = {{261, 127}};
                         },
                         {"the attack table rows at 0xFFFFF to 0x100000 (row 1)"}},
        BeyondTheEndCase{"TableBeyondTheEnd",
                         [](EditorSession&, SpeciesEdits& e, const std::string&, int64_t size, int) {
                             e.attackTable = static_cast<int32_t>(size + 0x10);
                             e.rows = {{1, 1}, {2, 2}, {3, 3}};
                         },
                         {"(rows 1 to 3)"}},
        BeyondTheEndCase{"SeveralFields",
                         [](EditorSession& s, SpeciesEdits& e, const std::string&, int64_t size, int i) {
                             s.IconOffset = static_cast<int32_t>(size - 4 * i);
                             s.IconPalette = static_cast<int32_t>(size - i);
                             e.attackTable = static_cast<int32_t>(size);
                             e.rows = {{1, 1}};
                         },
                         {"the icon pointer at 0x100000 to 0x100002, the icon palette number at 0x100000 and "
                          "the attack table rows at 0x100000 to 0x100001 (row 1) would lie"}},
        BeyondTheEndCase{"FileCutAfterOpening",
                         [](EditorSession&, SpeciesEdits&, const std::string& rom, int64_t, int i) {
                             std::filesystem::resize_file(rom, DemoLayout().DataOffset + 28 * i + 10);
                         },
                         {"the species record", "the sprite pointer", "the attack table pointer",
                          "the attack table rows"}},
        BeyondTheEndCase{"FileCutToNothing",
                         [](EditorSession&, SpeciesEdits&, const std::string& rom, int64_t, int) {
                             std::filesystem::resize_file(rom, 0);
                         },
                         {"has 0 bytes", "the name entry"}}),
    [](const auto& info) { return info.param.name; });

// The check stops at the file's last byte, not one before it.
TEST_F(SpeciesSaveFieldTest, FieldsEndingAtTheLastByteAreSaved) {
    const int64_t size = static_cast<int64_t>(saved_.size());
    struct Case {
        const char* name;
        std::function<void(EditorSession&, SpeciesEdits&)> place;
        std::vector<uint8_t> lastBytes;
    };
    const Case cases[] = {
        {"record",
         [size](EditorSession& s, SpeciesEdits& e) {
             s.DataOffset = static_cast<int32_t>(size - 25 - 28 * kIndex);
             e.safari = 77;
         },
         {77}},
        {"attack rows",
         [size](EditorSession&, SpeciesEdits& e) {
             e.attackTable = static_cast<int32_t>(size - 4);
             e.rows = {{2, 3}, {300, 4}};
         },
         {0x02, 0x06, 0x2C, 0x09}},
        {"icon palette number",
         [size](EditorSession& s, SpeciesEdits& e) {
             s.IconPalette = static_cast<int32_t>(size - 1 - kIndex);
             e.iconPalette = 2;
         },
         {2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(testsupport::WriteFileBytes(files_.rom, saved_));
        EditorSession session = files_.session;
        SpeciesEdits edits = baseline_;
        c.place(session, edits);
        const SaveOutcome outcome = SaveSpecies(session, kIndex, edits);
        ASSERT_TRUE(outcome.complete) << outcome.error;
        const auto after = ReadFileBytes(files_.rom);
        ASSERT_EQ(after.size(), saved_.size());
        EXPECT_EQ(
            std::vector<uint8_t>(after.end() - static_cast<std::ptrdiff_t>(c.lastBytes.size()), after.end()),
            c.lastBytes);
    }
}

// The last line of defence: a byte that fails although the check let it through (the file cut in the
// moment between, a full disk) ends the save there. The file size limit of a child process applies to the
// position of every write, so it makes the writes from one offset on fail while every byte lies inside
// the file. Nothing when the child could not be run.
std::optional<SaveOutcome> SaveWithWritesFailingFrom(int64_t limit, const EditorSession& session,
                                                     int32_t index, const SpeciesEdits& edits) {
    int channel[2];
    if (::pipe(channel) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(channel[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limits{};
        ::getrlimit(RLIMIT_FSIZE, &limits);
        limits.rlim_cur = static_cast<rlim_t>(limit);
        if (::setrlimit(RLIMIT_FSIZE, &limits) != 0) ::_exit(2);
        const SaveOutcome outcome = SaveSpecies(session, index, edits);
        const std::string message = (outcome.complete ? "1" : "0") + outcome.error;
        const bool sent =
            ::write(channel[1], message.data(), message.size()) == static_cast<ssize_t>(message.size());
        ::_exit(sent ? 0 : 3);
    }
    ::close(channel[1]);
    std::string message;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0)
        message.append(buffer, static_cast<size_t>(got));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || message.empty()) return std::nullopt;
    SaveOutcome outcome;
    outcome.complete = message[0] == '1';
    outcome.error = message.substr(1);
    return outcome;
}

TEST_F(SpeciesSaveFieldTest, AFailedWriteKeepsTheFieldsWrittenBeforeIt) {
    SpeciesEdits edits = baseline_;
    edits.hp = 1, edits.attack = 2, edits.defense = 3, edits.speed = 4, edits.spAttack = 5,
    edits.spDefense = 6;
    edits.type1 = 7, edits.type2 = 8, edits.catchRate = 9, edits.baseXp = 10;
    edits.evHp = 3;
    const std::optional<SaveOutcome> outcome =
        SaveWithWritesFailingFrom(Record(11), files_.session, kIndex, edits);
    if (!outcome) GTEST_SKIP() << "no child process with a file size limit";
    EXPECT_FALSE(outcome->complete);
    for (const std::string& part : {"\"" + files_.rom + "\"", std::string("incomplete"), std::string("EV"),
                                    std::to_string(Record(11))}) {
        EXPECT_NE(outcome->error.find(part), std::string::npos) << part << "\n" << outcome->error;
    }

    std::vector<ByteChange> expected;
    for (int k = 0; k < 10; ++k) {
        if (saved_[Record(k)] != k + 1) expected.push_back({Record(k), saved_[Record(k)], k + 1});
    }
    // Byte +10 is never reached: the EV word writes +11 first, and that one fails.
    const auto changes = ChangedBytes(saved_, ReadFileBytes(files_.rom));
    EXPECT_EQ(changes, expected) << DescribeChanges(changes);
}

// Pointer bytes go out most significant first, the attack table pointer low, high, middle; a write limit
// inside an entry shows the order by what was written before the failure.
TEST_F(SpeciesSaveFieldTest, PointerBytesAreWrittenInTheirOrder) {
    const int64_t sprite = builder_.layout().ImageOffset + 8 * kIndex;
    const int64_t table = builder_.layout().AttackTable + 4 * kIndex;
    struct Case {
        const char* name;
        int64_t limit;
        std::vector<ByteChange> expected;
    };
    const Case cases[] = {
        {"sprite", sprite + 2, {}},
        {"attack table", table + 2, {{table, saved_[table], 0x35}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(testsupport::WriteFileBytes(files_.rom, saved_));
        SpeciesEdits edits = baseline_;
        edits.sprite = 0x0ABCDE;
        edits.attackTable = 0x0F7735;
        edits.rows.clear();
        const std::optional<SaveOutcome> outcome =
            SaveWithWritesFailingFrom(c.limit, files_.session, kIndex, edits);
        if (!outcome) GTEST_SKIP() << "no child process with a file size limit";
        EXPECT_FALSE(outcome->complete);
        std::vector<ByteChange> expected = c.expected;
        // Every field before the pointer is written in full; the new sprite pointer's bytes come first.
        if (c.limit > sprite + 2) {
            for (int64_t k : {0, 1, 2}) {
                const int value = (0x0ABCDE >> (8 * k)) & 0xFF;
                if (saved_[sprite + k] != value) expected.push_back({sprite + k, saved_[sprite + k], value});
            }
        }
        std::sort(expected.begin(), expected.end(),
                  [](const ByteChange& a, const ByteChange& b) { return a.offset < b.offset; });
        const auto changes = ChangedBytes(saved_, ReadFileBytes(files_.rom));
        EXPECT_EQ(changes, expected) << DescribeChanges(changes);
    }
}

}  // namespace
