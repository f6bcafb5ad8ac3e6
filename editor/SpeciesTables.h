#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The fixed-size tables of every species beyond its record: evolutions, TM/HM and move tutor compatibility.
namespace SpeciesTableSizes {
inline constexpr int32_t kEvolutions = 5;      // entries per species
inline constexpr int32_t kEvolutionEntry = 8;  // method, parameter, target (16 bits each), 2 bytes padding
inline constexpr int32_t kEvolutionMethods = 16;
inline constexpr int32_t kTmHmMoves = 58;  // TM01-TM50, HM01-HM08
inline constexpr int32_t kTmHmEntry = 8;   // a 64-bit mask
inline constexpr int32_t kMaxTutors = 32;  // the widest tutor entry the games use
// The move lists hold move numbers as the level-up tables do: nine bits, 0 meaning none.
inline constexpr int kLastMoveNumber = 511;
}  // namespace SpeciesTableSizes

// A compatibility table: one bit per move of its move list, entrySize bytes per species, low byte first.
struct CompatibilityTable {
    int32_t table = 0;      // the entry of species 0
    int32_t moves = 0;      // the move list: count move numbers of 16 bits
    int32_t count = 0;      // moves in the list, which is also the bits an entry uses
    int32_t entrySize = 0;  // bytes per species
};

// One part of the tables: where it lies, or why it cannot be shown.
template <class Where>
struct TablePart {
    std::optional<Where> where;
    std::string unavailable;  // a sentence for the window when where is empty
};

// The tables of the open game. A part that Data.ini does not describe, or whose table does not look like one
// when the ROM is opened, stays empty with its reason; the rest of the ROM stays editable.
struct SpeciesTables {
    TablePart<int32_t> evolutions;
    TablePart<CompatibilityTable> tmhm;
    TablePart<CompatibilityTable> tutors;
    // Said beside the tutors where the table is not the whole story.
    std::string tutorsNote;
};

// Reads the keys EvolutionTable, TMHMTable, TMHMMoves, TutorTable, TutorMoves and TutorCount of the section
// and checks each table against the file: it must lie inside it, evolutions must hold methods below 16 and
// targets below 412 (the opening's 95% rule), move lists must hold move numbers. Reads only.
[[nodiscard]] SpeciesTables CheckSpeciesTables(const std::string& romPath, int64_t fileSize,
                                               const std::string& iniPath, const std::string& section);
