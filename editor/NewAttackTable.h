#pragma once

#include <cstdint>
#include <string>

#include "WritePlan.h"

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

// Accepts a start offset of 1 to 7 hexadecimal digits below 2000000 and a whole, non-negative count whose table
// (2 x count + 2 bytes) ends inside a file of romSize bytes.
[[nodiscard]] NewTableCheck CheckNewTableRequest(const std::string& startText, const std::string& countText,
                                                 int64_t romSize);

// The rows and the terminator as one write, named "Insert New Table at OFFSET".
[[nodiscard]] WritePlan PlanNewAttackTable(const NewTableRequest& request);
