// Evolutions, TM/HM and tutor compatibility on builder fixtures: where opening finds them, what a species
// shows, and the bytes a save plans (applied here to a copy of the file as the write path applies them).

#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "ReadINI.h"
#include "RomBuilder.h"
#include "RomOpener.h"
#include "SpeciesTableValues.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace {

using testsupport::Differences;
using testsupport::TempDir;
using Bytes = std::vector<uint8_t>;

Bytes Applied(Bytes bytes, const std::vector<PlannedByte>& plan) {
    for (const PlannedByte& b : plan) bytes.at(static_cast<size_t>(b.offset)) = b.value;
    return bytes;
}

// The builder's ROM and its section opened for real, so the tables come from the opening's check.
struct Opened {
    TempDir dir;
    Bytes bytes;
    EditorSession session;
    Opened(const RomBuilder& rom, std::string ini = {}) : bytes(rom.bytes()) {
        if (ini.empty()) ini = rom.IniSection();
        EXPECT_TRUE(testsupport::WriteFileBytes(dir.File("game.gba"), bytes) &&
                    testsupport::WriteTestIni(dir.File("Data.ini"), {ini}));
        OpenRomResult opened = OpenRomFile(dir.File("game.gba"), dir.File("Data.ini"));
        EXPECT_TRUE(opened.session) << opened.error;
        if (opened.session) session = *opened.session;
    }
};

TEST(SpeciesTablesTest, EveryShippedSectionFindsItsTablesAtTheGamesOffsets) {
    struct Game {
        const char* section;
        RomLayout (*base)();
        std::array<int32_t, 5> tables;  // evolutions, TM/HM, TM/HM moves, tutors, tutor moves
        int tutors;
    };
    const Game games[] = {{"BPRE", FireRedLayout, {0x259754, 0x252BC8, 0x45A80C, 0x459B7E, 0x459B60}, 15},
                          {"BPRE-1", FireRedLayout, {0x2597C4, 0x252C38, 0x45A86C, 0x459BDE, 0x459BC0}, 15},
                          {"BPGE", FireRedLayout, {0x259734, 0x252BA4, 0x45A22C, 0x45959E, 0x459580}, 15},
                          {"BPGE-1", FireRedLayout, {0x2597A4, 0x252C14, 0x45A29C, 0x45960E, 0x4595F0}, 15},
                          {"AXVE", RubyLayout, {0x203B68, 0x1FD0F0, 0x376504, 0, 0}, 0},
                          {"AXVE-1", RubyLayout, {0x203B80, 0x1FD108, 0x37651C, 0, 0}, 0},
                          {"AXPE", RubyLayout, {0x203AF8, 0x1FD080, 0x376494, 0, 0}, 0},
                          {"AXPE-1", RubyLayout, {0x203B10, 0x1FD098, 0x3764AC, 0, 0}, 0},
                          {"BPEE", EmeraldLayout, {0x32531C, 0x31E898, 0x616040, 0x615048, 0x61500C}, 30}};
    TempDir dir;
    for (const Game& game : games) {
        SCOPED_TRACE(game.section);
        RomLayout l = game.base();
        const std::string section = game.section, ini = VORNHAL_DATA_DIR "/Data.ini";
        l.gameCode = section.substr(0, 4);
        l.version = section.size() > 4 ? 1 : 0;
        int32_t* const main[] = {&l.NameOffset, &l.DataOffset,  &l.ImageOffset, &l.PaletteOffset,
                                 &l.IconOffset, &l.IconPalette, &l.AttackTable, &l.IconPaletteTable};
        const char* keys[] = {"NameOffset", "DataOffset",  "ImageOffset", "PaletteOffset",
                              "IconOffset", "IconPalette", "AttackTable", "IconPaletteTable"};
        for (int k = 0; k < 8; ++k)
            *main[k] = ParseIniOffset(ReadINI::ReadIniValue(ini, section, keys[k])).value();
        const std::array<int32_t, 5>& o = game.tables;
        l.EvolutionTable = o[0], l.TMHMTable = o[1], l.TMHMMoves = o[2], l.TutorTable = o[3],
        l.TutorMoves = o[4];
        l.TutorCount = game.tutors;
        ASSERT_TRUE(RomBuilder(l).WriteTo(dir.File("game.gba")));
        const OpenRomResult opened = OpenRomFile(dir.File("game.gba"), ini);
        ASSERT_TRUE(opened.session) << opened.error;
        const SpeciesTables& t = opened.session->Tables;
        EXPECT_EQ(t.evolutions.where, game.tables[0]) << t.evolutions.unavailable;
        ASSERT_TRUE(t.tmhm.where) << t.tmhm.unavailable;
        EXPECT_EQ(std::tie(t.tmhm.where->table, t.tmhm.where->moves),
                  std::make_tuple(game.tables[1], game.tables[2]));
        if (game.tutors == 0) {
            EXPECT_EQ(t.tutors.unavailable, "This game has no move tutors.");
            continue;
        }
        ASSERT_TRUE(t.tutors.where) << t.tutors.unavailable;
        const CompatibilityTable& tutors = *t.tutors.where;
        EXPECT_EQ(std::tie(tutors.table, tutors.moves, tutors.count, tutors.entrySize),
                  std::make_tuple(game.tables[3], game.tables[4], game.tutors, game.tutors == 15 ? 2 : 4));
        EXPECT_EQ(t.tutorsNote.empty(), game.tutors == 30);
    }
}

