#include "SpeciesEggMoves.h"

#include <cstdio>

#include "EggMoveTable.h"
#include "HexFunctions.h"
#include "PointerSearch.h"
#include "Repoint.h"

namespace {

const std::string kTableField = "the egg move table";
const std::string kReferenceField = "a reference to the egg move table";
const std::string kOldPlaceField = "the old place of the egg move table";
const std::string kNoBlockForSpecies0 =
    "Species 0 can have no egg moves: the game would read the number that opens its block as a move of the "
    "block before it.";

std::string HexOffset(int64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

EggMoveSavePlan Refused(std::string error) {
    EggMoveSavePlan plan;
    plan.error = std::move(error);
    return plan;
}

void AddData(std::vector<PlannedByte>& bytes, const std::string& field, int64_t at, const std::vector<uint8_t>& data) {
    for (size_t k = 0; k < data.size(); ++k) bytes.push_back({at + static_cast<int64_t>(k), data[k], field});
}

void AddFill(std::vector<PlannedByte>& bytes, const std::string& field, int64_t from, int64_t to) {
    for (int64_t at = from; at < to; ++at) bytes.push_back({at, 0xFF, field});
}

}  // namespace

SpeciesEggMoves ReadSpeciesEggMoves(const EditorSession& session, int32_t index) {
    const std::optional<EggMovePlace>& place = session.Tables.eggMoves.where;
    if (!place) return {std::nullopt, session.Tables.eggMoves.unavailable};
    if (index <= 0) return {std::nullopt, kNoBlockForSpecies0};
    const EggMoveTableRead read = ReadEggMoveTable(session.RomPath, place->table);
    if (!read.table) return {std::nullopt, read.problem};
    return {EggMovesOf(*read.table, index).value_or(std::vector<int>{}), {}};
}

EggMoveSavePlan PlanEggMoveSave(const EditorSession& session, int32_t index, const std::vector<int>& moves,
                                SpaceForMoves& space) {
    const std::optional<EggMovePlace>& place = session.Tables.eggMoves.where;
    if (!place) return Refused("The egg moves cannot be saved: " + session.Tables.eggMoves.unavailable);
    if (index <= 0) return Refused(kNoBlockForSpecies0);
    if (static_cast<int>(moves.size()) > EggMoveLimits::kMostPerSpecies) {
        return Refused("A species can have at most " + std::to_string(EggMoveLimits::kMostPerSpecies) +
                       " egg moves; the game reads no more.");
    }
    const EggMoveTableRead read = ReadEggMoveTable(session.RomPath, place->table);
    if (!read.table) return Refused(read.problem);
    const EggMoveTable& old = *read.table;
    const std::vector<uint8_t> data = EncodeEggMoveTable(WithEggMoves(old.blocks, index, moves));
    const auto length = static_cast<int64_t>(data.size());

    EggMoveSavePlan plan;
    if (length <= old.size) {
        AddData(plan.bytes, kTableField, old.offset, data);
        AddFill(plan.bytes, kTableField, old.offset + length, old.offset + old.size);
        plan.ok = true;
        return plan;
    }

    const std::optional<std::vector<int64_t>> references = PointerSearch::FindPointersTo(session.RomPath, old.offset);
    if (!references) return Refused("The file cannot be read to find the references to the egg move table.");
    if (static_cast<int>(references->size()) != place->references) {
        const size_t found = references->size();
        return Refused("The egg move table at " + HexOffset(old.offset) +
                       " must move into free space, and the game's code should refer to it through " +
                       std::to_string(place->references) + " pointers (EggMoveRefs in section [" +
                       session.Section + "] of Data.ini), but " + std::to_string(found) +
                       (found == 1 ? " does" : " do") +
                       ". A hack may have changed the code that reads the table, so it stays where it is.");
    }
    space.Avoid(old.offset, old.offset + old.size);
    std::string noRoom;
    const std::optional<int64_t> to = space.Take(length, &noRoom);
    if (!to) {
        return Refused("The egg move table at " + HexOffset(old.offset) + " holds " + std::to_string(old.size) +
                       " bytes and now needs " + std::to_string(length) + ", so it must move into free space. " +
                       noRoom);
    }
    AddData(plan.bytes, kTableField, *to, data);
    const int fourth = PointerSearch::PointerTo(old.offset) >> 24;
    for (const int64_t at : *references) {
        for (const PlannedByte& byte : RepointBytes(kReferenceField, at, fourth, *to)) plan.bytes.push_back(byte);
    }
    AddFill(plan.bytes, kOldPlaceField, old.offset, old.offset + old.size);
    plan.movedTo = to;
    plan.ok = true;
    return plan;
}
