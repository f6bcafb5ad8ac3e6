// The egg move table on builder fixtures: a species' block edited in place or moved with both references,
// each plan applied to a copy of the file and compared whole with a table spliced here word by word.

#include "EditorTest.h"
#include "rom/PointerSearch.h"
#include "rom/RomOpener.h"
#include "species/EggMoveLocator.h"
#include "species/EggMoveTable.h"
#include "species/SpeciesEggMoves.h"
#include "write/FreeSpaceMap.h"

namespace {

using Words = std::vector<int>;

Words WordsAt(const Bytes& bytes, int64_t at) {
    Words words;
    for (size_t k = static_cast<size_t>(at);; k += 2) {
        words.push_back(bytes[k] | bytes[k + 1] << 8);
        if (words.back() == 0xFFFF) return words;
    }
}

void PutWords(Bytes& bytes, int64_t at, const Words& words) {
    for (size_t k = 0; k < words.size(); ++k) {
        bytes[static_cast<size_t>(at) + 2 * k] = static_cast<uint8_t>(words[k] & 0xFF);
        bytes[static_cast<size_t>(at) + 2 * k + 1] = static_cast<uint8_t>(words[k] >> 8);
    }
}

// A species' block in the table's words: empty, at the end before FFFF, when it has none.
struct Block {
    size_t begin, end;
    Words moves;
};
Block BlockOf(const Words& table, int species) {
    size_t k = 0;
    while (k + 1 < table.size() && table[k] != 20000 + species) ++k;
    if (k + 1 == table.size()) return {k, k, {}};
    size_t end = k + 1;
    while (table[end] <= 20000) ++end;
    return {k, end, Words(table.begin() + long(k) + 1, table.begin() + long(end))};
}

// The first species of the fixture with a block of at least two moves, or the first without one.
int FirstSpecies(const Words& table, bool withBlock) {
    for (int s = 1;; ++s) {
        const Block block = BlockOf(table, s);
        if (withBlock ? block.moves.size() >= 2 : block.begin == block.end) return s;
    }
}

// The moves with those from..to (negative: from the end, clamped) replaced by put.
Words Spliced(Words moves, int from, int to, const Words& put) {
    const auto at = [&moves](int k) {
        const int n = int(moves.size());
        return moves.begin() + std::clamp(k < 0 ? n + k : k, 0, n);
    };
    moves.insert(moves.erase(at(from), at(to)), put.begin(), put.end());
    return moves;
}

// The builder's code given a third reference to the table, or one of its two lost.
void ThirdReference(RomBuilder& rom) {
    rom.SetPointer(0x2000, rom.layout().EggMoves);
}
void ReferenceGone(RomBuilder& rom) {
    rom.Fill(rom.layout().eggMoveReferences[1], Bytes(4, 0));
}

// An edit of the moves of a species with a block, without one or of a number; kNoRoom: no free space.
constexpr int kWithBlock = -1, kWithoutBlock = -2;
constexpr const char* kNoRoom = "no FreeSpace key";
struct EditCase {
    const char* name;
    RomLayout (*layout)();
    int species;
    int from, to;  // of its moves, replaced by put
    Words put;
    bool moves;                     // the table no longer fits and moves
    const char* refused = nullptr;  // a piece of the reason
    void (*change)(RomBuilder&) = nullptr;
};

class EggMoveEditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(EggMoveEditTest, OnlyTheTableAndItsReferencesChange) {
    const EditCase& c = GetParam();
    WrittenRom f(c.layout(), c.change);
    const RomLayout& l = f.rom.layout();
    const Words before = WordsAt(f.rom.bytes(), l.EggMoves);
    const int species = c.species >= 0 ? c.species : FirstSpecies(before, c.species == kWithBlock);
    const Block block = BlockOf(before, species);
    const Words moves = Spliced(block.moves, c.from, c.to, c.put);
    if (c.refused == kNoRoom) f.files.session.FreeSpace.reset();
    FreeSpaceMap space(f.files.session);
    const EggMoveSavePlan plan = PlanEggMoveSave(f.files.session, species, moves, space);
    if (c.refused) return ExpectRefused(plan, c.refused);
    ASSERT_TRUE(plan.ok) << plan.error;
    ASSERT_EQ(plan.movedTo.has_value(), c.moves);
    EXPECT_EQ(ReadSpeciesEggMoves(f.files.session, species).moves, block.moves);
    // The table as it should be: the block's words replaced, a new block at the end, an emptied one gone.
    Words table = before;
    Words replacement;
    if (!moves.empty()) replacement.push_back(20000 + species);
    replacement.insert(replacement.end(), moves.begin(), moves.end());
    table.erase(table.begin() + long(block.begin), table.begin() + long(block.end));
    table.insert(table.begin() + long(block.begin), replacement.begin(), replacement.end());
    // A move goes where the free space finder puts a table of its length.
    const int64_t to =
        c.moves ? FreeSpaceMap(f.files.session).Take(2 * int64_t(table.size())).offset.value() : -1;
    Bytes expected = f.rom.bytes();
    std::fill_n(expected.begin() + l.EggMoves, 2 * before.size(), 0xFF);
    PutWords(expected, c.moves ? to : l.EggMoves, table);
    if (c.moves) {
        EXPECT_EQ(plan.movedTo, to);
        // Over 16 MiB the table goes above them, where the references' fourth byte changes.
        EXPECT_EQ(to >= 1 << 24, expected.size() > 1 << 24);
        for (const int32_t reference : l.eggMoveReferences) PutPointer(expected, reference, to);
    }
    const Bytes written = Applied(f.rom.bytes(), plan.bytes);
    EXPECT_EQ(Differences(expected, written), "");

