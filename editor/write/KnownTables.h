#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rom/EditorSession.h"
#include "write/ByteRange.h"

// Where the data the editor knows of lies in the session's ROM, for a search of free space with the usual
// margin: always the fixed tables of its section (names, records, the pointer tables, the icon palette
// numbers and the icon palette table, the battle tables); and, among the level-up attack tables, icons and
// footprints the species point at, those that start inside `within`, where their bytes could be taken for
// free space.
[[nodiscard]] std::vector<ByteRange> KnownTables(const EditorSession& session,
                                                 const std::vector<ByteRange>& within);

// For each of count pointers, stride bytes apart from entry: the file offset it points at, or nothing when it
// holds no pointer into a file of fileSize bytes or cannot be read.
[[nodiscard]] std::vector<std::optional<int64_t>> ReadPointerTargets(const std::string& romPath,
                                                                     int64_t entry, int32_t count,
                                                                     int32_t stride, int64_t fileSize);
