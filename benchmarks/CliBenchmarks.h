#pragma once

class BenchFolder;
struct BenchRom;

// vornhal-cli's export and import of all 412 species, each beside its floor of bare system calls. The names
// registered here are the ones the summary table looks up.
void RegisterCliBenchmarks(const BenchFolder& folder, const BenchRom& rom);
