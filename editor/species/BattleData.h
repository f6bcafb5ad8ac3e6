#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rom/EditorSession.h"
#include "species/Footprint.h"
#include "write/FreeSpaceMap.h"
#include "write/WritePlan.h"

// What the game reads to put a species on the battle screen (BattlePlacement.h places it), as stored.
struct BattleValues {
    int frontY = 0;                // how far the front sprite is pushed down, in pixels
    int backY = 0;                 // the same for the back sprite
    int elevation = 0;             // how far the enemy's front sprite floats above its place
    std::optional<int> frontAnim;  // Emerald's front animation number; species 0 has none
    // Empty when the species' footprint pointer leads to nothing inside the file; a save then gives it one.
    std::optional<Footprint::Bytes> footprint;
    friend bool operator==(const BattleValues&, const BattleValues&) = default;
};

namespace BattleLimits {
inline constexpr int kLargestNumber = 255;  // each number is one byte
inline constexpr int32_t kYOffsetByte = 1;  // in a coordinates entry, after the size byte
}  // namespace BattleLimits

struct BattleRead {
    std::optional<BattleValues> values;
    std::string unavailable;  // why there are no values: the part is off, or the tables cannot be read
};

// One read per table: the two coordinates entries, the elevation, the footprint pointer and its 32 bytes, and
// in Emerald the animation number.
[[nodiscard]] BattleRead ReadBattleValues(const EditorSession& session, int32_t index);

struct BattleSavePlan {
    bool ok = false;
    std::vector<PlannedByte> bytes;
    std::optional<int64_t> footprintMovedTo;  // where a footprint another species shares was written instead
    std::string error;                        // when not ok: why, as sentences (nothing may be written)
};

// The bytes of what differs between edited and the file as it is now, nothing when nothing does. Numbers
// must be 0 to 255. A changed footprint is written over the species' own, or, where another species' pointer
// leads to the same bytes (or the pointer leads nowhere), into free space from `space` with the species'
// pointer pointed at it; the old one stays for the others.
[[nodiscard]] BattleSavePlan PlanBattleSave(const EditorSession& session, int32_t index,
                                            const BattleValues& edited, FreeSpaceMap& space);
