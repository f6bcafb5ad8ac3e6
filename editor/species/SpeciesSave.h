#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rom/EditorSession.h"
#include "species/AttackTable.h"
#include "write/RomWriter.h"
#include "write/WritePlan.h"

// Everything the window holds for one species, already checked and turned into values.
struct SpeciesEdits {
    std::string name;  // single-byte text, symbols as characters 11 and 12
    // Numbers as typed: a fraction is rounded, the result taken modulo 256.
    double hp = 0, attack = 0, defense = 0, speed = 0, spAttack = 0, spDefense = 0;
    double baseXp = 0, catchRate = 0, safari = 0;
    // Yields 0 to 3; a fraction is refused by the binary conversion and stored as 0.
    double evHp = 0, evAttack = 0, evDefense = 0, evSpeed = 0, evSpAttack = 0, evSpDefense = 0;
    // Stored numbers; -1 (nothing selected) writes FF, or FF FF for the items.
    int type1 = 0, type2 = 0, item1 = 0, item2 = 0, gender = 0, steps = 0;
    int eggType1 = 0, eggType2 = 0, ability1 = 0, ability2 = 0, iconPalette = 0;
    // Pointer targets: file offsets below 32 MiB. The low three bytes are written; the fourth only when it
    // must change (09 for a target above 16 MiB, 08 for one below where 09 stood).
    int32_t sprite = 0, backSprite = 0, palette = 0, shinyPalette = 0, icon = 0, attackTable = 0;
    // PlanSpeciesSave writes the rows at attackTable as they are; SaveSpecies places them with a terminator
    // (see AttackTableSave.h).
    std::vector<LevelUpAttackEntry> rows;
};

struct SpeciesSavePlan {
    WritePlan plan;      // "Save NAME": the species' bytes in the fixed field order
    std::string report;  // the 21 lines of offsets, CR LF between them
    std::string error;   // set, and nothing planned, when a pointer target lies beyond what a pointer reaches
};

// The bytes a save of the species writes, one per field byte, as the window's values give them. Reads the
// fourth byte of each pointer entry to know whether it must change.
[[nodiscard]] SpeciesSavePlan PlanSpeciesSave(const EditorSession& session, int32_t index,
                                              const SpeciesEdits& edits);

struct SaveOutcome {
    bool complete = false;  // every byte reached the file
    int64_t bytesWritten = 0;
    std::string report;                   // filled only when complete
    std::string error;                    // names the file and what did not happen
    std::string warning;                  // a complete save with something to tell (see WriteOutcome)
    std::optional<int64_t> tableMovedTo;  // where the attack table went when it no longer fitted
};

// Plans the species' save with its attack table (PlanSpeciesWithAttackTable), adds the bytes of the other
// tables the window edits (`more`), and writes it all as one step through the writer.
[[nodiscard]] SaveOutcome SaveSpecies(RomWriter& writer, int32_t index, const SpeciesEdits& edits,
                                      const std::vector<PlannedByte>& more = {});
