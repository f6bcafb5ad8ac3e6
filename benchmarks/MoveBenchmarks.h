#pragma once

struct BenchRom;
struct ExpandedRom;

// Free space: the search over a 32 MiB ROM beside reading what it reads, and a save whose attack table moves
// into free space beside the system calls of its write.
void RegisterMoveBenchmarks(const BenchRom& rom, const ExpandedRom& expanded);
