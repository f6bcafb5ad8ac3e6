// Evolutions, TM/HM and tutor compatibility on builder fixtures, with the opening's check of every table
// part; each edit's own bytes: SpeciesSaveTest.

#include "EditorTest.h"
#include "species/SpeciesTableValues.h"

namespace {

void SetEvolution(RomBuilder& rom, int species, int k, std::array<uint16_t, 4> words) {
    Bytes bytes;
    for (uint16_t w : words) bytes.insert(bytes.end(), {uint8_t(w & 0xFF), uint8_t(w >> 8)});
    rom.Fill(rom.layout().EvolutionTable + 40 * species + 8 * k, bytes);
}

// The opening's 95% rule: 391 of 411 species with only good evolutions pass, 390 do not.
void TwentyOddEvolutions(RomBuilder& rom) {
    for (int i = 1; i <= 20; ++i) SetEvolution(rom, i, 4, {99, 0, 60000, 0});
}
void TwentyOneOddEvolutions(RomBuilder& rom) {
    for (int i = 1; i <= 21; ++i) SetEvolution(rom, i, i % 5, {4, 10, 412, 0});
}

enum Part { kEvolutions, kTmHm, kTutors, kEggMoves, kDex, kBattle, kNone };

// A part that does not fit is off with its reason; the ROM still opens and the other parts stay on.
struct CheckCase {
    const char* name;
    const char* key;  // "Key=value" set in the section, a lone "Key" dropped
    void (*change)(RomBuilder&);
    Part off;
    const char* reason;  // a piece of it
};

class SpeciesTablesCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(SpeciesTablesCheckTest, TurnsOffOnlyThePartThatDoesNotFit) {
    const CheckCase& c = GetParam();
    RomBuilder rom(DemoLayout());
    const std::string key = c.key;
    const size_t is = key.find('=');
    const bool drop = is == std::string::npos;
    const std::string ini =
        testsupport::WithIniKey(rom.IniSection(), key.substr(0, is), drop ? "" : key.substr(is + 1), drop);
    if (c.change) c.change(rom);
    const OpenedRom opened(rom, ini);
    const SpeciesTables& t = opened.session.Tables;
    const std::pair<bool, std::string> parts[] = {{t.evolutions.where.has_value(), t.evolutions.unavailable},
                                                  {t.tmhm.where.has_value(), t.tmhm.unavailable},
                                                  {t.tutors.where.has_value(), t.tutors.unavailable},
                                                  {t.eggMoves.where.has_value(), t.eggMoves.unavailable},
                                                  {t.dex.where.has_value(), t.dex.unavailable},
                                                  {t.battle.where.has_value(), t.battle.unavailable}};
    for (int k = kEvolutions; k < kNone; ++k) {
        EXPECT_EQ(parts[k].first, k != c.off) << k << ": " << parts[k].second;
        EXPECT_NE(parts[k].second.find(k == c.off ? c.reason : ""), std::string::npos) << parts[k].second;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpeciesTablesCheckTest,
    ::testing::ValuesIn(std::vector<CheckCase>{
        {"AllOn", "", nullptr, kNone, ""},
        {"NoEvolutionTableKey", "EvolutionTable", nullptr, kEvolutions, "no EvolutionTable key"},
        {"NoTMHMTableKey", "TMHMTable", nullptr, kTmHm, "no TMHMTable key"},
        {"NoTutorCountKey", "TutorCount", nullptr, kTutors, "no TutorCount key"},
        {"MoveListKeyNotANumber", "TMHMMoves=x1", nullptr, kTmHm,
         "TMHMMoves in section [VRNH] of Data.ini is \"x1\""},
        {"EvolutionsBeyondTheEnd", "EvolutionTable=&HFFFFF", nullptr, kEvolutions,
         "evolution table at 0xFFFFF (16480 bytes) runs beyond the end"},
        {"TutorsBeyondTheEnd", "TutorTable=&HFFF00", nullptr, kTutors, "beyond the end"},
        {"NoTutors", "TutorCount=0", nullptr, kTutors, "no move tutors"},
        {"TooManyTutors", "TutorCount=33", nullptr, kTutors, "from 0 to 32"},
        {"TwentyOddEvolutionsPass", "", TwentyOddEvolutions, kNone, ""},
        {"TwentyOneOddEvolutionsDoNot", "", TwentyOneOddEvolutions, kEvolutions, "only 390 of 411 species"},
        {"MoveListWithoutAMove", "",
         [](RomBuilder& r) {
             r.Fill(r.layout().TMHMMoves + 2 * 57, {0, 0});
         },
         kTmHm, "entry 58 is 0"},
        {"TutorMoveBeyondNineBits", "",
         [](RomBuilder& r) {
             r.Fill(r.layout().TutorMoves, {0x00, 0x02});
         },
         kTutors, "entry 1 is 512"},
        {"NoEggMovesKey", "EggMoves", nullptr, kEggMoves, "no EggMoves key"},
        // Off its table, the key still leads to it: the table is found through the references of the code.
        {"EggMovesKeyElsewhere", "EggMoves=&H10000", nullptr, kNone, ""},
        {"ReferenceCountNotANumber", "EggMoveRefs=x", nullptr, kEggMoves,
         "EggMoveRefs in section [VRNH] of Data.ini is \"x\""},
        {"DexEntriesTooSmall", "DexEntrySize=16", nullptr, kDex, "holds at least 20 bytes"},
        {"NationalDexNotATable", "NationalDex=&H12000", nullptr, kDex, "does not look like one"},
        {"DexEntriesBeyondTheEnd", "DexEntries=&HFFF00", nullptr, kDex, "run beyond the end of the file"},
        {"NoFootprintsKey", "Footprints", nullptr, kBattle, "[VRNH] has no Footprints key"},
        {"AnimationKeyNotANumber", "FrontAnimIds=x", nullptr, kBattle,
         "FrontAnimIds in section [VRNH] of Data.ini is \"x\""},
        {"CoordinatesBeyondTheEnd", "BackCoords=&HFFFF0", nullptr, kBattle,
         "back sprite coordinates at 0xFFFF0 (1760 bytes)"},
        // The records' first bytes are stats of 20 to 160, rarely a size of 1 to 8 tiles a side.
        {"CoordinatesThatAreNot", "FrontCoords=&H12000", nullptr, kBattle,
         "front sprite coordinates at 0x12000 do not look"},
        {"FootprintsThatAreNot", "Footprints=&H10000", nullptr, kBattle,
         "only 0 of 411 point at a footprint"}}),
    kCaseName);

// An unedited plan rewrites every part of the entries with the bytes they hold, the padding never.
TEST(SpeciesTablesTest, AnUneditedPlanPutsBackWhatWasShownOnEveryLayout) {
    for (RomLayout (*make)() : {DemoLayout, FireRedLayout, EmeraldLayout, RubyLayout}) {
        RomBuilder rom(make());
        SCOPED_TRACE(rom.layout().gameCode);
        SetEvolution(rom, 40, 1, {99, 0xABCD, 60000, 0x5A5A});
        const OpenedRom opened(rom);
        const RomLayout& l = rom.layout();
        EXPECT_EQ(opened.session.Tables.tutorsNote.empty(), l.TutorCount != 15);
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
            EXPECT_EQ(v.tmhm->moves.size(), 58u);
            EXPECT_EQ(v.tutors ? int(v.tutors->moves.size()) : 0, l.TutorCount);
        }
        EXPECT_EQ(ReadEvolutions(opened.session, 40).value()[1], (EvolutionEntry{99, 0xABCD, 60000}));
        EXPECT_EQ(PlannedPartsText(
                      PlanSpeciesTableWrites(opened.session, 1, ReadSpeciesTableValues(opened.session, 1))),
                  l.TutorCount ? "evolutions, TM/HM compatibility and tutor compatibility"
                               : "evolutions and TM/HM compatibility");
    }
}

constexpr int kIndex = 40;

// What each method's parameter stands for; every method and its parameter go out and read back as they were.
TEST(SpeciesTablesTest, EachMethodKeepsItsParameter) {
    using P = EvolutionParameter;
    const std::pair<int, P> methods[] = {
        {0, P::Unused}, {1, P::Unused}, {2, P::Unused}, {3, P::Unused},  {4, P::Level},  {5, P::Unused},
        {6, P::Item},   {7, P::Item},   {8, P::Level},  {9, P::Level},   {10, P::Level}, {11, P::Level},
        {12, P::Level}, {13, P::Level}, {14, P::Level}, {15, P::Beauty}, {99, P::Unused}};
    const OpenedRom opened{RomBuilder(DemoLayout())};
    ASSERT_EQ(EvolutionMethodNames().size(), 16u);
    for (const auto& [method, parameter] : methods) {
        EXPECT_EQ(ParameterOf(method), parameter) << method;
        Evolutions evolutions = ReadEvolutions(opened.session, kIndex).value();
        evolutions[3] = {method, 1000 + method, 400 - method};
        const Bytes written = Applied(opened.bytes, PlanEvolutionWrites(opened.session, kIndex, evolutions));
        ASSERT_TRUE(WriteFileBytes(opened.session.RomPath, written));
        EXPECT_EQ(ReadEvolutions(opened.session, kIndex), evolutions) << method;
    }
    const std::pair<int, const char*> names[] = {{0, "TM01"}, {49, "TM50"}, {50, "HM01"}, {57, "HM08"}};
    for (const auto& [bit, name] : names) EXPECT_EQ(TmHmName(bit), name);
}

}  // namespace
