#pragma once

#include <benchmark/benchmark.h>

#include <string>

#include "write/RomWriter.h"

namespace BenchRuns {

// Short operations: many short repetitions, so that a burst of work from another process on the machine
// spoils few of them and the median stays clean.
inline constexpr int kRepetitions = 21;
inline constexpr double kMinSeconds = 0.05;

inline benchmark::internal::Benchmark* Short(benchmark::internal::Benchmark* b) {
    return b->Repetitions(kRepetitions)
        ->MinTime(kMinSeconds)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMicrosecond);
}

// Times a save that moves a table, taking each one back with Undo outside the timing, so that every save
// moves it again. save returns why it failed or did not move the table, empty when it did.
template <class Save>
void TimeSavesTakenBack(benchmark::State& state, RomWriter& writer, Save save) {
    for (auto _ : state) {
        if (const std::string problem = save(); !problem.empty()) {
            state.SkipWithError(problem.c_str());
            break;
        }
        state.PauseTiming();
        const WriteOutcome undone = writer.Undo();
        state.ResumeTiming();
        if (!undone.complete) {
            state.SkipWithError(undone.error.c_str());
            break;
        }
    }
}

}  // namespace BenchRuns
