#include "SummaryTable.h"

#include <cstdio>

namespace {

constexpr double kTargetRatio = 1.3;

std::string Seconds(double seconds) {
    char text[32];
    if (seconds >= 1)
        std::snprintf(text, sizeof text, "%.3g s", seconds);
    else if (seconds >= 1e-3)
        std::snprintf(text, sizeof text, "%.3g ms", seconds * 1e3);
    else if (seconds >= 1e-6)
        std::snprintf(text, sizeof text, "%.3g us", seconds * 1e6);
    else
        std::snprintf(text, sizeof text, "%.3g ns", seconds * 1e9);
    return text;
}

std::string Ratio(double ratio) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", ratio);
    return text;
}

std::string Mebibytes(int64_t kib) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(kib) / 1024);
    return text;
}

class Table {
public:
    Table(std::ostream& out, const std::map<std::string, Median>& medians) : out_(out), medians_(medians) {
        Line("operation", "median", "floor", "ratio", "target", "result");
    }

    // An operation beside its floor: both per call, or per entry when perEntry is more than 1.
    void Compare(const std::string& label, const std::string& name, const std::string& floorName,
                 double perEntry = 1, double target = kTargetRatio) {
        const Median* op = Find(name);
        const Median* floor = Find(floorName);
        if (!Usable(label, op, floor)) return;
        const double opSeconds = op->cpuSeconds / perEntry;
        const double floorSeconds = floor->cpuSeconds / perEntry;
        Judge(label, Seconds(opSeconds), Seconds(floorSeconds), opSeconds / floorSeconds, target);
    }

    // The time per entry of a long load over that of the shortest: above 1 means each entry costs more as
    // the table grows.
    void Growth(const std::string& label, const std::string& longName, double longRows,
                const std::string& shortName, double shortRows) {
        const Median* longer = Find(longName);
        const Median* shorter = Find(shortName);
        if (!Usable(label, longer, shorter)) return;
        const double longSeconds = longer->cpuSeconds / longRows;
        const double shortSeconds = shorter->cpuSeconds / shortRows;
        Judge(label, Seconds(longSeconds), Seconds(shortSeconds), longSeconds / shortSeconds);
    }

    // Work inside an operation that goes beyond its system calls (decoding), timed alone: its time and share,
    // then the operation without it over the floor, which is what the target judges.
    // With pairedRestName, the rest is that benchmark's manual time: the whole less the part, both timed in
    // every iteration (BenchRuns::TimePairedRest).
    void Part(const std::string& label, const std::string& restLabel, const std::string& partName,
              const std::string& name, const std::string& floorName, double target = kTargetRatio,
              const std::string& pairedRestName = {}) {
        const Median* part = Find(partName);
        const Median* op = Find(name);
        const Median* floor = Find(floorName);
        const Median* paired = pairedRestName.empty() ? op : Find(pairedRestName);
        if (!Usable(label, part, op) || !Usable(restLabel, paired, floor)) return;
        char share[32];
        std::snprintf(share, sizeof share, "%.0f%% of it", 100 * part->cpuSeconds / op->cpuSeconds);
        Line(label, Seconds(part->cpuSeconds), "-", "-", "-", share);
        const double rest = pairedRestName.empty() ? op->cpuSeconds - part->cpuSeconds : paired->realSeconds;
        Judge(restLabel, Seconds(rest), Seconds(floor->cpuSeconds), rest / floor->cpuSeconds, target);
    }

    // The share of a floor that the calls missing from its lighter twin take (the flushes to disk).
    void Share(const std::string& label, const std::string& floorName, const std::string& lighterName) {
        const Median* floor = Find(floorName);
        const Median* lighter = Find(lighterName);
        if (!Usable(label, floor, lighter)) return;
        const double part = floor->cpuSeconds - lighter->cpuSeconds;
        char share[32];
        std::snprintf(share, sizeof share, "%.0f%% of it", 100 * part / floor->cpuSeconds);
        Line(label, Seconds(part), "-", "-", "-", share);
    }

    // An operation beside its floor, shown but not judged as a whole.
    void Shown(const std::string& label, const std::string& name, const std::string& floorName) {
        const Median* op = Find(name);
        const Median* floor = Find(floorName);
        if (!Usable(label, op, floor)) return;
        Line(label, Seconds(op->cpuSeconds), Seconds(floor->cpuSeconds),
             Ratio(op->cpuSeconds / floor->cpuSeconds), "-", "-");
    }

