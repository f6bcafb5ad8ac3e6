#pragma once

struct BenchRom;

// The editor's file operations, each beside its floor of bare system calls on the same bytes. The names
// registered here are the ones the summary table looks up.
void RegisterOperationBenchmarks(const BenchRom& rom);
