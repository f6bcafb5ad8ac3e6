#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rom/EditorSession.h"
#include "write/FreeSpaceMap.h"
#include "write/WritePlan.h"

struct SpeciesEggMoves {
    std::optional<std::vector<int>> moves;  // as stored; empty when the species has no block
    std::string unavailable;                // why there are none to show: the part is off, species 0
};

// The species' egg moves, the whole table read once.
[[nodiscard]] SpeciesEggMoves ReadSpeciesEggMoves(const EditorSession& session, int32_t index);

struct EggMoveSavePlan {
    bool ok = false;
    std::vector<PlannedByte> bytes;
    std::optional<int64_t> movedTo;  // where the table goes when it no longer fits its place
    std::string error;               // when not ok: why, as sentences (nothing may be written)
};

// The egg move table rewritten whole with species index holding moves (read from the file now, so that the
// other species' blocks are as the file holds them). A table no longer than before stays in place and the
// bytes it no longer uses become FF. A longer one moves (TableMover) into free space from `space`, every
// pointer to the old place is pointed at the new one, and the old place becomes FF; that needs exactly the
// number of pointers the section names (EggMoveRefs), because any other count means a hack changed the code
// that reads it.
[[nodiscard]] EggMoveSavePlan PlanEggMoveSave(const EditorSession& session, int32_t index,
                                              const std::vector<int>& moves, FreeSpaceMap& space);

// The same for several species at once (one table written, one move at most), in the order given.
struct EggMoveChange {
    int32_t index = 0;
    std::vector<int> moves;
};
[[nodiscard]] EggMoveSavePlan PlanEggMoveSave(const EditorSession& session,
                                              const std::vector<EggMoveChange>& changes, FreeSpaceMap& space);
