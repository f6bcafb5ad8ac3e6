// Pokédex entries on builder fixtures of every layout: what a species shows, and the bytes a save plans for
// an edited entry (applied to a copy of the file and compared whole): numbers and category in place, a
// description in place or moved, Ruby's second page, a shared text, and the refusals.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <tuple>

#include "FreeSpaceMap.h"
#include "GameText.h"
#include "PokedexEntry.h"
#include "ReadINI.h"
#include "RomBuilder.h"
#include "RomOpener.h"
#include "SpeciesEggMoves.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace {

using testsupport::Differences;
using Bytes = std::vector<uint8_t>;
using Words = std::vector<int>;

constexpr int kSpecies = 40;  // national number 40 in every layout

Bytes Applied(Bytes bytes, const std::vector<PlannedByte>& plan) {
    for (const PlannedByte& b : plan) bytes.at(static_cast<size_t>(b.offset)) = b.value;
    return bytes;
}

int64_t EntryOf(const RomLayout& l, int national) {
    return l.DexEntries + int64_t{l.DexEntrySize} * national;
}

int64_t PointerAt(const Bytes& bytes, int64_t at) {
    const auto k = static_cast<size_t>(at);
    return int64_t{bytes[k] | bytes[k + 1] << 8 | bytes[k + 2] << 16} | int64_t{bytes[k + 3]} << 24;
}

Bytes CodesAt(const Bytes& bytes, int64_t at) {
    Bytes codes;
    for (auto k = static_cast<size_t>(at); bytes[k] != 0xFF; ++k) codes.push_back(bytes[k]);
    return codes;
}

// The offsets are written out here, so that a changed digit in Data.ini is caught.
TEST(PokedexTest, ShippedSectionsHoldTheGamesOffsets) {
    const std::pair<const char*, std::array<const char*, 5>> games[] = {
        {"BPRE", {"&H25EF0C", "2", "&H251FEE", "&H44E850", "36"}},
        {"BPRE-1", {"&H25EF7C", "2", "&H25205E", "&H44E8B0", "36"}},
        {"BPGE", {"&H25EEEC", "2", "&H251FCA", "&H44E270", "36"}},
        {"BPGE-1", {"&H25EF5C", "2", "&H25203A", "&H44E2E0", "36"}},
        {"AXVE", {"&H2091DC", "2", "&H1FC516", "&H3B1858", "36"}},
        {"AXVE-1", {"&H2091F4", "2", "&H1FC52E", "&H3B1874", "36"}},
        {"AXPE", {"&H20916C", "2", "&H1FC4A6", "&H3B18B0", "36"}},
        {"AXPE-1", {"&H209184", "2", "&H1FC4BE", "&H3B18D0", "36"}},
        {"BPEE", {"&H32ADD8", "2", "&H31DC82", "&H56B5B0", "32"}}};
    const char* keys[] = {"EggMoves", "EggMoveRefs", "NationalDex", "DexEntries", "DexEntrySize"};
    for (const auto& [section, values] : games) {
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(ReadINI::ReadIniValue(VORNHAL_DATA_DIR "/Data.ini", section, keys[k]), values[k])
                << section;
    }
}

// A part whose keys are missing or whose table does not fit is off with its reason; the other stays on.
TEST(PokedexTest, APartThatDoesNotFitIsOffWithItsReason) {
    const struct {
        const char* key;
        const char* value;     // nullptr drops the key
        const char* eggMoves;  // a piece of the reason, or nullptr when the part is on
        const char* dex;
    } cases[] = {
        {"EggMoves", nullptr, "no EggMoves key", nullptr},
        // Off its table, the key still leads to it: the table is found through the references of the code.
        {"EggMoves", "&H10000", nullptr, nullptr},
        {"EggMoveRefs", "x", "EggMoveRefs in section [VRNH] of Data.ini is \"x\"", nullptr},
        {"DexEntrySize", "16", nullptr, "holds at least 20 bytes"},
        {"NationalDex", "&H12000", nullptr, "does not look like one"},
        {"DexEntries", "&HFFF00", nullptr, "run beyond the end of the file"},
    };
    const RomBuilder rom(DemoLayout());
    for (const auto& c : cases) {
        testsupport::TempDir dir;
        const testsupport::RomFiles files = testsupport::WriteRomFiles(dir, rom);
        const std::string ini =
            testsupport::WithIniKey(rom.IniSection(), c.key, c.value ? c.value : "", !c.value);
        ASSERT_TRUE(testsupport::WriteTestIni(files.ini, {ini}));
        const OpenRomResult opened = OpenRomFile(files.rom, files.ini);
        ASSERT_TRUE(opened.session) << opened.error;
        const SpeciesTables& t = opened.session->Tables;
        for (const auto& [on, reason, expected] :
             {std::tuple{t.eggMoves.where.has_value(), t.eggMoves.unavailable, c.eggMoves},
              std::tuple{t.dex.where.has_value(), t.dex.unavailable, c.dex}}) {
            EXPECT_EQ(on, expected == nullptr) << c.key << ": " << reason;
            EXPECT_NE(reason.find(expected ? expected : ""), std::string::npos) << c.key << ": " << reason;
        }
    }
}