// A part that does not fit is off with its reason; the ROM still opens and the other parts stay on.
struct CheckCase {
    const char* name;
    std::function<void(RomBuilder&, std::string&)> change;
    std::array<const char*, 3> off;  // a piece of the reason of evolutions, TM/HM, tutors; nullptr: on
    friend void PrintTo(const CheckCase& c, std::ostream* out) { *out << c.name; }
};

class SpeciesTablesCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(SpeciesTablesCheckTest, TurnsOffOnlyThePartThatDoesNotFit) {
    RomBuilder rom(DemoLayout());
    std::string ini = rom.IniSection();
    GetParam().change(rom, ini);
    const Opened opened(rom, ini);
    const SpeciesTables& t = opened.session.Tables;
    const std::array<const std::string*, 3> reasons = {&t.evolutions.unavailable, &t.tmhm.unavailable,
                                                       &t.tutors.unavailable};
    const std::array<bool, 3> on = {t.evolutions.where.has_value(), t.tmhm.where.has_value(),
                                    t.tutors.where.has_value()};
    for (size_t k = 0; k < 3; ++k) {
        const char* off = GetParam().off[k];
        EXPECT_EQ(on[k], off == nullptr) << k << ": " << *reasons[k];
        if (off) {
            EXPECT_NE(reasons[k]->find(off), std::string::npos) << off << " in: " << *reasons[k];
        }
    }
}

void SetEvolution(RomBuilder& rom, int species, int k, std::array<uint16_t, 4> words) {
    Bytes bytes;
    for (uint16_t w : words) bytes.insert(bytes.end(), {uint8_t(w & 0xFF), uint8_t(w >> 8)});
    rom.Fill(rom.layout().EvolutionTable + 40 * species + 8 * k, bytes);
}

using testsupport::WithIniKey;

