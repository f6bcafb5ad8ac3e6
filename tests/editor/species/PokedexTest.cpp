// Pokédex entries on builder fixtures of every layout: what a species shows, and the bytes a save plans for
// an edited entry, applied to a copy of the file and compared whole.

#include <sstream>

#include "EditorTest.h"
#include "GameText.h"
#include "HexOffset.h"
#include "species/DescriptionGuide.h"
#include "species/PokedexEntry.h"
#include "write/FreeSpaceMap.h"

namespace {

constexpr int kSpecies = 40;  // national number 40 in every layout

int64_t EntryOf(const RomLayout& l, int national) {
    return l.DexEntries + int64_t{l.DexEntrySize} * national;
}

Bytes CodesAt(const Bytes& bytes, int64_t at) {
    Bytes codes;
    for (auto k = static_cast<size_t>(at); bytes[k] != 0xFF; ++k) codes.push_back(bytes[k]);
    return codes;
}

// Ruby has a second page, Emerald 32-byte entries; species 0 and the placeholders have none.
TEST(PokedexTest, EveryLayoutShowsItsEntries) {
    for (RomLayout (*make)() : {DemoLayout, FireRedLayout, EmeraldLayout, RubyLayout, SapphireGermanLayout}) {
        const RomBuilder rom(make());
        const RomLayout& l = rom.layout();
        SCOPED_TRACE(l.gameCode);
        const OpenedRom opened(rom);
        ASSERT_TRUE(opened.session.Tables.dex.where);
        const Bytes& bytes = rom.bytes();
        for (const int species : {1, kSpecies, 277, 411}) {
            const DexEntryRead read = ReadDexEntry(opened.session, species);
            ASSERT_TRUE(read.values) << species << read.unavailable;
            EXPECT_EQ(read.national, MadeUpNationalNumber(species));
            const int64_t entry = EntryOf(l, read.national);
            const DexEntryValues& v = *read.values;
            const GameText::Language language = opened.session.TextLanguage;
            EXPECT_EQ(GameText::Encode(v.category, language).codes, CodesAt(bytes, entry));
            EXPECT_EQ(v.height, bytes[size_t(entry + 12)] | bytes[size_t(entry + 13)] << 8);
            EXPECT_EQ(GameText::Encode(v.description.value(), language).codes,
                      CodesAt(bytes, PointerTarget(bytes, entry + 16)));
            EXPECT_EQ(v.page2.has_value(), l.gameCode[0] == 'A');
            if (v.page2) {
                EXPECT_EQ(GameText::Encode(*v.page2, language).codes,
                          CodesAt(bytes, PointerTarget(bytes, entry + 20)));
            }
        }
        EXPECT_NE(ReadDexEntry(opened.session, 0).unavailable.find("Species 0"), std::string::npos);
        const DexEntryRead placeholder = ReadDexEntry(opened.session, 252);
        EXPECT_EQ(placeholder.national, 387);
        EXPECT_NE(placeholder.unavailable.find("National number 387 has no"), std::string::npos);
    }
}

Bytes Hex(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    for (int b; in >> std::hex >> b;) bytes.push_back(uint8_t(b));
    return bytes;
}

// Every special character of game text, two without codes: longer than any description of the fixtures.
std::string SixTimes(const std::string& one) {
    return one + one + one + one + one + one;
}
const std::string kSpecialText = SixTimes("\x85\x93\x94\x91\x92,\xD7/()\xE9\x0B\x0C\n{5E}{fc}It's \"x\"");
const Bytes kSpecialCodes =
    Hex(SixTimes("B0 B1 B2 B3 B4 B8 B9 BA 5C 5D 1B B5 B6 FE 5E FC C3 E8 B4 E7 00 B1 EC B2 ") + "FF");

void ShareTheDescription(RomBuilder& rom) {
    const int64_t from = EntryOf(rom.layout(), kSpecies) + 16;
    rom.Fill(int32_t(EntryOf(rom.layout(), DexLimits::kLastEntry) + 16),
             Bytes(rom.bytes().begin() + from, rom.bytes().begin() + from + 4));
}

// An edit of species 40 and the bytes it should write: at < 16 in the entry itself, at 16 or 20 over the text
// that pointer leads to or, when that text moves, where the free space finder puts it.
constexpr int kRefused = -1;
using Values = DexEntryValues;
struct EditCase {
    const char* name;
    RomLayout (*layout)();
    void (*edit)(Values&);
    int at;
    const char* said;  // the name of a text that moves, or a piece of the refusal
    Bytes lands = {};
    void (*change)(RomBuilder&) = nullptr;
};

class PokedexEditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(PokedexEditTest, OnlyItsOwnBytesChange) {
    const EditCase& c = GetParam();
    WrittenRom w(c.layout(), c.change);
    RomFiles& files = w.files;
    if (c.at == kRefused) files.session.FreeSpace.reset();
    DexEntryValues values = ReadDexEntry(files.session, kSpecies).values.value();
    c.edit(values);
    FreeSpaceMap space(files.session);
    const DexSavePlan plan = PlanDexEntrySave(files.session, kSpecies, values, space);
    if (c.at == kRefused) return ExpectRefused(plan, c.said);
    ASSERT_TRUE(plan.ok) << plan.error;
    ASSERT_EQ(plan.moved.size(), c.said ? 1u : 0u);
    Bytes expected = w.rom.bytes();
    const int64_t entry = EntryOf(w.rom.layout(), kSpecies);
    int64_t to = c.at < 16 ? entry + c.at : PointerTarget(expected, entry + c.at);
    if (c.said) {
        to = FreeSpaceMap(files.session).Take(int64_t(c.lands.size())).offset.value_or(-1);
        EXPECT_EQ(plan.moved.front(), "the " + std::string(c.said) + " moved to " + HexOffset(to));
        // Over 16 MiB the text goes above them, where the pointer's fourth byte changes.
        EXPECT_EQ(to >= 1 << 24, expected.size() > 1 << 24);
        PutPointer(expected, entry + c.at, to);
    }
    std::copy(c.lands.begin(), c.lands.end(), expected.begin() + to);
    const Bytes written = Applied(w.rom.bytes(), plan.bytes);
    EXPECT_EQ(Differences(expected, written), "");
    // Shown again and saved unchanged, it writes nothing (typed quotes read back as the game's own).
    ASSERT_TRUE(WriteFileBytes(files.rom, written));
    const DexSavePlan again =
        PlanDexEntrySave(files.session, kSpecies, *ReadDexEntry(files.session, kSpecies).values, space);
    EXPECT_TRUE(again.ok && again.bytes.empty()) << again.error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PokedexEditTest,
    ::testing::ValuesIn(std::vector<EditCase>{
        {"UneditedChangesNothing", FireRedLayout, [](Values&) {}, 0, nullptr},
        {"CategoryInPlace", EmeraldLayout, [](Values& v) { v.category = "NEW"; }, 0, nullptr,
         Hex("C8 BF D1 FF")},
        {"NumbersInPlace", EmeraldLayout, [](Values& v) { v.height = 258, v.weight = 65535; }, 12, nullptr,
         Hex("02 01 FF FF")},
        {"ShorterDescriptionInPlace", FireRedLayout, [](Values& v) { v.description = "Hi."; }, 16, nullptr,
         Hex("C2 DD AD FF")},
        {"LongerDescriptionMoves", FireRedLayout, [](Values& v) { v.description = kSpecialText; }, 16,
         "description", kSpecialCodes},
        {"GermanQuotesInPlace", RubyGermanLayout, [](Values& v) { v.description = "\x84Hi\x93"; }, 16,
         nullptr, Hex("B1 C2 DD B2 FF")},
        {"RubySecondPageInPlace", RubyLayout, [](Values& v) { v.page2 = "{5E}"; }, 20, nullptr, Hex("5E FF")},
        {"RubySecondPageMoves", RubyLayout, [](Values& v) { v.page2 = kSpecialText; }, 20,
         "description's second page", kSpecialCodes},
        // Written in place, a text another entry points at would change both.
        {"SharedDescriptionMoves", FireRedLayout, [](Values& v) { v.description = "A."; }, 16, "description",
         Hex("BB AD FF"), ShareTheDescription},
        {"MovedAbove16MiB", testsupport::ExpandedWithoutFreeSpaceKey,
         [](Values& v) { v.description = kSpecialText; }, 16, "description", kSpecialCodes},
        {"CategoryOfTwelveRefused", DemoLayout, [](Values& v) { v.category = "TWELVELETTER"; }, kRefused,
         "It has 12 characters; the entry holds 11."},
        {"CharacterWithoutCodeRefused", DemoLayout, [](Values& v) { v.description = "50~"; }, kRefused,
         "The character \"~\" has no code"},
        {"WeightBeyondAWordRefused", DemoLayout, [](Values& v) { v.weight = 65536; }, kRefused,
         "The weight must be"},
        {"NoRoomToMoveRefused", DemoLayout, [](Values& v) { *v.description += "!"; }, kRefused,
         "no FreeSpace key"}}),
    kCaseName);

// Emerald shows a fourth line, a game the guide does not know gets the tightest shape, and a text without
// codes (German quotes in an English game) is left to the save to refuse.
TEST(PokedexTest, DescriptionWarningSaysWhatGoesBeyondTheGame) {
    using enum GameText::Language;
    const std::string a41(41, 'a'), a43(43, 'a'), a44(44, 'a'), quoted = "\x84" + a41 + "\x93";
    const std::vector<std::tuple<std::string, GameText::Language, std::string, std::string>> cases = {
        {"BPRE", English, "a\nb\n" + a43, ""},
        {"BPRE", English, "a\n" + a44 + "\nb", "Line 2 has 44 characters; the game's longest has 43."},
        {"BPRE", English, "a\nb\nc\nd", "It has 4 lines; the game's have at most 3."},
        {"BPEE", English, "a\nb\nc\nd", ""},
        {"BPEF", English, "a\nb\nc\nd", ""},
        {"XXXX", English, "a\nb\nc\n" + a43,
         "It has 4 lines; the game's have at most 3. Line 4 has 43 characters; the game's longest has 42."},
        {"AXVD", German, quoted, "Line 1 has 43 characters; the game's longest has 42."},
        {"AXVE", English, quoted, ""},
        {"BPRE", English, a44 + "~", ""}};
    for (const auto& [game, language, text, warning] : cases)
        EXPECT_EQ(DescriptionWarning(game, language, text), warning) << game << " " << text;
}

}  // namespace
