// The egg move table on builder fixtures: a species' block edited, added and removed, in place or moved with
// both references rewritten and the old place FF, and the refusals that leave the file alone. Each plan is
// applied to a copy of the file and compared whole with a table spliced here word by word.

#include <gtest/gtest.h>

#include <functional>

#include "EggMoveLocator.h"
#include "EggMoveTable.h"
#include "FreeSpaceMap.h"
#include "PointerSearch.h"
#include "RomBuilder.h"
#include "RomOpener.h"
#include "SpeciesEggMoves.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace {

using testsupport::Differences;
using Bytes = std::vector<uint8_t>;
using Words = std::vector<int>;

Bytes Applied(Bytes bytes, const std::vector<PlannedByte>& plan) {
    for (const PlannedByte& b : plan) bytes.at(static_cast<size_t>(b.offset)) = b.value;
    return bytes;
}

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

// The moves of species' block in the table's words, and where its block starts and ends (the end of the
// table, before FFFF, when it has none).
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

// The first species of the fixture with a block of at least two moves, and the first without one.
int WithBlock(const Words& table) {
    for (int s = 1;; ++s) {
        if (BlockOf(table, s).moves.size() >= 2) return s;
    }
}
int WithoutBlock(const Words& table) {
    for (int s = 1;; ++s) {
        if (BlockOf(table, s).begin == BlockOf(table, s).end) return s;
    }
}

struct Fixture {
    testsupport::TempDir dir;
    RomBuilder rom{DemoLayout()};
    testsupport::RomFiles files;
    Words table;
    void Write() {
        files = testsupport::WriteRomFiles(dir, rom);
        ASSERT_TRUE(files.written);
        table = WordsAt(rom.bytes(), rom.layout().EggMoves);
    }
};

struct EditCase {
    const char* name;
    bool newBlock;                     // a species without a block, else one with
    std::function<Words(Words)> edit;  // of the species' moves
    bool moves;                        // the table no longer fits and moves
    friend void PrintTo(const EditCase& c, std::ostream* out) { *out << c.name; }
};

class EggMoveEditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(EggMoveEditTest, OnlyTheTableAndItsReferencesChange) {
    const EditCase& c = GetParam();
    Fixture f;
    f.Write();
    const RomLayout& l = f.rom.layout();
    const int species = c.newBlock ? WithoutBlock(f.table) : WithBlock(f.table);
    const Block block = BlockOf(f.table, species);
    const Words moves = c.edit(block.moves);
    ASSERT_EQ(ReadSpeciesEggMoves(f.files.session, species).moves, block.moves);

    // The table as it should be: the block's words replaced, a new block at the end, an emptied one gone.
    Words table = f.table;
    Words replacement;
    if (!moves.empty()) replacement.push_back(20000 + species);
    replacement.insert(replacement.end(), moves.begin(), moves.end());
    table.erase(table.begin() + long(block.begin), table.begin() + long(block.end));
    table.insert(table.begin() + long(block.begin), replacement.begin(), replacement.end());

    FreeSpaceMap space(f.files.session);
    const EggMoveSavePlan plan = PlanEggMoveSave(f.files.session, species, moves, space);
    ASSERT_TRUE(plan.ok) << plan.error;
    ASSERT_EQ(plan.movedTo.has_value(), c.moves);
    // A move goes where the free space finder puts a table of its length.
    const int64_t to =
        c.moves ? FreeSpaceMap(f.files.session).Take(2 * int64_t(table.size())).offset.value() : -1;
    Bytes expected = f.rom.bytes();
    if (c.moves) {
        EXPECT_EQ(plan.movedTo, to);
        std::fill_n(expected.begin() + l.EggMoves, 2 * f.table.size(), 0xFF);
        PutWords(expected, to, table);
        for (const int32_t reference : l.eggMoveReferences) {
            const uint32_t pointer = uint32_t(0x08000000 + to);
            for (int k = 0; k < 4; ++k) expected[size_t(reference + k)] = uint8_t(pointer >> (8 * k));
        }
    } else {
        std::fill_n(expected.begin() + l.EggMoves, 2 * f.table.size(), 0xFF);
        PutWords(expected, l.EggMoves, table);
    }
    const Bytes written = Applied(f.rom.bytes(), plan.bytes);
    EXPECT_EQ(Differences(expected, written), "");

    // Read back, the species has its new moves, wherever the table now is.
    ASSERT_TRUE(testsupport::WriteFileBytes(f.files.rom, written));
    const EggMoveLocation location = LocateEggMoveTable(f.files.rom, l.EggMoves, 2);
    ASSERT_EQ(location.table, c.moves ? to : l.EggMoves) << location.problem;
    f.files.session.Tables.eggMoves.where->table = *location.table;
    EXPECT_EQ(ReadSpeciesEggMoves(f.files.session, species).moves, moves);
}

