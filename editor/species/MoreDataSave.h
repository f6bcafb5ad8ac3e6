#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rom/EditorSession.h"
#include "species/SpeciesTableValues.h"
#include "write/FreeSpaceMap.h"
#include "write/WritePlan.h"

struct MoreDataPlan {
    bool ok = false;
    std::vector<PlannedByte> bytes;
    std::optional<int64_t> eggMovesMovedTo;  // the session's egg move table is there once the write is done
    std::vector<std::string> moved;  // sentences for the status line: "the egg move table moved to ..."
    std::string error;               // when not ok: why, as sentences (nothing may be written)
};

// Every part of values for species index: the fixed-size parts (PlanSpeciesTableWrites), then the egg moves,
// the Pokédex entry and the battle data, which take what they move into from `space` (shared with the rest of
// the save).
[[nodiscard]] MoreDataPlan PlanMoreDataSave(const EditorSession& session, int32_t index,
                                            const SpeciesTableValues& values, FreeSpaceMap& space);
