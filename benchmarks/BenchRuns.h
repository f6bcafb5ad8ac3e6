#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
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

inline double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The CPU time of whole less that of part, both run in every iteration, as the manual time of a benchmark
// registered with UseManualTime. A row that subtracts the medians of two separate runs swings whenever the
// machine's speed changes between them, the more so when the part is most of the whole; run in turn, both
// see the machine alike.
template <class Whole, class Part>
void TimePairedRest(benchmark::State& state, Whole whole, Part part) {
    for (auto _ : state) {
        const double begin = ThreadSeconds();
        whole();
        const double middle = ThreadSeconds();
        part();
        const double end = ThreadSeconds();
        state.SetIterationTime(std::max(0.0, (middle - begin) - (end - middle)));
    }
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
