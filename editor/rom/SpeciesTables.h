#pragma once

#include <cstdint>
#include <optional>
#include <string>

class GameSection;
struct LocatedTables;

// The tables of every species beyond its record: evolutions, TM/HM and move tutor compatibility (fixed
// sizes), egg moves and Pokédex entries (texts and lists of varying length).
namespace SpeciesTableSizes {
inline constexpr int32_t kEvolutions = 5;      // entries per species
inline constexpr int32_t kEvolutionEntry = 8;  // method, parameter, target (16 bits each), 2 bytes padding
inline constexpr int32_t kEvolutionMethods = 16;
inline constexpr int32_t kTmHmMoves = 58;  // TM01-TM50, HM01-HM08
inline constexpr int32_t kTmHmEntry = 8;   // a 64-bit mask
inline constexpr int32_t kMaxTutors = 32;  // the widest tutor entry the games use
// The move lists hold move numbers as the level-up tables do: nine bits, 0 meaning none.
inline constexpr int kLastMoveNumber = 511;
// The battle coordinates follow the sprite tables, whose entries go on past the species (Unown's forms, the
// egg): 4 bytes each, the size of the drawn part, the y offset and 2 bytes of padding.
inline constexpr int32_t kSpriteEntries = 440;
inline constexpr int32_t kCoordsEntry = 4;
inline constexpr int32_t kFootprintBytes = 32;  // 16x16 pixels of 1 bit
}  // namespace SpeciesTableSizes

// A compatibility table: one bit per move of its move list, entrySize bytes per species, low byte first.
struct CompatibilityTable {
    int32_t table = 0;      // the entry of species 0
    int32_t moves = 0;      // the move list: count move numbers of 16 bits
    int32_t count = 0;      // moves in the list, which is also the bits an entry uses
    int32_t entrySize = 0;  // bytes per species
};

// The egg move table: where it is now and where Data.ini says it is (they differ once a save has moved it
// into free space), and how many pointers of the game's code refer to it.
struct EggMovePlace {
    int64_t table = 0;
    int32_t keyOffset = 0;
    int32_t references = 2;
};

// The Pokédex: a national number per species from species 1, and an entry per national number.
struct DexPlace {
    int32_t nationalNumbers = 0;  // the number of species 1
    int32_t entries = 0;          // the entry of national number 0
    int32_t entrySize = 0;        // 36 in FireRed, LeafGreen, Ruby and Sapphire; 32 in Emerald
    bool twoPages = false;        // Ruby and Sapphire show a second page of description
};

// How the species stand in battle: the coordinates of their front and back sprites, the enemy's elevation
// (a byte per species), the pointers to their footprints, and in Emerald the front animation numbers (a byte
// per species from species 1).
struct BattlePlace {
    int32_t frontCoords = 0, backCoords = 0, elevation = 0, footprints = 0;
    std::optional<int32_t> frontAnimIds;
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
    TablePart<EggMovePlace> eggMoves;
    TablePart<DexPlace> dex;
    TablePart<BattlePlace> battle;
};

// Takes the offsets of EvolutionTable, TMHMTable, TMHMMoves, TutorTable, TutorMoves and TutorCount of the
// section and checks each table against the file: it must lie inside it, evolutions must hold methods below
// 16 and targets below 412 (the opening's 95% rule), move lists must hold move numbers. Then the egg moves
// and the Pokédex (EggMoveAndDexCheck.h) and the battle tables (BattleCheck.h). Reads only.
[[nodiscard]] SpeciesTables CheckSpeciesTables(const std::string& romPath, int64_t fileSize,
                                               const GameSection& keys, const LocatedTables& located);
