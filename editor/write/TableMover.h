#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "write/ByteRange.h"
#include "write/FreeSpaceMap.h"
#include "write/WritePlan.h"

// A table of varying length (rows and a terminator) that is about to be saved.
struct TableToPlace {
    std::string name;           // "the attack table": names its bytes in the plan and the table in messages
    std::vector<uint8_t> data;  // as it will be stored, terminator included
    ByteRange old;              // the bytes it holds now, as loaded from the file; empty when none
    bool freeOld = false;       // a move fills the old place with FF: nothing else refers to it
};

struct TablePlacement {
    bool ok = false;
    int64_t offset = 0;              // where the data goes
    bool moved = false;              // it no longer fitted in its old place and goes into free space
    std::vector<PlannedByte> bytes;  // the data at offset, then FF over the old place when that is freed
    std::string error;               // when not ok: why, as sentences
};

// Keeps the table in its old place when the data fits there; otherwise plans it into free space taken from
// `space`, which then hands those bytes to no other table of the same write. The caller points the table's
// references at the offset, in the same write.
[[nodiscard]] TablePlacement PlaceTable(const TableToPlace& table, FreeSpaceMap& space);
