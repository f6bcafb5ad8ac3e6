#include "species/SpeciesEggMoves.h"

#include <cstdio>

#include "HexFunctions.h"
#include "HexOffset.h"
#include "rom/PointerSearch.h"
#include "species/EggMoveTable.h"
#include "write/Repoint.h"
#include "write/TableMover.h"

namespace {

const std::string kTableField = "the egg move table";
const std::string kReferenceField = "a reference to the egg move table";
const std::string kNoBlockForSpecies0 =
    "Species 0 can have no egg moves: the game would read the number that opens its block as a move of the "
    "block before it.";

EggMoveSavePlan Refused(std::string error) {
    EggMoveSavePlan plan;
    plan.error = std::move(error);
    return plan;
}

}  // namespace

SpeciesEggMoves ReadSpeciesEggMoves(const EditorSession& session, int32_t index) {
    const std::optional<EggMovePlace>& place = session.Tables.eggMoves.where;
    if (!place) return {std::nullopt, session.Tables.eggMoves.unavailable};
    if (index <= 0) return {std::nullopt, kNoBlockForSpecies0};
    const EggMoveTableRead read = ReadEggMoveTable(session.RomPath, place->table, index);
    if (!read.table) return {std::nullopt, read.problem};
    return {EggMovesOf(*read.table, index).value_or(std::vector<int>{}), {}};
}

EggMoveSavePlan PlanEggMoveSave(const EditorSession& session, int32_t index, const std::vector<int>& moves,
                                FreeSpaceMap& space) {
    return PlanEggMoveSave(session, std::vector<EggMoveChange>{{index, moves}}, space);
}

EggMoveSavePlan PlanEggMoveSave(const EditorSession& session, const std::vector<EggMoveChange>& changes,
                                FreeSpaceMap& space) {
    const std::optional<EggMovePlace>& place = session.Tables.eggMoves.where;
    if (!place) return Refused("The egg moves cannot be saved: " + session.Tables.eggMoves.unavailable);
    for (const EggMoveChange& change : changes) {
        if (change.index <= 0) return Refused(kNoBlockForSpecies0);
        if (static_cast<int>(change.moves.size()) > EggMoveLimits::kMostPerSpecies) {
            return Refused("A species can have at most " + std::to_string(EggMoveLimits::kMostPerSpecies) +
                           " egg moves; the game reads no more.");
        }
    }
    const EggMoveTableRead read = ReadEggMoveTable(session.RomPath, place->table);
    if (!read.table) return Refused(read.problem);
    const EggMoveTable& old = *read.table;
    std::vector<EggMoveBlock> blocks = old.blocks;
    for (const EggMoveChange& change : changes)
        blocks = WithEggMoves(std::move(blocks), change.index, change.moves);
    TableToPlace table{kTableField, EncodeEggMoveTable(blocks), {old.offset, old.offset + old.size}, true};

    // Only a move needs the references, and a count other than the section's stops it before space is taken.
    std::vector<int64_t> references;
    if (static_cast<int64_t>(table.data.size()) > old.size) {
        const std::optional<std::vector<int64_t>> found =
            PointerSearch::FindPointersTo(session.RomPath, old.offset);
        if (!found) return Refused("The file cannot be read to find the references to the egg move table.");
        if (static_cast<int>(found->size()) != place->references) {
            return Refused(
                "The egg move table at " + HexOffset(old.offset) +
                " must move into free space, and the game's code should refer to it through " +
                std::to_string(place->references) + " pointers (EggMoveRefs in section [" + session.Section +
                "] of Data.ini), but " + std::to_string(found->size()) +
                (found->size() == 1 ? " does" : " do") +
                ". A hack may have changed the code that reads the table, so it stays where it is.");
        }
        references = *found;
    }
    const TablePlacement placement = PlaceTable(table, space);
    if (!placement.ok) return Refused(placement.error);

    EggMoveSavePlan plan;
    plan.bytes = placement.bytes;
    if (placement.moved) {
        const int fourth = static_cast<int>(PointerSearch::PointerTo(old.offset) >> 24);
        for (const int64_t at : references) {
            for (const PlannedByte& byte : RepointBytes(kReferenceField, at, fourth, placement.offset))
                plan.bytes.push_back(byte);
        }
        plan.movedTo = placement.offset;
    } else {
        // What the table no longer uses of its place.
        for (int64_t at = old.offset + static_cast<int64_t>(table.data.size()); at < old.offset + old.size;
             ++at)
            plan.bytes.push_back({at, 0xFF, kTableField});
    }
    plan.ok = true;
    return plan;
}
