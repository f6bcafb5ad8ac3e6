#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "rom/EditorSession.h"
#include "species/SpeciesSave.h"
#include "write/FreeSpaceMap.h"

struct SpeciesTablePlan {
    bool ok = false;
    SpeciesSavePlan planned;         // the species, its attack table and the report
    std::optional<int64_t> movedTo;  // where the table goes when it no longer fits where it is
    std::string error;               // when not ok: why nothing can be saved, ending "Nothing was saved."
};

// The save of a species with its level-up attack table. The table is measured at the edits' offset as a load
// reads it: when the rows and a terminator fit in what it holds there (rows and terminator), they are written
// in place, a shorter table ending in FF FF; otherwise the table moves into free space from `space`, the
// species' pointer points there, and the old table becomes FF when it was the species' own
// and no other species' pointer leads into it. A table found without a terminator (at the end of the file, or
// longer than a load reads) and saved with as many rows gets none: there is no room known for one.
[[nodiscard]] SpeciesTablePlan PlanSpeciesWithAttackTable(const EditorSession& session, int32_t index,
                                                          const SpeciesEdits& edits, FreeSpaceMap& space);

// The report line of a moved table, also shown in the window's status: "Attack Table Moved To: 7447104
// (0x71A240)".
[[nodiscard]] std::string AttackTableMovedLine(int64_t offset);