    // Opened again, the table is found through the references of the code, the old place FF.
    ASSERT_TRUE(WriteFileBytes(f.files.rom, written));
    const OpenRomResult opened = OpenRomFile(f.files.rom, f.files.ini);
    ASSERT_TRUE(opened.session && opened.session->Tables.eggMoves.where) << opened.error;
    EXPECT_EQ(opened.session->Tables.eggMoves.where->table, c.moves ? to : l.EggMoves);
    EXPECT_EQ(opened.session->Tables.eggMoves.where->keyOffset, l.EggMoves);
    EXPECT_EQ(ReadSpeciesEggMoves(*opened.session, species).moves, moves);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EggMoveEditTest,
    ::testing::ValuesIn(std::vector<EditCase>{
        {"MoveReplacedInPlace", DemoLayout, kWithBlock, 0, 1, {354}, false},
        {"MoveRemovedInPlace", DemoLayout, kWithBlock, -1, 99, {}, false},
        {"BlockDroppedInPlace", DemoLayout, kWithBlock, 0, 99, {}, false},
        {"MoveAddedMovesTheTable", DemoLayout, kWithBlock, 99, 99, {1}, true},
        {"NewBlockMovesTheTable", DemoLayout, kWithoutBlock, 0, 0, {5, 6}, true},
        {"NothingForANewBlockChangesNothing", DemoLayout, kWithoutBlock, 0, 0, {}, false},
        {"MovedAbove16MiB", testsupport::ExpandedWithoutFreeSpaceKey, kWithBlock, 99, 99, {1}, true},
        // The reference count must be the section's.
        {"ThirdReferenceRefused", DemoLayout, kWithBlock, 99, 99, {1}, true, "but 3 do", ThirdReference},
        {"ReferenceGoneRefused", DemoLayout, kWithBlock, 99, 99, {1}, true, "but 1 does", ReferenceGone},
        {"ElevenMovesRefused", DemoLayout, kWithBlock, 0, 99, Words(11, 1), false, "at most 10 egg moves"},
        {"SpeciesZeroRefused", DemoLayout, 0, 99, 99, {1}, false, "Species 0 can have no egg moves"},
        {"NoRoomToMoveRefused", DemoLayout, kWithBlock, 99, 99, {1}, true, kNoRoom}}),
    kCaseName);

// After a move an undo's bytes bring the table back to Data.ini's offset; with the old place FF and a
// reference gone, nothing is taken for the table.
TEST(EggMovesTest, AMovedTableIsFollowedBackOrLost) {
    const WrittenRom f(DemoLayout());
    const RomLayout& l = f.rom.layout();
    const int species = FirstSpecies(WordsAt(f.rom.bytes(), l.EggMoves), true);
    FreeSpaceMap space(f.files.session);
    const EggMoveSavePlan plan =
        PlanEggMoveSave(f.files.session, species, {1, 2, 3, 4, 5, 6, 7, 8, 9}, space);
    ASSERT_TRUE(plan.ok && plan.movedTo) << plan.error;
    TablePart<EggMovePlace> part = f.files.session.Tables.eggMoves;
    part.where->table = *plan.movedTo;
    FollowEggMoveTable(part, f.files.rom);
    EXPECT_EQ(part.where->table, l.EggMoves);

    Bytes lost = Applied(f.rom.bytes(), plan.bytes);
    std::fill_n(lost.begin() + l.eggMoveReferences[0], 4, 0xFF);
    ASSERT_TRUE(WriteFileBytes(f.files.rom, lost));
    FollowEggMoveTable(part, f.files.rom);
    EXPECT_FALSE(part.where);
    EXPECT_NE(part.unavailable.find("No other table has the 2 references"), std::string::npos)
        << part.unavailable;
}

// The search finds aligned words only, at the edges of its pieces and blocks and at the end of the file.
TEST(EggMovesTest, ReferencesAreFoundByValueOnAlignedWords) {
    constexpr int64_t kPiece = 1 << 20;
    const int64_t size = kPiece + 4 * 70 + 2;
    Bytes file(static_cast<size_t>(size), 0xFF);
    constexpr int64_t kTable = 0x125EF0C;  // above 16 MiB in an expanded ROM
    const std::vector<int64_t> aligned = {0, 4 * 63, 4 * 64, kPiece - 4, kPiece, size - 6};
    for (const int64_t at : aligned) PutPointer(file, at, kTable);
    PutPointer(file, 2 * 4 * 64 + 2, kTable);  // not on a multiple of 4
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("rom.gba"), file));
    EXPECT_EQ(PointerSearch::FindPointersTo(dir.File("rom.gba"), kTable), aligned);
    EXPECT_EQ(PointerSearch::FindPointersTo(dir.File("missing.gba"), 0), std::nullopt);
}

}  // namespace
