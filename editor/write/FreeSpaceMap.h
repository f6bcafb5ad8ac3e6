#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rom/EditorSession.h"
#include "write/ByteRange.h"
#include "write/FreeSpaceFinder.h"

// The free space of the session's ROM as the moves of one write see it: where its section says free space is,
// the tables the editor knows there, and what this write has taken already, so that two moves planned for one
// write never get the same bytes. Reads the ROM only when space is first asked for.
class FreeSpaceMap {
public:
    explicit FreeSpaceMap(EditorSession session);

    // Room for length bytes, kept for this write.
    [[nodiscard]] FreeSpaceFound Take(int64_t length);
    // Bytes no later search may hand out, such as the old place of a table that is being moved.
    void Avoid(const ByteRange& range);

    // Where free space is searched: from the section's FreeSpace key to the end of the file, and the part
    // past 16 MiB of a larger ROM. Empty, with the reason, when there is none to search.
    [[nodiscard]] static std::vector<ByteRange> Regions(const EditorSession& session, std::string* error);

private:
    EditorSession session_;
    bool loaded_ = false;
    std::string regionsError_;
    std::vector<ByteRange> regions_;
    std::vector<ByteRange> avoid_;
};
