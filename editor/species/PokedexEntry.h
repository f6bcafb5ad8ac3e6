#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rom/EditorSession.h"
#include "write/FreeSpaceMap.h"
#include "write/WritePlan.h"

// A species' Pokédex entry as the window shows it: texts decoded with the games' text characters (GameText),
// numbers as stored.
struct DexEntryValues {
    std::string category;
    int height = 0;                          // decimetres
    int weight = 0;                          // hectograms
    std::optional<std::string> description;  // nothing when its pointer leads to no readable text
    std::optional<std::string> page2;        // Ruby and Sapphire's second page, as description
    friend bool operator==(const DexEntryValues&, const DexEntryValues&) = default;
};

struct DexEntryRead {
    int national = -1;  // the species' national number; -1 for species 0, which has none
    std::optional<DexEntryValues> values;
    std::string unavailable;  // why there are no values (the part is off, the species has no entry)
    std::string descriptionProblem, page2Problem;  // why a description is missing
};

namespace DexLimits {
inline constexpr int kLastEntry = 386;  // national numbers above have no entry (the placeholder species)
inline constexpr int32_t kCategorySize = 12;
inline constexpr int kCategoryLength = 11;  // characters: the twelfth byte is at least the FF
inline constexpr int32_t kHeight = 12;
inline constexpr int32_t kWeight = 14;
inline constexpr int32_t kDescriptionPointer = 16;
inline constexpr int32_t kSecondPointer = 20;
inline constexpr int32_t kLargestEntry = 64;
inline constexpr int kLargestNumber = 0xFFFF;
}  // namespace DexLimits

// The national number, then the entry of that number, then the texts its pointers lead to.
[[nodiscard]] DexEntryRead ReadDexEntry(const EditorSession& session, int32_t index);

struct DexSavePlan {
    bool ok = false;
    std::vector<PlannedByte> bytes;
    std::vector<std::string> moved;  // "the description moved to 0x71A240", one per text that moved
    std::string error;               // when not ok: why, as sentences (nothing may be written)
};

// The bytes of what differs between edited and the entry as the file holds it now. A description no longer
// (in codes) than the one it replaces is written in place and FF-ended; a longer one, or one whose text
// another pointer of the entries shares, goes into free space from `space` and the entry's pointer is pointed
// at it. The old text is left where it is.
[[nodiscard]] DexSavePlan PlanDexEntrySave(const EditorSession& session, int32_t index,
                                           const DexEntryValues& edited, FreeSpaceMap& space);
