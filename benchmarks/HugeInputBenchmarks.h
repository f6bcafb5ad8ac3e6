#pragma once

#include "BenchRom.h"

// Inputs far beyond what the games hold: lists of 100,000 names, a species file of a megabyte on one line,
// and the builder's fixture ROMs that every test starts from. They must stay quick, not only correct.
void RegisterHugeInputBenchmarks(const BenchFolder& folder);
