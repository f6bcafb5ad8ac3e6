#pragma once

struct BenchRom;

// A front sprite imported from a PNG file and saved with the species, beside the floor of its writes, and
// the LZ77 compression of a 64x64 sprite timed alone.
void RegisterImportBenchmarks(const BenchRom& rom);
