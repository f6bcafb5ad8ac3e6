#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RomNameTables.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace {

using RomNames::List;

struct NamesCase {
    const char* name;
    void (*prepare)(RomBuilder&, EditorSession&, bool& fromRom);
    List list;                       // the list the case is about
    std::vector<std::string> named;  // in the source line; empty: the list's names come from the ROM
    friend void PrintTo(const NamesCase& c, std::ostream* out) { *out << c.name; }
};

class RomNamesTest : public ::testing::TestWithParam<NamesCase> {};

// The demo ROM names 355 moves, 78 abilities, 18 types and 377 items; each case changes one thing.
TEST_P(RomNamesTest, TakesTheRomsNamesOrSaysWhyTheListFileServes) {
    testsupport::TempDir dir;
    RomBuilder builder(DemoLayout());
    builder.SetListName(RomNames::kMoves, 33, "NEW MOVE");
    EditorSession session = builder.Session(dir.File("game.gba"));
    bool fromRom = true;
    if (GetParam().prepare) GetParam().prepare(builder, session, fromRom);
    ASSERT_TRUE(builder.WriteTo(dir.File("game.gba")));

    const RomNames::Names names = RomNames::ReadNames(session, fromRom);
    const RomNames::ListNames& list = names.lists[GetParam().list];
    const std::string source = RomNames::SourceText(names);
    if (GetParam().named.empty()) {
        EXPECT_TRUE(list.FromRom()) << list.fallback;
        const std::string& count = session.NameTables[GetParam().list].count;
        if (!count.empty()) {
            EXPECT_EQ(list.names.size(), std::stoul(count));
        }
        EXPECT_EQ(names.lists[RomNames::kMoves].names.at(33), "NEW MOVE");
        EXPECT_EQ(names.lists[RomNames::kItems].names.size(), 377u);
    } else {
        EXPECT_TRUE(list.names.empty() && !list.fallback.empty());
    }
    for (const std::string& part : GetParam().named)
        EXPECT_NE(source.find(part), std::string::npos) << part << " in: " << source;
}

void SetKey(EditorSession& s, List list, const std::string& offset, const std::string& count = "") {
    s.NameTables[list] = {offset.empty() ? s.NameTables[list].offset : offset, count};
}

// Entries 0 to n - 1 of the moves table without their FF.
void BreakMoves(RomBuilder& b, int n) {
    for (int i = 0; i < n; ++i) b.Fill(DemoLayout().MoveNames + 13 * i, std::vector<uint8_t>(13, 0xBB));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RomNamesTest,
    ::testing::ValuesIn(std::vector<NamesCase>{
        {"AllFromTheRom", nullptr, RomNames::kTypes, {}},
        {"SeventeenOddMovesOf355", [](auto& b, auto&, bool&) { BreakMoves(b, 17); }, RomNames::kMoves, {}},
        {"EighteenOddMoves",
         [](auto& b, auto&, bool&) { BreakMoves(b, 18); },
         RomNames::kMoves,
         {"Attacks.txt", "does not hold names (337 of 355 entries"}},
        {"AHackWithMoreMoves",
         [](auto& b, auto& s, bool&) {
             SetKey(s, RomNames::kMoves, "", "365");
             for (int i = 355; i < 365; ++i) b.SetListName(RomNames::kMoves, i, "MORE");
         },
         RomNames::kMoves,
         {}},
        {"EmptyEntriesAreNoNames",
         [](auto& b, auto&, bool&) { b.Fill(DemoLayout().TypeNames, std::vector<uint8_t>(7 * 18, 0xFF)); },
         RomNames::kTypes,
         {"Types.txt", "the type names table at 0x2800", "0 of 18"}},
        {"SettingOff", [](auto&, auto&, bool& on) { on = false; }, RomNames::kItems, {"off"}},
        {"NoKeys",
         [](auto&, auto& s, bool&) { s.NameTables = {}; },
         RomNames::kAbilities,
         {"section [VRNH]"}},
        {"OffsetBeyondTheFile",
         [](auto&, auto& s, bool&) { SetKey(s, RomNames::kItems, "&H100000", "377"); },
         RomNames::kItems,
         {"Items.txt", "beyond the end of the file (1048576 bytes)"}},
        {"OffsetNotANumber",
         [](auto&, auto& s, bool&) { SetKey(s, RomNames::kTypes, "zz"); },
         RomNames::kTypes,
         {"TypeNames in section [VRNH] is \"zz\", not an offset"}},
        {"CountOfZero",
         [](auto&, auto& s, bool&) { SetKey(s, RomNames::kMoves, "", "0"); },
         RomNames::kMoves,
         {"MoveCount", "\"0\", not a count from 1 to 512"}},
        {"CountOfMillions",
         [](auto&, auto& s, bool&) { SetKey(s, RomNames::kItems, "", "5000000"); },
         RomNames::kItems,
         {"ItemCount", "\"5000000\", not a count from 1 to 65536"}},
        {"NoItemCount",
         [](auto&, auto& s, bool&) { SetKey(s, RomNames::kItems, "", ""); },
         RomNames::kItems,
         {"no key ItemCount"}},
        {"RomGone",
         [](auto&, auto& s, bool&) { s.RomPath += ".gone"; },
         RomNames::kAbilities,
         {"cannot be read"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RomNamesTest, TheSourceLineNamesEachListFileThatServes) {
    RomNames::Names names;
    names.section = "BPRE";
    for (RomNames::ListNames& list : names.lists) list.keyed = true;
    EXPECT_EQ(RomNames::SourceText(names), "Names: moves, abilities, types and items from the ROM.");
    names.lists[RomNames::kItems].fallback = "the ROM file cannot be read";
    EXPECT_EQ(
        RomNames::SourceText(names),
        "Names: moves, abilities and types from the ROM; items from Items.txt: the ROM file cannot be read.");
    for (RomNames::ListNames& list : names.lists) list = {{}, "no key", false};
    EXPECT_EQ(RomNames::SourceText(names),
              "Names: from the list files (section [BPRE] gives no names tables).");
    names.enabled = false;
    EXPECT_EQ(RomNames::SourceText(names),
              "Names: from the list files (Names from the ROM is off in the settings).");
}

}  // namespace