    void Flow(const std::string& label, const std::string& name) {
        const Median* flow = Find(name);
        if (!Usable(label, flow, flow)) return;
        Line(label, Seconds(flow->realSeconds), "-", "-", "-", "-");
    }

    void Memory(const std::optional<MemoryPeak>& memory, const std::string& problem) {
        const std::string label = "Peak memory, demo ROM, every species shown";
        if (!memory) {
            Line(label, "-", "-", "-", "-", "ERROR");
            out_ << "    " << problem << "\n";
            ++outcome_.errors;
            return;
        }
        Line(label, Mebibytes(memory->peakKib), "-", "-", "-", "-");
        Line("  (the same process with the window only)", Mebibytes(memory->afterStartKib), "-", "-", "-",
             "-");
    }

    [[nodiscard]] TableOutcome outcome() const { return outcome_; }

private:
    const Median* Find(const std::string& name) const {
        const auto found = medians_.find(name);
        return found == medians_.end() ? nullptr : &found->second;
    }

    bool Usable(const std::string& label, const Median* a, const Median* b) {
        if (!a || !b) {
            Line(label, "-", "-", "-", "-", "not run");
            ++outcome_.notRun;
            return false;
        }
        for (const Median* m : {a, b}) {
            if (!m->error.empty()) {
                Line(label, "-", "-", "-", "-", "ERROR");
                out_ << "    " << m->error << "\n";
                ++outcome_.errors;
                return false;
            }
        }
        return true;
    }

    void Judge(const std::string& label, const std::string& time, const std::string& floor, double ratio,
               double target = kTargetRatio) {
        const bool ok = ratio <= target;
        if (!ok) ++outcome_.misses;
        Line(label, time, floor, Ratio(ratio), "<= " + Ratio(target), ok ? "OK" : "MISS");
    }

    void Line(const std::string& label, const std::string& time, const std::string& floor,
              const std::string& ratio, const std::string& target, const std::string& result) {
        char text[256];
        std::snprintf(text, sizeof text, "%-50s %10s %10s %6s %8s  %s", label.c_str(), time.c_str(),
                      floor.c_str(), ratio.c_str(), target.c_str(), result.c_str());
        out_ << text << "\n";
    }

    std::ostream& out_;
    const std::map<std::string, Median>& medians_;
    TableOutcome outcome_;
};

}  // namespace

bool MedianCollector::ReportContext(const Context& context) {
    // Without the raw output nothing goes to the console before the table.
    return showRaw_ ? ConsoleReporter::ReportContext(context) : true;
}

void MedianCollector::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        Median& median = medians_[run.run_name.function_name];
        if (run.error_occurred) {
            median.error = run.run_name.function_name + ": " + run.error_message;
            continue;
        }
        if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median") continue;
        const double perSecond = benchmark::GetTimeUnitMultiplier(run.time_unit);
        median.cpuSeconds = run.GetAdjustedCPUTime() / perSecond;
        median.realSeconds = run.GetAdjustedRealTime() / perSecond;
        median.repetitions = run.repetitions;
    }
    if (showRaw_) ConsoleReporter::ReportRuns(runs);
}

void MedianCollector::Finalize() {
    if (showRaw_) ConsoleReporter::Finalize();
}

