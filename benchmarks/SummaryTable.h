#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct Median {
    double cpuSeconds = 0;
    double realSeconds = 0;
    int64_t repetitions = 0;
    std::string error;  // set when the benchmark could not run its work
};

// Keeps the median of every benchmark for the table; passes everything on to the console when asked to.
class MedianCollector : public benchmark::ConsoleReporter {
public:
    explicit MedianCollector(bool showRaw) : showRaw_(showRaw) {}

    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

    [[nodiscard]] const std::map<std::string, Median>& medians() const { return medians_; }

private:
    bool showRaw_;
    std::map<std::string, Median> medians_;
};

struct MemoryPeak {
    int64_t afterStartKib = 0;  // the window shown, no ROM open
    int64_t peakKib = 0;        // the demo ROM open and every species shown once
};

struct TableOutcome {
    int misses = 0;
    int errors = 0;
    int notRun = 0;  // left out by a filter
};

// One line per operation: its median, its floor's median, their ratio, the target and OK or MISS.
TableOutcome PrintTable(std::ostream& out, const std::map<std::string, Median>& medians,
                        const std::optional<MemoryPeak>& memory, const std::string& memoryProblem);
