#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "EditorSession.h"
#include "Evolutions.h"
#include "MoveCompatibility.h"
#include "WritePlan.h"

// A species' evolutions and its TM/HM and tutor compatibility, as read or as edited; a part the game does not
// offer (or that is not being saved) is empty.
struct SpeciesTableValues {
    std::optional<Evolutions> evolutions;
    std::optional<Compatibility> tmhm;
    std::optional<Compatibility> tutors;
};

// Reads every available part of species index: one read per table.
[[nodiscard]] SpeciesTableValues ReadSpeciesTableValues(const EditorSession& session, int32_t index);

// The writes of every part that values holds and the session offers, evolutions first; each part's entries
// are rewritten whole, so the plan of values as read puts back the bytes the file holds.
[[nodiscard]] std::vector<PlannedByte> PlanSpeciesTableWrites(const EditorSession& session, int32_t index,
                                                              const SpeciesTableValues& values);

// The parts a plan writes, for a status line: "evolutions, TM/HM compatibility and tutor compatibility";
// empty when it writes none of them.
[[nodiscard]] std::string PlannedPartsText(const std::vector<PlannedByte>& bytes);
