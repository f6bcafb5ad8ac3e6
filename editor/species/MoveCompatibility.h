#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rom/EditorSession.h"
#include "write/WritePlan.h"

// Which moves of a list (the TMs and HMs, or the move tutors) a species can learn: bit n of its entry stands
// for move n of the list.
struct Compatibility {
    uint64_t mask = 0;       // as stored, bits beyond the list included
    std::vector<int> moves;  // the move list: move numbers, one per bit in use
};

// The species' entry and the move list, one read each; nothing when the part is unavailable.
[[nodiscard]] std::optional<Compatibility> ReadTmHmCompatibility(const EditorSession& session, int32_t index);
[[nodiscard]] std::optional<Compatibility> ReadTutorCompatibility(const EditorSession& session,
                                                                  int32_t index);

// The stored mask with the list's bits set from rows (row n is bit n); the bits beyond them keep their value.
[[nodiscard]] uint64_t MaskWithRows(uint64_t stored, const std::vector<bool>& rows);

// The species' whole entry, low byte first, under the field name given. Nothing when the part is
// unavailable.
[[nodiscard]] std::vector<PlannedByte> PlanTmHmWrites(const EditorSession& session, int32_t index,
                                                      uint64_t mask);
[[nodiscard]] std::vector<PlannedByte> PlanTutorWrites(const EditorSession& session, int32_t index,
                                                       uint64_t mask);

// "TM01" to "TM50" for bits 0 to 49, "HM01" to "HM08" for bits 50 to 57.
[[nodiscard]] std::string TmHmName(int bit);
