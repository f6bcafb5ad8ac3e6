#include "MoveBenchmarks.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <map>

#include "BenchRom.h"
#include "BenchRuns.h"
#include "SyscallFloor.h"
#include "species/AttackTableSave.h"
#include "write/FreeSpaceMap.h"
#include "write/KnownTables.h"
#include "write/RomJournal.h"
#include "write/RomWriter.h"

using SyscallFloor::Access;

namespace {

using BenchRuns::Short;

constexpr int64_t kSearchLength = 200;  // a table of 99 rows

// The ranges the search reads, as it works them out, with where it stops.
struct SearchReads {
    std::vector<Access> spans;
    int64_t stopAt = 0;
};

SearchReads ReadsOfTheSearch(const EditorSession& session, int64_t found) {
    std::string problem;
    const std::vector<ByteRange> regions = FreeSpaceMap::Regions(session, &problem);
    SearchReads reads;
    for (const ByteRange& range : Subtract(regions, KnownTables(session, regions))) {
        if (range.size() >= kSearchLength + 2 * kFreeSpaceMargin)
            reads.spans.push_back({range.start, static_cast<int32_t>(range.size()), 0});
    }
    reads.stopAt = found + kSearchLength + kFreeSpaceMargin;
    return reads;
}

// The edits of the shown species with one row more than its table holds, so that the table moves.
SpeciesEdits GrownEdits(const BenchRom& rom) {
    SpeciesEdits edits = ShownSpeciesEdits(rom);
    edits.rows.push_back({1, 100});
    return edits;
}

// Each byte the moving save writes, in its order, put back as the file holds it: the same calls, and the file
// stays as the save's own benchmark needs it.
std::vector<Access> MovingSaveWrites(const BenchRom& rom) {
    FreeSpaceMap space(rom.session);
    const SpeciesTablePlan planned =
        PlanSpeciesWithAttackTable(rom.session, BenchRom::kShownSpecies, GrownEdits(rom), space);
    std::vector<Access> writes;
    const int fd = ::open(rom.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (!planned.ok || !planned.movedTo || fd < 0) return writes;
    for (const PlannedByte& byte : planned.planned.plan.bytes) {
        unsigned char now = 0;
        if (::pread(fd, &now, 1, byte.offset) != 1) {
            writes.clear();
            break;
        }
        writes.push_back({byte.offset, 1, now});
    }
    ::close(fd);
    return writes;
}

}  // namespace

void RegisterMoveBenchmarks(const BenchRom& rom, const ExpandedRom& expanded) {
    Short(benchmark::RegisterBenchmark("freespace", [&expanded](benchmark::State& state) {
        const auto search = [&expanded] {
            FreeSpaceMap space(expanded.session);
            return space.Take(kSearchLength);
        };
        const FreeSpaceFound found = search();
        if (!found.offset || *found.offset < expanded.session.FileSize - ExpandedRom::kLastRun)
            state.SkipWithError("the search did not end in the last run of the file");
        for (auto _ : state) {
            FreeSpaceFound place = search();
            benchmark::DoNotOptimize(place);
        }
    }));
    Short(benchmark::RegisterBenchmark("freespace/floor", [&expanded](benchmark::State& state) {
        FreeSpaceMap space(expanded.session);
        const FreeSpaceFound found = space.Take(kSearchLength);
        const SearchReads reads = ReadsOfTheSearch(expanded.session, found.offset.value_or(0));
        if (!found.offset || reads.spans.empty()) state.SkipWithError("the search found nothing to read");
        for (auto _ : state) {
            if (!SyscallFloor::ReadSpans(expanded.path, reads.spans, reads.stopAt)) {
                state.SkipWithError("a bare read of the ROM failed");
                break;
            }
        }
    }));

    Short(benchmark::RegisterBenchmark("save-moved", [&rom](benchmark::State& state) {
        const SpeciesEdits edits = GrownEdits(rom);
        RomWriter writer(rom.session);
        writer.SetBackupsEnabled(false);
        BenchRuns::TimeSavesTakenBack(state, writer, [&]() -> std::string {
            const SaveOutcome outcome = SaveSpecies(writer, BenchRom::kShownSpecies, edits);
            if (!outcome.complete) return outcome.error;
            return outcome.tableMovedTo ? "" : "the table did not move";
        });
    }));
    Short(benchmark::RegisterBenchmark("save-moved/floor", [&rom](benchmark::State& state) {
        const std::vector<Access> writes = MovingSaveWrites(rom);
        if (writes.empty()) state.SkipWithError("the bytes of the moving save could not be read");
        std::map<int64_t, uint8_t> journaled;
        for (const Access& write : writes) journaled.emplace(write.offset, write.byte);
        RomJournal::Journal journal{rom.session.FileSize, {}};
        for (const auto& [offset, byte] : journaled) journal.entries.push_back({offset, byte});
        const std::vector<uint8_t> journalBytes = RomJournal::Encode(journal);
        std::vector<SyscallFloor::Opening> reads =
            SyscallFloor::OneEach(SyscallFloor::FourthByteReads(rom.session, BenchRom::kShownSpecies));
        for (const SyscallFloor::Opening& check : SyscallFloor::WriterReads(rom.session, writes))
            reads.push_back(check);
        state.counters["writes"] = static_cast<double>(writes.size());
        for (auto _ : state) {
            if (!SyscallFloor::Read(rom.path, reads) ||
                !SyscallFloor::JournaledWrite(rom.path, writes, journalBytes)) {
                state.SkipWithError("a bare read of the ROM, or a write to it or its journal, failed");
                break;
            }
        }
    }));
}