INSTANTIATE_TEST_SUITE_P(Cases, EggMoveEditTest,
                         ::testing::ValuesIn(std::vector<EditCase>{
                             {"MoveReplacedInPlace", false,
                              [](Words m) {
                                  m.front() = 354;
                                  return m;
                              },
                              false},
                             {"MoveRemovedInPlace", false,
                              [](Words m) {
                                  m.pop_back();
                                  return m;
                              },
                              false},
                             {"BlockDroppedInPlace", false, [](Words) { return Words{}; }, false},
                             {"MoveAddedMovesTheTable", false,
                              [](Words m) {
                                  m.push_back(1);
                                  return m;
                              },
                              true},
                             {"NewBlockMovesTheTable", true,
                              [](Words) {
                                  return Words{5, 6};
                              },
                              true},
                             {"NothingForANewBlockChangesNothing", true, [](Words) { return Words{}; },
                              false}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Refusals plan nothing: the reference count differs from the section's, too many moves, species 0, no room.
TEST(EggMovesTest, RefusalsPlanNothing) {
    const auto grown = [](Words m) {
        m.push_back(1);
        return m;
    };
    const struct {
        const char* name;
        std::function<void(RomBuilder&)> change;
        std::function<Words(Words)> edit;
        int species;  // -1: one with a block
        bool room;
        const char* error;
    } cases[] = {
        {"a third reference", [](RomBuilder& r) { r.SetPointer(0x2000, r.layout().EggMoves); }, grown, -1,
         true, "but 3 do"},
        {"one reference gone", [](RomBuilder& r) { r.Fill(r.layout().eggMoveReferences[1], Bytes(4, 0)); },
         grown, -1, true, "but 1 does"},
        {"eleven moves", nullptr, [](Words) { return Words(11, 1); }, -1, true, "at most 10 egg moves"},
        {"species 0", nullptr, grown, 0, true, "Species 0 can have no egg moves"},
        {"no free space", nullptr, grown, -1, false, "no FreeSpace key"},
    };
    for (const auto& c : cases) {
        Fixture f;
        if (c.change) c.change(f.rom);
        f.Write();
        const int species = c.species >= 0 ? c.species : WithBlock(f.table);
        const Words moves = c.edit(BlockOf(f.table, species).moves);
        if (!c.room) f.files.session.FreeSpace.reset();
        FreeSpaceMap space(f.files.session);
        const EggMoveSavePlan plan = PlanEggMoveSave(f.files.session, species, moves, space);
        EXPECT_FALSE(plan.ok) << c.name;
        EXPECT_TRUE(plan.bytes.empty()) << c.name;
        EXPECT_NE(plan.error.find(c.error), std::string::npos) << c.name << ": " << plan.error;
    }
}

// After a move the old place is FF: opening finds the table through its references, and an undo's bytes
// bring it back to Data.ini's offset.
TEST(EggMovesTest, TheTableIsFoundWhereverItWasMoved) {
    Fixture f;
    f.Write();
    const RomLayout& l = f.rom.layout();
    FreeSpaceMap space(f.files.session);
    const int species = WithBlock(f.table);
    const EggMoveSavePlan plan =
        PlanEggMoveSave(f.files.session, species, {1, 2, 3, 4, 5, 6, 7, 8, 9}, space);
    ASSERT_TRUE(plan.ok && plan.movedTo) << plan.error;
    ASSERT_TRUE(testsupport::WriteFileBytes(f.files.rom, Applied(f.rom.bytes(), plan.bytes)));

    OpenRomResult opened = OpenRomFile(f.files.rom, f.files.ini);
    ASSERT_TRUE(opened.session) << opened.error;
    ASSERT_TRUE(opened.session->Tables.eggMoves.where);
    EXPECT_EQ(opened.session->Tables.eggMoves.where->table, *plan.movedTo);
    EXPECT_EQ(opened.session->Tables.eggMoves.where->keyOffset, l.EggMoves);

    TablePart<EggMovePlace> part = opened.session->Tables.eggMoves;
    ASSERT_TRUE(testsupport::WriteFileBytes(f.files.rom, f.rom.bytes()));
    FollowEggMoveTable(part, f.files.rom);
    EXPECT_EQ(part.where->table, l.EggMoves);

    // With the old place FF and a reference gone, nothing is taken for the table.
    Bytes lost = Applied(f.rom.bytes(), plan.bytes);
    std::fill_n(lost.begin() + l.eggMoveReferences[0], 4, 0xFF);
    ASSERT_TRUE(testsupport::WriteFileBytes(f.files.rom, lost));
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
    const auto put = [&file](int64_t at) {
        const uint32_t pointer = 0x0925EF0C;  // a table above 16 MiB in an expanded ROM
        for (int k = 0; k < 4; ++k) file[size_t(at + k)] = uint8_t(pointer >> (8 * k));
    };
    const std::vector<int64_t> aligned = {0, 4 * 63, 4 * 64, kPiece - 4, kPiece, size - 6};
    for (const int64_t at : aligned) put(at);
    put(2 * 4 * 64 + 2);  // not on a multiple of 4
    testsupport::TempDir dir;
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.File("rom.gba"), file));
    EXPECT_EQ(PointerSearch::FindPointersTo(dir.File("rom.gba"), 0x125EF0C), aligned);
    EXPECT_EQ(PointerSearch::FindPointersTo(dir.File("missing.gba"), 0), std::nullopt);
}

}  // namespace