// Every layout shows its entries as stored; Ruby has a second page, Emerald 32-byte entries; species 0 and
// the placeholders have none.
TEST(PokedexTest, EveryLayoutShowsItsEntries) {
    for (RomLayout (*make)() : {DemoLayout, FireRedLayout, EmeraldLayout, RubyLayout}) {
        const RomBuilder rom(make());
        const RomLayout& l = rom.layout();
        SCOPED_TRACE(l.gameCode);
        testsupport::TempDir dir;
        const testsupport::RomFiles files = testsupport::WriteRomFiles(dir, rom);
        const OpenRomResult opened = OpenRomFile(files.rom, VORNHAL_DATA_DIR "/Data.ini");
        ASSERT_TRUE(opened.session && opened.session->Tables.dex.where) << opened.error;
        const Bytes& bytes = rom.bytes();
        for (const int species : {1, kSpecies, 277, 411}) {
            const DexEntryRead read = ReadDexEntry(*opened.session, species);
            ASSERT_TRUE(read.values) << species << read.unavailable;
            EXPECT_EQ(read.national, MadeUpNationalNumber(species));
            const int64_t entry = EntryOf(l, read.national);
            const DexEntryValues& v = *read.values;
            EXPECT_EQ(GameText::Encode(v.category).codes, CodesAt(bytes, entry));
            EXPECT_EQ(v.height, bytes[size_t(entry + 12)] | bytes[size_t(entry + 13)] << 8);
            EXPECT_EQ(GameText::Encode(v.description.value()).codes,
                      CodesAt(bytes, PointerAt(bytes, entry + 16) - 0x08000000));
            EXPECT_EQ(v.page2.has_value(), l.gameCode == "AXVE");
            if (v.page2) {
                EXPECT_EQ(GameText::Encode(*v.page2).codes,
                          CodesAt(bytes, PointerAt(bytes, entry + 20) - 0x08000000));
            }
        }
        EXPECT_NE(ReadDexEntry(*opened.session, 0).unavailable.find("Species 0"), std::string::npos);
        const DexEntryRead placeholder = ReadDexEntry(*opened.session, 252);
        EXPECT_EQ(placeholder.national, 387);
        EXPECT_NE(placeholder.unavailable.find("National number 387 has no"), std::string::npos);
    }
}

struct EditCase {
    const char* name;
    RomLayout (*layout)();
    std::function<void(DexEntryValues&)> edit;
    // The expected change of the file: rom is the fixture, entry the offset of the species' entry, and
    // free(n) where the free space finder puts n bytes.
    std::function<void(Bytes& expected, const Bytes& rom, int64_t entry, std::function<int64_t(size_t)> free)>
        expect;
    const char* moved;  // the text that moved, or nullptr
    friend void PrintTo(const EditCase& c, std::ostream* out) { *out << c.name; }
};

void PutCodes(Bytes& bytes, int64_t at, Bytes codes) {
    codes.push_back(0xFF);
    std::copy(codes.begin(), codes.end(), bytes.begin() + at);
}

void PutPointer(Bytes& bytes, int64_t at, int64_t target) {
    for (int k = 0; k < 3; ++k) bytes[size_t(at + k)] = uint8_t(target >> (8 * k));
}

