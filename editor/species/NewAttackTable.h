#pragma once

#include <cstdint>
#include <string>

#include "rom/EditorSession.h"
#include "write/FreeSpaceFinder.h"
#include "write/WritePlan.h"

// A fresh level-up attack table of placeholder rows (attack 1 at level 1) and its terminator.
struct NewTableRequest {
    int32_t start = 0;
    int32_t count = 0;
};

struct NewTableCheck {
    bool ok = false;
    NewTableRequest request;
    std::string error;  // why the texts were refused
};

// Accepts a start offset of 1 to 7 hexadecimal digits below 2000000 and a whole, non-negative count whose
// table (2 x count + 2 bytes) ends inside a file of romSize bytes.
[[nodiscard]] NewTableCheck CheckNewTableRequest(const std::string& startText, const std::string& countText,
                                                 int64_t romSize);

// The rows and the terminator as one write, named "Insert New Table at OFFSET".
[[nodiscard]] WritePlan PlanNewAttackTable(const NewTableRequest& request);

// The place in the session's free space for a new table of the count typed: its rows and terminator, with
// the free space's margins. An error names the count or why there is no place.
[[nodiscard]] FreeSpaceFound FindSpaceForNewTable(const EditorSession& session, const std::string& countText);

// Empty when the bytes the new table takes are all FF; otherwise the question to ask before writing over
// them.
[[nodiscard]] std::string OverwriteQuestion(const std::string& romPath, const NewTableRequest& request);
