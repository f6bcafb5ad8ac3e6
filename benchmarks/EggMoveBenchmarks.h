#pragma once

struct BenchRom;

// Egg moves: a save whose table moves into free space (its references searched over the whole file and
// pointed at the new place) beside the system calls of its reads and its write, and the reference search
// alone beside reading the file once.
void RegisterEggMoveBenchmarks(const BenchRom& rom);
