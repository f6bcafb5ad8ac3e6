#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rom/EditorSession.h"
#include "text/ChoiceNames.h"
#include "text/SpeciesTableText.h"
#include "write/WritePlan.h"

// One field of one species that a file changes, as export writes the values (UTF-8).
struct FieldChange {
    int32_t index = 0;  // -1 for a table every species shares (the egg moves), whose line names the table
    std::string
        species;        // the name the ROM holds now, with "#index" after it where another species shares it
    std::string field;  // the key; "attacks[3]" for one row of a list whose length stays
    std::string before, after;
};

struct ImportPlan {
    std::vector<FieldChange> changes;  // in file order, species by species, field by field
    WritePlan plan;                    // only bytes that change; empty when nothing does
    std::string error;                 // when not empty the file is refused as a whole and nothing is planned
};

// Checks every value of the file against the ROM as it is now (the window's limits, names that the lists
// and the game's characters have, offsets inside the file, each species once), then plans the bytes of every
// change as the window's save and the attack table writes make them. Species absent from the file, and
// fields absent from a species, stay as they are. Reads only.
[[nodiscard]] ImportPlan PlanSpeciesTableImport(const EditorSession& session, const ChoiceNames& names,
                                                const TableText& table, const std::string& label);
