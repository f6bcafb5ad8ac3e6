#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "rom/SpeciesTables.h"

struct EggMoveLocation {
    std::optional<int64_t> table;
    std::string problem;  // when not found: why, as a sentence
};

// Where the egg move table of the ROM is. Data.ini's offset holds it until a save moves it into free space;
// after that the old place is FF and only the game's references know the new one, so the file is searched
// for a table that exactly `references` aligned pointers point at (and that is well-formed throughout).
[[nodiscard]] EggMoveLocation LocateEggMoveTable(const std::string& romPath, int64_t keyOffset,
                                                 int references);

// True when the table at offset looks like an egg move table: well-formed, with at least one species, and at
// least 95% of its openers and moves name species and moves that exist (a hack's odd entry must not turn the
// part off).
[[nodiscard]] bool EggMoveTableAt(const std::string& romPath, int64_t offset, std::string* problem);

// After a write, an undo or a redo the table may stand elsewhere (a save moved it, an undo moved it back):
// the place is kept while a table is still there, else found again from Data.ini's offset and the references.
// A table that can no longer be found turns the part off with the reason.
void FollowEggMoveTable(TablePart<EggMovePlace>& part, const std::string& romPath);
