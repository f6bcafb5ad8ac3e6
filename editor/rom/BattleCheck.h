#pragma once

#include <cstdint>
#include <string>

#include "rom/SpeciesTables.h"

// The opening's check of the battle tables (keys FrontCoords, BackCoords, Elevation, Footprints, and
// Emerald's FrontAnimIds, which a section without it simply lacks): the part set where they fit, or off with
// its reason. Reads only.
void CheckBattleTables(SpeciesTables& tables, const std::string& romPath, int64_t fileSize,
                       const GameSection& keys, const LocatedTables& located);
