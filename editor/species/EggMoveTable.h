#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The one egg move table of a game: 16-bit words, where 20000 + species opens that species' block, the move
// numbers of the block follow, and FFFF ends the table. The game takes a word above 20000 as the end of a
// block, so species 0 (20000 itself) can have no block of its own.
namespace EggMoveLimits {
inline constexpr int kBlockBase = 20000;
inline constexpr int kEnd = 0xFFFF;
inline constexpr int kMostPerSpecies = 10;  // the game reads no more
inline constexpr int kLastMoveNumber = 511;
// A grown table is still far below this; anything longer is not taken for one.
inline constexpr int64_t kLongestTable = 0x10000;
}  // namespace EggMoveLimits

struct EggMoveBlock {
    int opener = 0;          // as stored: 20000 + species
    std::vector<int> moves;  // as stored
    friend bool operator==(const EggMoveBlock&, const EggMoveBlock&) = default;
};

struct EggMoveTable {
    int64_t offset = 0;
    std::vector<EggMoveBlock> blocks;  // in the table's order
    int64_t size = 0;                  // bytes, the terminator included
    int oddWords = 0;  // openers of no species 1-411 and moves outside 1-511, kept as they are
};

struct EggMoveTableRead {
    std::optional<EggMoveTable> table;
    std::string problem;      // when there is no table: why, as a sentence
    bool endMissing = false;  // the bytes ran out before the terminator
};

// The table at offset, read in pieces until its terminator. A table must begin with an opener (or be the
// terminator alone) and end within kLongestTable bytes and the file. With onlySpecies, the table holds that
// species' block alone and counts no odd words (its size is still the whole table's): showing one species
// then looks at no other block.
[[nodiscard]] EggMoveTableRead ReadEggMoveTable(const std::string& romPath, int64_t offset,
                                                int onlySpecies = -1);
// The same from bytes in memory (the table at offset of the file given as bytes).
[[nodiscard]] EggMoveTableRead ParseEggMoveTable(const uint8_t* bytes, int64_t available, int64_t offset,
                                                 int onlySpecies = -1);

// The moves of species' block; nothing when it has none.
[[nodiscard]] std::optional<std::vector<int>> EggMovesOf(const EggMoveTable& table, int species);

// The blocks with species' block holding moves: replaced where it is, dropped when moves is empty, added at
// the end when it is new (so that no other block moves within the table).
[[nodiscard]] std::vector<EggMoveBlock> WithEggMoves(std::vector<EggMoveBlock> blocks, int species,
                                                     const std::vector<int>& moves);

// The table as stored, terminator included.
[[nodiscard]] std::vector<uint8_t> EncodeEggMoveTable(const std::vector<EggMoveBlock>& blocks);
