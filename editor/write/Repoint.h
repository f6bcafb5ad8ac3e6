#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "write/WritePlan.h"

// The bytes that point the 4-byte pointer at `at` at target: the low three always, the fourth only when it
// must change (RomPointer::FourthByteToWrite: 09 for a target from 16 MiB on, 08 below), so a pointer into
// the same half keeps its fourth byte untouched. currentFourth is the fourth byte the file holds now.
[[nodiscard]] std::vector<PlannedByte> RepointBytes(const std::string& field, int64_t at, int currentFourth,
                                                    int64_t target);