TableOutcome PrintTable(std::ostream& out, const std::map<std::string, Median>& medians,
                        const std::optional<MemoryPeak>& memory, const std::string& memoryProblem) {
    Table table(out, medians);
    table.Compare("Listing the names (412 reads)", "names", "names/floor");
    table.Shown("Listing the names from the ROM (1 opening, 4 reads)", "romnames", "romnames/floor");
    table.Part("  of which checking and decoding, timed alone", "  the listing less checking and decoding",
               "romnames/decoding", "romnames", "romnames/floor", kTargetRatio, "romnames/rest");
    table.Compare("Opening FireRed, its tables' references read", "open/references", "open/data-ini", 1, 1.1);
    table.Part("Opening a 32 MiB hack whose tables all moved: the candidates' checks, timed alone",
               "  the opening less those checks, beside one read of the file", "open/hack/checks",
               "open/hack", "open/hack/floor", 1.5, "open/hack/rest");
    table.Part("Opening a FireRed release Data.ini does not know, by search: the candidates' checks, alone",
               "  the opening less those checks, beside one read and pointer count", "open/unknown/checks",
               "open/unknown", "open/unknown/floor", 1.5, "open/unknown/rest");
    table.Compare("Showing one species (8 + 21 reads, 1 size check)", "species", "species/floor");
    table.Compare("Showing one species, More Data open (+15 reads)", "species/more", "species/more/floor");
    table.Compare("Reading one species' battle data (5 reads)", "battle", "battle/floor");
    table.Shown("Showing one species, battle preview open (5 + 2 reads)", "battle/preview",
                "battle/preview/floor");
    table.Part("  of which decoding 2 sprites and drawing, timed alone",
               "  the preview less decoding and drawing", "battle/preview/drawing", "battle/preview",
               "battle/preview/floor", kTargetRatio, "battle/preview/rest");
    table.Shown("Showing one species' pictures (4 sprites + icon)", "pictures", "pictures/floor");
    table.Part("  of which decoding, timed alone from memory", "  the pictures less decoding",
               "pictures/decoding", "pictures", "pictures/floor");
    table.Compare("Saving one species, journaled (6 reads, 95 writes)", "save", "save/floor");
    table.Share("  of which the floor's four fsyncs", "save/floor", "save/floor-without-fsync");
    table.Compare("Saving one whose table moves (6 reads, 140 writes)", "save-moved", "save-moved/floor");
    table.Compare("Free space search over a 32 MiB ROM (25 MiB read)", "freespace", "freespace/floor", 1,
                  1.5);
    table.Shown("Importing a front sprite from PNG, saved", "import", "import/floor");
    table.Part("  of which LZ77 of the 64x64 sprite, timed alone", "  the import less compressing",
               "import/compress", "import", "import/floor");
    table.Compare("Saving egg moves, the table moved (16 MiB read)", "eggmoves/save-moved",
                  "eggmoves/save-moved/floor");
    table.Shown("  of which the reference search, timed alone", "eggmoves/references",
                "eggmoves/references/floor");
    table.Part("    of which comparing words, timed alone", "    the reference search less comparing",
               "eggmoves/references/scan", "eggmoves/references", "eggmoves/references/floor");
    table.Compare("Attack table, 20 entries, per entry", "attacks/20", "attacks/20/floor", 20);
    table.Compare("Attack table, 2,000 entries, per entry", "attacks/2000", "attacks/2000/floor", 2000);
    table.Compare("Attack table, 200,000 entries, per entry", "attacks/200000", "attacks/200000/floor",
                  200000);
    table.Growth("Per entry, 2,000 over 20 entries (flat)", "attacks/2000", 2000, "attacks/20", 20);
    table.Growth("Per entry, 200,000 over 20 entries (flat)", "attacks/200000", 200000, "attacks/20", 20);
    // Writing and reading JSON is work no system call stands for, so it is timed alone, as the decoding of
    // pictures is; checking and planning every value is the rest, hence the wider target.
    table.Shown("vornhal-cli export, 412 species as JSON", "cli/export", "cli/export/floor");
    table.Part("  of which writing the JSON, timed alone", "  the export less writing JSON",
               "cli/export/json", "cli/export", "cli/export/floor", 1.5);
    table.Shown("vornhal-cli import, 412 species, 412 bytes written", "cli/import", "cli/import/floor");
    table.Part("  of which reading the JSON, timed alone", "  the import less reading JSON",
               "cli/import/json", "cli/import", "cli/import/floor", 1.5);
    table.Flow("Window: start to window shown", "flow/start");
    table.Flow("Window: open ROM to species 0 shown", "flow/open");
    table.Flow("Window: select another species", "flow/select");
    table.Flow("Window: save, report off", "flow/save");
    table.Flow("Window: start and open, 100,000 names per list", "huge/window");
    table.Flow("Loading a list file of 100,000 lines", "huge/list-file");
    table.Flow("Refusing a species file of 1 MiB on one line", "huge/species-file");
    table.Flow("Building the 16 MiB FireRed fixture ROM", "huge/builder");
    table.Memory(memory, memoryProblem);
    return table.outcome();
}
