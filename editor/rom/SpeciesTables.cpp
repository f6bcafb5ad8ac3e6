#include "rom/SpeciesTables.h"

#include <cstdio>

#include "HexFunctions.h"
#include "HexOffset.h"
#include "rom/BattleCheck.h"
#include "rom/EditorSession.h"
#include "rom/EggMoveAndDexCheck.h"
#include "rom/GameFamily.h"
#include "rom/SectionKeys.h"

namespace {

namespace Sizes = SpeciesTableSizes;

// The opening's rule for the other tables: a few odd species (placeholders, one hacked entry) must not turn
// a part off.
constexpr int kPassPercent = 95;

int WordAt(const HexFunctions::HexByteString& hex, size_t byte) {
    return HexFunctions::ByteAt(hex, byte) | HexFunctions::ByteAt(hex, byte + 1) << 8;
}

// Empty when the table of length bytes at start lies inside the file.
std::string Outside(const char* what, int64_t start, int64_t length, int64_t fileSize) {
    if (start + length <= fileSize) return {};
    return std::string("The ") + what + " at " + HexOffset(start) + " (" + std::to_string(length) +
           " bytes) runs beyond the end of the file, which has " + std::to_string(fileSize) + " bytes.";
}

std::string CheckEvolutions(const std::string& romPath, int32_t start) {
    const int32_t size = Sizes::kEvolutions * Sizes::kEvolutionEntry;
    const HexFunctions::HexByteString hex =
        HexFunctions::ReadHexBytes(romPath, start, size * Species::kCount);
    int fitting = 0;
    // Species 0 is a placeholder in the games, as in the other tables' checks.
    for (int species = 1; species < Species::kCount; ++species) {
        bool fits = true;
        for (int k = 0; k < Sizes::kEvolutions; ++k) {
            const size_t entry = static_cast<size_t>(species * size + k * Sizes::kEvolutionEntry);
            fits = fits && WordAt(hex, entry) < Sizes::kEvolutionMethods &&
                   WordAt(hex, entry + 4) < Species::kCount;
        }
        if (fits) ++fitting;
    }
    if (100 * fitting >= kPassPercent * (Species::kCount - 1)) return {};
    return "The evolution table at " + HexOffset(start) + " does not look like one: only " +
           std::to_string(fitting) + " of 411 species have methods below 16 and targets below 412.";
}

std::string CheckMoveList(const std::string& romPath, const char* what, int32_t start, int32_t count) {
    const HexFunctions::HexByteString hex = HexFunctions::ReadHexBytes(romPath, start, 2 * count);
    for (int32_t k = 0; k < count; ++k) {
        const int move = WordAt(hex, static_cast<size_t>(2 * k));
        if (move < 1 || move > Sizes::kLastMoveNumber) {
            return std::string("The ") + what + " at " + HexOffset(start) +
                   " does not look like one: entry " + std::to_string(k + 1) + " is " + std::to_string(move) +
                   ", not a move number from 1 to " + std::to_string(Sizes::kLastMoveNumber) + ".";
        }
    }
    return {};
}

// A compatibility part: its table, its move list and, when both lie in the file, the move list's check.
void CheckCompatibility(TablePart<CompatibilityTable>& part, const CompatibilityTable& where,
                        const char* name, const std::string& romPath, int64_t fileSize) {
    const std::string tableName = std::string(name) + " compatibility table";
    const std::string listName = std::string(name) + " move list";
    part.unavailable =
        Outside(tableName.c_str(), where.table, int64_t{where.entrySize} * Species::kCount, fileSize);
    if (part.unavailable.empty())
        part.unavailable = Outside(listName.c_str(), where.moves, 2 * int64_t{where.count}, fileSize);
    if (part.unavailable.empty())
        part.unavailable = CheckMoveList(romPath, listName.c_str(), where.moves, where.count);
    if (part.unavailable.empty()) part.where = where;
}

}  // namespace

SpeciesTables CheckSpeciesTables(const std::string& romPath, int64_t fileSize, const GameSection& keys,
                                 const LocatedTables& located) {
    SpeciesTables tables;

    SectionKeys evolutions(keys, located, &tables.evolutions.unavailable);
    if (const std::optional<int32_t> start = evolutions.Offset("EvolutionTable")) {
        const int64_t length = int64_t{Sizes::kEvolutions} * Sizes::kEvolutionEntry * Species::kCount;
        tables.evolutions.unavailable = Outside("evolution table", *start, length, fileSize);
        if (tables.evolutions.unavailable.empty())
            tables.evolutions.unavailable = CheckEvolutions(romPath, *start);
        if (tables.evolutions.unavailable.empty()) tables.evolutions.where = start;
    }

    SectionKeys tmhm(keys, located, &tables.tmhm.unavailable);
    const std::optional<int32_t> tmhmTable = tmhm.Offset("TMHMTable");
    const std::optional<int32_t> tmhmMoves = tmhm.Offset("TMHMMoves");
    if (tmhmTable && tmhmMoves) {
        CheckCompatibility(tables.tmhm, {*tmhmTable, *tmhmMoves, Sizes::kTmHmMoves, Sizes::kTmHmEntry},
                           "TM/HM", romPath, fileSize);
    }

    // A count of 0 is how a section says that its game has no tutors, so their two keys are not asked for.
    SectionKeys tutors(keys, located, &tables.tutors.unavailable);
    const std::optional<int32_t> tutorCount = tutors.Count("TutorCount", Sizes::kMaxTutors);
    if (tutorCount == 0) {
        tables.tutors.unavailable = "This game has no move tutors.";
    } else if (tutorCount) {
        const std::optional<int32_t> tutorTable = tutors.Offset("TutorTable");
        const std::optional<int32_t> tutorMoves = tutors.Offset("TutorMoves");
        // An entry is as wide as its bits need: 16 bits for FireRed's 15 tutors, 32 for Emerald's 30.
        const int32_t entrySize = *tutorCount <= 16 ? 2 : 4;
        if (tutorTable && tutorMoves) {
            CheckCompatibility(tables.tutors, {*tutorTable, *tutorMoves, *tutorCount, entrySize}, "tutor",
                               romPath, fileSize);
        }
    }
    // FireRed and LeafGreen teach their three starters' strongest moves through code of their own.
    if (tables.tutors.where && IsFireRedOrLeafGreen(keys.Section())) {
        tables.tutorsNote =
            "The three tutors of the starters' strongest moves are not in this table: the game decides "
            "them in its code.";
    }
    CheckEggMovesAndDex(tables, romPath, fileSize, keys, located);
    CheckBattleTables(tables, romPath, fileSize, keys, located);
    return tables;
}