// Every special character of game text, typed, with two codes that have none; six times over, so that it is
// longer than any description of the fixtures.
std::string Repeated(const std::string& text) {
    std::string six;
    for (int k = 0; k < 6; ++k) six += text;
    return six;
}
Bytes Repeated(const Bytes& codes) {
    Bytes six;
    for (int k = 0; k < 6; ++k) six.insert(six.end(), codes.begin(), codes.end());
    return six;
}
const std::string kSpecialText = Repeated("\x85\x93\x94\x91\x92,\xD7/()\xE9\x0B\x0C\n{5E}{fc}It's \"x\"");
const Bytes kSpecialCodes =
    Repeated(Bytes{0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB8, 0xB9, 0xBA, 0x5C, 0x5D, 0x1B, 0xB5,
                   0xB6, 0xFE, 0x5E, 0xFC, 0xC3, 0xE8, 0xB4, 0xE7, 0x00, 0xB1, 0xEC, 0xB2});

class PokedexEditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(PokedexEditTest, OnlyItsOwnBytesChange) {
    const EditCase& c = GetParam();
    const RomBuilder rom(c.layout());
    testsupport::TempDir dir;
    const testsupport::RomFiles files = testsupport::WriteRomFiles(dir, rom);
    ASSERT_TRUE(files.written);
    DexEntryValues values = ReadDexEntry(files.session, kSpecies).values.value();
    c.edit(values);
    FreeSpaceMap space(files.session);
    const DexSavePlan plan = PlanDexEntrySave(files.session, kSpecies, values, space);
    ASSERT_TRUE(plan.ok) << plan.error;
    ASSERT_EQ(plan.moved.size(), c.moved ? 1u : 0u);
    if (c.moved) {
        EXPECT_EQ(plan.moved.front().rfind(c.moved, 0), 0u) << plan.moved.front();
    }
    Bytes expected = rom.bytes();
    c.expect(expected, rom.bytes(), EntryOf(rom.layout(), kSpecies),
             [&files](size_t n) { return FreeSpaceMap(files.session).Take(int64_t(n)).offset.value_or(-1); });
    const Bytes written = Applied(rom.bytes(), plan.bytes);
    EXPECT_EQ(Differences(expected, written), "");
    // Shown again and saved unchanged, it writes nothing (typed quotes read back as the game's own).
    ASSERT_TRUE(testsupport::WriteFileBytes(files.rom, written));
    const DexSavePlan again =
        PlanDexEntrySave(files.session, kSpecies, *ReadDexEntry(files.session, kSpecies).values, space);
    EXPECT_TRUE(again.ok && again.bytes.empty()) << again.error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PokedexEditTest,
    ::testing::ValuesIn(std::vector<EditCase>{
        {"UneditedChangesNothing", FireRedLayout, [](DexEntryValues&) {},
         [](Bytes&, const Bytes&, int64_t, auto) {}, nullptr},
        {"NumbersAndCategoryInPlace", EmeraldLayout,
         [](DexEntryValues& v) {
             v.category = "NEW";
             v.height = 258;
             v.weight = 65535;
         },
         [](Bytes& e, const Bytes&, int64_t entry, auto) {
             PutCodes(e, entry, {0xC8, 0xBF, 0xD1});
             for (const auto& [at, value] : {std::pair{12, 0x0102}, std::pair{14, 0xFFFF}}) {
                 e[size_t(entry + at)] = uint8_t(value & 0xFF);
                 e[size_t(entry + at + 1)] = uint8_t(value >> 8);
             }
         },
         nullptr},
        {"ShorterDescriptionInPlace", FireRedLayout, [](DexEntryValues& v) { v.description = "Hi."; },
         [](Bytes& e, const Bytes& rom, int64_t entry, auto) {
             PutCodes(e, PointerAt(rom, entry + 16) - 0x08000000, {0xC2, 0xDD, 0xAD});
         },
         nullptr},
        {"LongerDescriptionMoves", FireRedLayout, [](DexEntryValues& v) { v.description = kSpecialText; },
         [](Bytes& e, const Bytes&, int64_t entry, auto free) {
             const int64_t to = free(kSpecialCodes.size() + 1);
             PutCodes(e, to, kSpecialCodes);
             PutPointer(e, entry + 16, to);
         },
         "the description moved to 0x"},
        {"RubySecondPageInPlace", RubyLayout, [](DexEntryValues& v) { v.page2 = "{5E}"; },
         [](Bytes& e, const Bytes& rom, int64_t entry, auto) {
             PutCodes(e, PointerAt(rom, entry + 20) - 0x08000000, {0x5E});
         },
         nullptr},
        {"RubySecondPageMoves", RubyLayout, [](DexEntryValues& v) { *v.page2 += "\nMore."; },
         [](Bytes& e, const Bytes& rom, int64_t entry, auto free) {
             Bytes codes = CodesAt(rom, PointerAt(rom, entry + 20) - 0x08000000);
             codes.insert(codes.end(), {0xFE, 0xC7, 0xE3, 0xE6, 0xD9, 0xAD});
             const int64_t to = free(codes.size() + 1);
             PutCodes(e, to, codes);
             PutPointer(e, entry + 20, to);
         },
         "the description's second page moved to 0x"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A text another entry points at moves even when it is shorter: writing it in place would change both.
TEST(PokedexTest, ASharedDescriptionMovesInsteadOfChangingBoth) {
    RomBuilder rom(FireRedLayout());
    const RomLayout& l = rom.layout();
    const Bytes original = rom.bytes();
    rom.Fill(int32_t(EntryOf(l, kSpecies + 1) + 16), Bytes(original.begin() + EntryOf(l, kSpecies) + 16,
                                                           original.begin() + EntryOf(l, kSpecies) + 20));
    testsupport::TempDir dir;
    const testsupport::RomFiles files = testsupport::WriteRomFiles(dir, rom);
    DexEntryValues values = ReadDexEntry(files.session, kSpecies).values.value();
    values.description = "A.";
    FreeSpaceMap space(files.session);
    const DexSavePlan plan = PlanDexEntrySave(files.session, kSpecies, values, space);
    ASSERT_TRUE(plan.ok) << plan.error;
    ASSERT_EQ(plan.moved.size(), 1u);
    EXPECT_EQ(plan.moved.front().rfind("the description moved to 0x71A2", 0), 0u) << plan.moved.front();
}

// In a 32 MiB ROM without a FreeSpace key, moves go above 16 MiB: the egg move references and the
// description's pointer get the fourth byte 09.
TEST(PokedexTest, MovesAbove16MiBWriteTheFourthPointerByte) {
    RomLayout layout = ExpandedLayout();
    layout.FreeSpaceKey = 0;
    const RomBuilder rom(layout);
    testsupport::TempDir dir;
    const testsupport::RomFiles files = testsupport::WriteRomFiles(dir, rom);
    DexEntryValues values = ReadDexEntry(files.session, kSpecies).values.value();
    values.description = kSpecialText;
    FreeSpaceMap space(files.session);
    const DexSavePlan dex = PlanDexEntrySave(files.session, kSpecies, values, space);
    const EggMoveSavePlan eggs = PlanEggMoveSave(files.session, 1, Words(10, 1), space);
    ASSERT_TRUE(dex.ok && eggs.ok && eggs.movedTo) << dex.error << eggs.error;
    std::map<int64_t, int> planned;
    for (const std::vector<PlannedByte>* plan : {&dex.bytes, &eggs.bytes}) {
        for (const PlannedByte& b : *plan) planned[b.offset] = b.value;
    }
    for (const int64_t fourth : {EntryOf(layout, kSpecies) + 19, int64_t{layout.eggMoveReferences[0]} + 3,
                                 int64_t{layout.eggMoveReferences[1]} + 3})
        EXPECT_EQ(planned[fourth], 0x09) << fourth;
}

TEST(PokedexTest, RefusalsPlanNothing) {
    const std::pair<std::function<void(DexEntryValues&)>, const char*> cases[] = {
        {[](DexEntryValues& v) { v.category = "TWELVELETTER"; }, "It has 12 characters; the entry holds 11."},
        {[](DexEntryValues& v) { v.description = "50~"; }, "The character \"~\" has no code"},
        {[](DexEntryValues& v) { v.weight = 65536; }, "The weight must be"},
        {[](DexEntryValues& v) { v.description = *v.description + "!"; }, "no FreeSpace key"},
    };
    const RomBuilder rom(DemoLayout());
    testsupport::TempDir dir;
    testsupport::RomFiles files = testsupport::WriteRomFiles(dir, rom);
    files.session.FreeSpace.reset();
    for (const auto& [edit, error] : cases) {
        DexEntryValues values = ReadDexEntry(files.session, kSpecies).values.value();
        edit(values);
        FreeSpaceMap none(files.session);
        const DexSavePlan plan = PlanDexEntrySave(files.session, kSpecies, values, none);
        EXPECT_FALSE(plan.ok);
        EXPECT_NE(plan.error.find(error), std::string::npos) << plan.error;
    }
}

}  // namespace
