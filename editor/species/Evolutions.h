#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rom/EditorSession.h"
#include "write/WritePlan.h"

// One of a species' five evolutions, every number as stored (16 bits each), so that a method or target the
// lists do not know is kept and written back as it was.
struct EvolutionEntry {
    int method = 0;
    int parameter = 0;
    int target = 0;  // species index
    friend bool operator==(const EvolutionEntry&, const EvolutionEntry&) = default;
};
using Evolutions = std::array<EvolutionEntry, SpeciesTableSizes::kEvolutions>;

// What the parameter of a method stands for.
enum class EvolutionParameter { Unused, Level, Item, Beauty };

// Entry n names method n (0 "None" to 15 "Beauty").
[[nodiscard]] const std::vector<std::string>& EvolutionMethodNames();
// A method beyond the list has no known parameter.
[[nodiscard]] EvolutionParameter ParameterOf(int method);

// The five entries of species index in one read; nothing when the part is unavailable.
[[nodiscard]] std::optional<Evolutions> ReadEvolutions(const EditorSession& session, int32_t index);

// The five entries rewritten whole: method, parameter and target of each, low byte first, each number taken
// modulo 65536. The two bytes of padding are never written. Nothing when the part is unavailable.
[[nodiscard]] std::vector<PlannedByte> PlanEvolutionWrites(const EditorSession& session, int32_t index,
                                                           const Evolutions& evolutions);
