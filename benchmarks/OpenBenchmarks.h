#pragma once

#include "BenchRom.h"

// Opening a ROM: with the references of its tables, which a retail ROM's pointers confirm, beside the same
// opening from Data.ini's offsets alone. Reading the game's own pointers must cost next to nothing.
void RegisterOpenBenchmarks(const BenchFolder& folder);
