#include "species/EggMoveLocator.h"

#include <cstdio>
#include <unordered_map>
#include <vector>

#include "HexFunctions.h"
#include "HexOffset.h"
#include "rom/PointerSearch.h"
#include "species/EggMoveTable.h"

namespace {

constexpr int kSpeciesCount = 412;
constexpr int kPassPercent = 95;
// A table found only through pointers must hold at least this many blocks, so that a short run of words that
// happens to parse is not taken for one.
constexpr size_t kFewestBlocksFound = 2;

// The targets that exactly `references` aligned words point at and whose first word opens a block.
std::vector<int64_t> PointedAtOften(const std::vector<uint8_t>& file, int references) {
    const auto size = static_cast<int64_t>(file.size());
    std::unordered_map<int64_t, int> counts;
    for (int64_t at = 0; at + 4 <= size; at += 4) {
        const int64_t target = int64_t{PointerSearch::WordAt(file.data() + at)} - PointerSearch::kRomBase;
        if (target < 0 || target + 2 > size || target % 2 != 0) continue;
        const auto t = static_cast<size_t>(target);
        const int first = file[t] | file[t + 1] << 8;
        if (first > EggMoveLimits::kBlockBase && first < EggMoveLimits::kBlockBase + kSpeciesCount)
            ++counts[target];
    }
    std::vector<int64_t> targets;
    for (const auto& [target, count] : counts) {
        if (count == references) targets.push_back(target);
    }
    return targets;
}

}  // namespace

bool EggMoveTableAt(const std::string& romPath, int64_t offset, std::string* problem) {
    const EggMoveTableRead read = ReadEggMoveTable(romPath, offset);
    if (!read.table) {
        *problem = read.problem;
        return false;
    }
    if (read.table->blocks.empty()) {
        *problem = "The egg move table at " + HexOffset(offset) + " holds no species (it is FF FF).";
        return false;
    }
    const int64_t words = read.table->size / 2;
    if (100 * (words - read.table->oddWords) >= kPassPercent * words) return true;
    *problem = "The egg move table at " + HexOffset(offset) +
               " does not look like one: " + std::to_string(read.table->oddWords) + " of its " +
               std::to_string(words) + " words name no species from 1 to 411 and no move from 1 to 511.";
    return false;
}

EggMoveLocation LocateEggMoveTable(const std::string& romPath, int64_t keyOffset, int references) {
    EggMoveLocation location;
    std::string atKey;
    if (EggMoveTableAt(romPath, keyOffset, &atKey)) {
        location.table = keyOffset;
        return location;
    }
    // The old place of a moved table is FF, which reads as a table without species; a table that every
    // species' block was taken out of reads the same, and only its references tell the two apart.
    const EggMoveTableRead empty = ReadEggMoveTable(romPath, keyOffset);
    if (empty.table && empty.table->blocks.empty()) {
        const std::optional<std::vector<int64_t>> pointers =
            PointerSearch::FindPointersTo(romPath, keyOffset);
        if (pointers && static_cast<int>(pointers->size()) == references) {
            location.table = keyOffset;
            return location;
        }
    }
    const std::optional<int64_t> size = HexFunctions::RomFileSize(romPath);
    const std::optional<std::vector<uint8_t>> file =
        size ? HexFunctions::ReadBytes(romPath, 0, *size) : std::nullopt;
    if (!file) {
        location.problem = atKey;
        return location;
    }
    std::vector<int64_t> found;
    for (const int64_t target : PointedAtOften(*file, references)) {
        const EggMoveTableRead read = ParseEggMoveTable(file->data() + target, *size - target, target);
        if (read.table && read.table->oddWords == 0 && read.table->blocks.size() >= kFewestBlocksFound)
            found.push_back(target);
    }
    if (found.size() == 1) {
        location.table = found.front();
        return location;
    }
    location.problem = atKey + (found.empty() ? " No other table has the " + std::to_string(references) +
                                                    " references the game's code makes to it."
                                              : " " + std::to_string(found.size()) +
                                                    " other places look like the table moved elsewhere, so "
                                                    "none is taken for it.");
    return location;
}

void FollowEggMoveTable(TablePart<EggMovePlace>& part, const std::string& romPath) {
    if (!part.where) return;
    std::string problem;
    if (EggMoveTableAt(romPath, part.where->table, &problem)) return;
    const EggMoveLocation location =
        LocateEggMoveTable(romPath, part.where->keyOffset, part.where->references);
    if (location.table) {
        part.where->table = *location.table;
    } else {
        part.where.reset();
        part.unavailable = location.problem;
    }
}
