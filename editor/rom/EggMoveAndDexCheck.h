#pragma once

#include <cstdint>
#include <string>

#include "rom/SpeciesTables.h"

// The opening's check of the egg moves (keys EggMoves and EggMoveRefs, 2 when missing) and of the Pokédex
// (NationalDex, DexEntries, DexEntrySize): each part set where it fits, or off with its reason. Reads only.
void CheckEggMovesAndDex(SpeciesTables& tables, const std::string& romPath, int64_t fileSize,
                         const GameSection& keys, const LocatedTables& located);
