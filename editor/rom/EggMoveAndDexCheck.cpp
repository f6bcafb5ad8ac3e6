#include "rom/EggMoveAndDexCheck.h"

#include <cstdio>

#include "HexFunctions.h"
#include "HexOffset.h"
#include "rom/EditorSession.h"
#include "rom/GameFamily.h"
#include "rom/PointerSearch.h"
#include "rom/SectionKeys.h"
#include "species/EggMoveLocator.h"
#include "species/PokedexEntry.h"

namespace {

// The opening's rule for the other tables: a few odd entries must not turn a part off.
constexpr int kPassPercent = 95;
constexpr int32_t kMostReferences = 64;

bool EnoughFit(int fitting, int of) {
    return 100 * fitting >= kPassPercent * of;
}

void CheckEggMoves(TablePart<EggMovePlace>& part, const std::string& romPath, const GameSection& section,
                   const LocatedTables& located) {
    SectionKeys keys(section, located, &part.unavailable);
    const std::optional<int32_t> offset = keys.Offset("EggMoves");
    const std::optional<int32_t> references = keys.Count("EggMoveRefs", kMostReferences, 2);
    if (!offset || !references) return;
    const EggMoveLocation location = LocateEggMoveTable(romPath, *offset, *references);
    if (!location.table) {
        part.unavailable = location.problem;
        return;
    }
    // Data.ini's offset stays the one a moved table is sought from again after a write or an undo.
    const LocatedTable* table = located.Find("EggMoves");
    const int32_t keyOffset = table && table->iniOffset ? *table->iniOffset : *offset;
    part.where = EggMovePlace{*location.table, keyOffset, *references};
}

// Why the national numbers and the entries do not look like what they are, or empty.
std::string DexProblem(const DexPlace& dex, const std::string& romPath, int64_t fileSize) {
    const int64_t numbersLength = 2 * int64_t{Species::kCount - 1};
    const int64_t entriesLength = int64_t{dex.entrySize} * (DexLimits::kLastEntry + 1);
    if (dex.nationalNumbers + numbersLength > fileSize)
        return "The national number table at " + HexOffset(dex.nationalNumbers) +
               " runs beyond the end of the file.";
    if (dex.entries + entriesLength > fileSize)
        return "The Pok\xE9"
               "dex entries at " +
               HexOffset(dex.entries) + " run beyond the end of the file.";

    const std::optional<std::vector<uint8_t>> numbers =
        HexFunctions::ReadBytes(romPath, dex.nationalNumbers, numbersLength);
    const std::optional<std::vector<uint8_t>> entries =
        HexFunctions::ReadBytes(romPath, dex.entries, entriesLength);
    if (!numbers || !entries)
        return "The Pok\xE9"
               "dex tables cannot be read.";
    int numbered = 0;
    for (size_t k = 0; k + 1 < numbers->size(); k += 2) {
        if (((*numbers)[k] | (*numbers)[k + 1] << 8) < Species::kCount) ++numbered;
    }
    if (!EnoughFit(numbered, Species::kCount - 1)) {
        return "The national number table at " + HexOffset(dex.nationalNumbers) +
               " does not look like one: only " + std::to_string(numbered) +
               " of 411 species have numbers below 412.";
    }
    int pointing = 0;
    for (int n = 1; n <= DexLimits::kLastEntry; ++n) {
        const uint8_t* entry = entries->data() + static_cast<size_t>(n) * static_cast<size_t>(dex.entrySize);
        const int64_t target =
            int64_t{PointerSearch::WordAt(entry + DexLimits::kDescriptionPointer)} - PointerSearch::kRomBase;
        if (target >= 0 && target < fileSize) ++pointing;
    }
    if (!EnoughFit(pointing, DexLimits::kLastEntry)) {
        return "The Pok\xE9"
               "dex entries at " +
               HexOffset(dex.entries) + " do not look like them: only " + std::to_string(pointing) +
               " of 386 point at a description inside the file.";
    }
    return {};
}

void CheckDex(TablePart<DexPlace>& part, const std::string& romPath, int64_t fileSize,
              const GameSection& section, const LocatedTables& located) {
    SectionKeys keys(section, located, &part.unavailable);
    const std::optional<int32_t> numbers = keys.Offset("NationalDex");
    const std::optional<int32_t> entries = keys.Offset("DexEntries");
    const std::optional<int32_t> entrySize = keys.Count("DexEntrySize", DexLimits::kLargestEntry);
    if (!numbers || !entries || !entrySize) return;
    // Ruby and Sapphire point at the second page where the others keep an unused pointer.
    const bool twoPages = IsRubyOrSapphire(section.Section());
    const int32_t smallest = (twoPages ? DexLimits::kSecondPointer : DexLimits::kDescriptionPointer) + 4;
    if (*entrySize < smallest) {
        part.unavailable = "The key DexEntrySize in section [" + keys.ShownSection() + "] of Data.ini is " +
                           std::to_string(*entrySize) + "; an entry of this game holds at least " +
                           std::to_string(smallest) + " bytes.";
        return;
    }
    const DexPlace dex{*numbers, *entries, *entrySize, twoPages};
    part.unavailable = DexProblem(dex, romPath, fileSize);
    if (part.unavailable.empty()) part.where = dex;
}

}  // namespace

void CheckEggMovesAndDex(SpeciesTables& tables, const std::string& romPath, int64_t fileSize,
                         const GameSection& keys, const LocatedTables& located) {
    CheckEggMoves(tables.eggMoves, romPath, keys, located);
    CheckDex(tables.dex, romPath, fileSize, keys, located);
}
