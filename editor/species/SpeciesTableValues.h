#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rom/EditorSession.h"
#include "species/BattleData.h"
#include "species/Evolutions.h"
#include "species/MoveCompatibility.h"
#include "species/PokedexEntry.h"
#include "write/WritePlan.h"

// A species' evolutions, TM/HM and tutor compatibility, egg moves, Pokédex entry and how it stands in battle,
// as read or as edited; a
// part the game does not offer (or that is not being saved) is empty.
struct SpeciesTableValues {
    std::optional<Evolutions> evolutions;
    std::optional<Compatibility> tmhm;
    std::optional<Compatibility> tutors;
    std::optional<std::vector<int>> eggMoves;  // empty when the species has no block
    std::optional<DexEntryValues> dex;
    std::optional<BattleValues> battle;
};

// Why a species shows no egg moves, no Pokédex entry (or one of its texts) or no battle data, and its
// national number.
struct SpeciesTableNotes {
    std::string eggMoves, dex, description, page2, battle;
    int national = -1;
};

// Reads every available part of species index: one read per table (the egg move table whole, the entry and
// each of its texts).
[[nodiscard]] SpeciesTableValues ReadSpeciesTableValues(const EditorSession& session, int32_t index,
                                                        SpeciesTableNotes* notes = nullptr);

// The writes of the fixed-size parts that values holds and the session offers, evolutions first; each part's
// entries are rewritten whole, so the plan of values as read puts back the bytes the file holds. The egg
// moves, the Pokédex entry and the battle data are planned by PlanMoreDataSave (MoreDataSave.h), since they
// may move.
[[nodiscard]] std::vector<PlannedByte> PlanSpeciesTableWrites(const EditorSession& session, int32_t index,
                                                              const SpeciesTableValues& values);

// The parts a plan writes, for a status line: "evolutions, TM/HM compatibility, egg moves and Pokédex entry";
// empty when it writes none of them.
[[nodiscard]] std::string PlannedPartsText(const std::vector<PlannedByte>& bytes);