INSTANTIATE_TEST_SUITE_P(
    Cases, SpeciesTablesCheckTest,
    ::testing::ValuesIn(std::vector<CheckCase>{
        {"AllOn", [](auto&, auto&) {}, {}},
        {"NoKeys",
         [](auto&, auto& ini) {
             for (const char* key : {"EvolutionTable", "TMHMTable", "TutorCount"})
                 ini = WithIniKey(ini, key, "", true);
         },
         {"no EvolutionTable key", "no TMHMTable key", "no TutorCount key"}},
        {"MoveListKeyNotANumber",
         [](auto&, auto& ini) { ini = WithIniKey(ini, "TMHMMoves", "x1"); },
         {nullptr, "TMHMMoves in section [VRNH] of Data.ini is \"x1\"", nullptr}},
        {"TablesBeyondTheEnd",
         [](auto&, auto& ini) {
             ini = WithIniKey(WithIniKey(ini, "EvolutionTable", "&HFFFFF"), "TutorTable", "&HFFF00");
         },
         {"evolution table at 0xFFFFF (16480 bytes) runs beyond the end", nullptr, "beyond the end"}},
        {"NoTutors",
         [](auto&, auto& ini) { ini = WithIniKey(ini, "TutorCount", "0"); },
         {nullptr, nullptr, "no move tutors"}},
        {"TooManyTutors",
         [](auto&, auto& ini) { ini = WithIniKey(ini, "TutorCount", "33"); },
         {nullptr, nullptr, "from 0 to 32"}},
        {"TwentyOddEvolutionsPass",
         [](auto& rom, auto&) {
             for (int i = 1; i <= 20; ++i) SetEvolution(rom, i, 4, {99, 0, 60000, 0});
         },
         {}},
        {"TwentyOneOddEvolutionsDoNot",
         [](auto& rom, auto&) {
             for (int i = 1; i <= 21; ++i) SetEvolution(rom, i, i % 5, {4, 10, 412, 0});
         },
         {"only 390 of 411 species", nullptr, nullptr}},
        {"MoveListWithoutAMove",
         [](auto& rom, auto&) { rom.Fill(rom.layout().TMHMMoves + 2 * 57, {0x00, 0x00}); },
         {nullptr, "entry 58 is 0", nullptr}},
        {"TutorMoveBeyondNineBits",
         [](auto& rom, auto&) { rom.Fill(rom.layout().TutorMoves, {0x00, 0x02}); },
         {nullptr, nullptr, "entry 1 is 512"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// What a species shows and the plan of it unedited: every part of its entries rewritten with the bytes they
// hold, the padding never; out-of-range numbers shown as they are.
TEST(SpeciesTablesTest, AnUneditedPlanPutsBackWhatWasShownOnEveryLayout) {
    for (RomLayout (*make)() : {DemoLayout, FireRedLayout, EmeraldLayout, RubyLayout}) {
        RomBuilder rom(make());
        SCOPED_TRACE(rom.layout().gameCode);
        SetEvolution(rom, 40, 1, {99, 0xABCD, 60000, 0x5A5A});
        const Opened opened(rom);
        const RomLayout& l = rom.layout();
        for (int i : {0, 1, 40, 411}) {
            const SpeciesTableValues v = ReadSpeciesTableValues(opened.session, i);
            ASSERT_TRUE(v.evolutions && v.tmhm);
            const std::vector<PlannedByte> plan = PlanSpeciesTableWrites(opened.session, i, v);
            EXPECT_EQ(Differences(opened.bytes, Applied(opened.bytes, plan)), "") << i;
            EXPECT_EQ(plan.size(), 30u + 8u + (l.TutorCount > 15 ? 4u : l.TutorCount > 0 ? 2u : 0u)) << i;
            for (const PlannedByte& b : plan) {
                const int64_t inEntry = (b.offset - l.EvolutionTable) % 8;
                EXPECT_FALSE(b.field.starts_with("evolution") && inEntry >= 6) << b.field << " padding";
            }
            uint64_t mask = 0;
            for (int k = 7; k >= 0; --k) mask = mask << 8 | opened.bytes[size_t(l.TMHMTable + 8 * i + k)];
            EXPECT_EQ(v.tmhm->mask, mask);
            EXPECT_EQ(v.tmhm->moves.size(), 58u);
            EXPECT_EQ(v.tmhm->moves[57],
                      opened.bytes[size_t(l.TMHMMoves + 114)] | opened.bytes[size_t(l.TMHMMoves + 115)] << 8);
            EXPECT_EQ(v.tutors ? int(v.tutors->moves.size()) : 0, l.TutorCount);
        }
        EXPECT_EQ(ReadEvolutions(opened.session, 40).value()[1], (EvolutionEntry{99, 0xABCD, 60000}));
        EXPECT_EQ(PlannedPartsText(
                      PlanSpeciesTableWrites(opened.session, 1, ReadSpeciesTableValues(opened.session, 1))),
                  l.TutorCount ? "evolutions, TM/HM compatibility and tutor compatibility"
                               : "evolutions and TM/HM compatibility");
    }
}

// Each edit lands on its own bytes; the masks keep the bits beyond their lists.
struct EditCase {
    const char* name;
    RomLayout (*layout)();
    void (*edit)(SpeciesTableValues&);
    int64_t (*at)(const RomLayout&);  // of species kIndex
    Bytes bytes;
    friend void PrintTo(const EditCase& c, std::ostream* out) { *out << c.name; }
};

constexpr int kIndex = 40;

int64_t Evolution(const RomLayout& l) {
    return l.EvolutionTable + 40 * kIndex;
}
int64_t TmHm(const RomLayout& l) {
    return l.TMHMTable + 8 * kIndex;
}
int64_t Tutor(const RomLayout& l) {
    return l.TutorTable + (l.TutorCount > 16 ? 4 : 2) * kIndex;
}

void SetBit(std::optional<Compatibility>& c, int bit) {
    std::vector<bool> rows;
    for (size_t n = 0; n < c->moves.size(); ++n) rows.push_back(c->mask >> n & 1);
    rows.at(size_t(bit)) = true;
    c->mask = MaskWithRows(c->mask, rows);
}

class SpeciesTablesEditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(SpeciesTablesEditTest, LandsOnItsOwnBytes) {
    RomBuilder rom(GetParam().layout());
    const RomLayout& l = rom.layout();
    rom.Fill(Evolution(l), Bytes(40, 0x00));
    rom.Fill(TmHm(l), Bytes(8, 0x00));
    rom.Fill(Tutor(l), {0x00, 0x80, 0x00, 0x80});  // the top bit of a 15-tutor entry lies beyond its list
    const Opened opened(rom);
    SpeciesTableValues v = ReadSpeciesTableValues(opened.session, kIndex);
    GetParam().edit(v);
    Bytes expected = opened.bytes;
    const auto at = static_cast<size_t>(GetParam().at(l));
    for (size_t k = 0; k < GetParam().bytes.size(); ++k) {
        EXPECT_NE(expected[at + k], GetParam().bytes[k]) << "byte " << k << " holds that already";
        expected[at + k] = GetParam().bytes[k];
    }
    EXPECT_EQ(Differences(expected, Applied(opened.bytes, PlanSpeciesTableWrites(opened.session, kIndex, v))),
              "");
}

INSTANTIATE_TEST_SUITE_P(
    Fields, SpeciesTablesEditTest,
    ::testing::ValuesIn(std::vector<EditCase>{
        {"Method", DemoLayout, [](auto& v) { (*v.evolutions)[0].method = 7; }, Evolution, {0x07}},
        {"Parameter",
         DemoLayout,
         [](auto& v) { (*v.evolutions)[2].parameter = 300; },
         [](const RomLayout& l) { return Evolution(l) + 18; },
         {0x2C, 0x01}},
        {"Target",
         DemoLayout,
         [](auto& v) { (*v.evolutions)[4].target = 411; },
         [](const RomLayout& l) { return Evolution(l) + 36; },
         {0x9B, 0x01}},
        {"Tm01", DemoLayout, [](auto& v) { SetBit(v.tmhm, 0); }, TmHm, {0x01}},
        {"Tm50",
         FireRedLayout,
         [](auto& v) { SetBit(v.tmhm, 49); },
         [](const RomLayout& l) { return TmHm(l) + 6; },
         {0x02}},
        {"Hm01",
         EmeraldLayout,
         [](auto& v) { SetBit(v.tmhm, 50); },
         [](const RomLayout& l) { return TmHm(l) + 6; },
         {0x04}},
        {"Hm08",
         RubyLayout,
         [](auto& v) { SetBit(v.tmhm, 57); },
         [](const RomLayout& l) { return TmHm(l) + 7; },
         {0x02}},
        {"FireRedLastOfFifteenTutors",
         FireRedLayout,
         [](auto& v) { SetBit(v.tutors, 14); },
         [](const RomLayout& l) { return Tutor(l) + 1; },
         {0xC0}},
        {"EmeraldLastOfThirtyTutors",
         EmeraldLayout,
         [](auto& v) { SetBit(v.tutors, 29); },
         [](const RomLayout& l) { return Tutor(l) + 3; },
         {0xA0}}}),
    [](const auto& info) { return std::string(info.param.name); });

// What each method's parameter stands for; every method and its parameter go out and read back as they were.
TEST(SpeciesTablesTest, EachMethodKeepsItsParameter) {
    using P = EvolutionParameter;
    const std::pair<int, P> methods[] = {
        {0, P::Unused}, {1, P::Unused}, {2, P::Unused}, {3, P::Unused},  {4, P::Level},  {5, P::Unused},
        {6, P::Item},   {7, P::Item},   {8, P::Level},  {9, P::Level},   {10, P::Level}, {11, P::Level},
        {12, P::Level}, {13, P::Level}, {14, P::Level}, {15, P::Beauty}, {99, P::Unused}};
    const Opened opened{RomBuilder(DemoLayout())};
    ASSERT_EQ(EvolutionMethodNames().size(), 16u);
    for (const auto& [method, parameter] : methods) {
        EXPECT_EQ(ParameterOf(method), parameter) << method;
        Evolutions evolutions = ReadEvolutions(opened.session, kIndex).value();
        evolutions[3] = {method, 1000 + method, 400 - method};
        const Bytes written = Applied(opened.bytes, PlanEvolutionWrites(opened.session, kIndex, evolutions));
        ASSERT_TRUE(testsupport::WriteFileBytes(opened.session.RomPath, written));
        EXPECT_EQ(ReadEvolutions(opened.session, kIndex), evolutions) << method;
    }
    const std::pair<int, const char*> names[] = {{0, "TM01"}, {49, "TM50"}, {50, "HM01"}, {57, "HM08"}};
    for (const auto& [bit, name] : names) EXPECT_EQ(TmHmName(bit), name);
}

}  // namespace
