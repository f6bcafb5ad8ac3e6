#include "EditorTest.h"
#include "rom/RomNameTables.h"

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
    TempDir dir;
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
        EXPECT_EQ(source, "Names: moves, abilities, types and items from the ROM.");
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

// The source line in each form: all from the ROM (every case whose list comes from it), off, no keys, and
// the mixed form naming each list file and why.
INSTANTIATE_TEST_SUITE_P(
    Cases, RomNamesTest,
    ::testing::ValuesIn(std::vector<NamesCase>{
        {"AllFromTheRom", nullptr, RomNames::kTypes, {}},
        {"SeventeenOddMovesOf355", [](auto& b, auto&, bool&) { BreakMoves(b, 17); }, RomNames::kMoves, {}},
        // The eighteenth is empty: the full entry before it must not read on into its FF.
        {"EighteenOddMoves",
         [](auto& b, auto&, bool&) {
             BreakMoves(b, 17);
             b.Fill(DemoLayout().MoveNames + 13 * 17, {0xFF});
         },
         RomNames::kMoves,
         {"Names: abilities, types and items from the ROM; moves from Attacks.txt: the move names table at "
          "0x1000 (355 entries of 13 bytes) does not hold names (337 of 355 entries are names ending within "
          "13 bytes)."}},
        {"AHackWithMoreMoves",
         [](auto& b, auto& s, bool&) {
             SetKey(s, RomNames::kMoves, "", "365");
             for (int i = 355; i < 365; ++i) b.SetListName(RomNames::kMoves, i, "MORE");
         },
         RomNames::kMoves,
         {}},
        {"EmptyEntriesAreNoNames",
         [](auto& b, auto&, bool&) { b.Fill(DemoLayout().TypeNames, Bytes(7 * 18, 0xFF)); },
         RomNames::kTypes,
         {"types from Types.txt: the type names table at 0x2800", "(0 of 18 entries"}},
        {"SettingOff",
         [](auto&, auto&, bool& on) { on = false; },
         RomNames::kItems,
         {"Names: from the list files (Names from the ROM is off in the settings)."}},
        {"NoKeys",
         [](auto&, auto& s, bool&) { s.NameTables = {}; },
         RomNames::kAbilities,
         {"Names: from the list files (section [VRNH] gives no names tables)."}},
        {"OffsetBeyondTheFile",
         [](auto&, auto& s, bool&) { SetKey(s, RomNames::kItems, "&H100000", "377"); },
         RomNames::kItems,
         {"items from Items.txt:", "beyond the end of the file (1048576 bytes)"}},
        {"CountOfOne",
         [](auto&, auto& s, bool&) { SetKey(s, RomNames::kTypes, "", "1"); },
         RomNames::kTypes,
         {}},
        {"CountOfZero",
         [](auto&, auto& s, bool&) { SetKey(s, RomNames::kMoves, "", "0"); },
         RomNames::kMoves,
         {"MoveCount in section [VRNH] is \"0\", not a count from 1 to 512"}},
        {"CountOfMillions",
         [](auto&, auto& s, bool&) { SetKey(s, RomNames::kItems, "", "5000000"); },
         RomNames::kItems,
         {"ItemCount in section [VRNH] is \"5000000\", not a count from 1 to 65536"}},
        {"NoItemCount",
         [](auto&, auto& s, bool&) { SetKey(s, RomNames::kItems, "", ""); },
         RomNames::kItems,
         {"no key ItemCount"}}}),
    kCaseName);

}  // namespace
