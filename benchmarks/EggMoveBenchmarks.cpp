#include "EggMoveBenchmarks.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "BenchRom.h"
#include "BenchRuns.h"
#include "HexFunctions.h"
#include "SyscallFloor.h"
#include "rom/PointerSearch.h"
#include "species/SpeciesEggMoves.h"
#include "write/FreeSpaceMap.h"
#include "write/RomJournal.h"
#include "write/RomWriter.h"

using SyscallFloor::Access;

namespace {

using BenchRuns::Short;

// What the reference search reads at a time, and the egg move table's read.
constexpr int64_t kSearchPiece = 1 << 20;
constexpr int32_t kTableRead = 4096;

// The first species with egg moves, and its moves with one more: the table outgrows its place.
struct GrownBlock {
    int species = -1;
    std::vector<int> moves;
};

GrownBlock Grown(const BenchRom& rom) {
    for (int species = 1; species < 412; ++species) {
        const SpeciesEggMoves read = ReadSpeciesEggMoves(rom.session, species);
        if (read.moves && !read.moves->empty() && read.moves->size() < 10) {
            GrownBlock grown{species, *read.moves};
            grown.moves.push_back(1);
            return grown;
        }
    }
    return {};
}

WritePlan PlanOf(const BenchRom& rom, const GrownBlock& grown, std::optional<int64_t>* movedTo) {
    FreeSpaceMap space(rom.session);
    const EggMoveSavePlan planned = PlanEggMoveSave(rom.session, grown.species, grown.moves, space);
    *movedTo = planned.movedTo;
    return WritePlan{"Save egg moves", grown.species, planned.bytes};
}

// What the search cannot do with less: one opening with its fstat, the file read in pieces into one buffer.
bool ReadTheFile(const std::string& path, int64_t size) {
    static std::vector<unsigned char> buffer(kSearchPiece);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    for (int64_t at = 0; ok && at < size; at += kSearchPiece) {
        const int64_t length = std::min(kSearchPiece, size - at);
        ok = ::pread(fd, buffer.data(), static_cast<size_t>(length), at) == length;
    }
    ::close(fd);
    return ok;
}

}  // namespace

void RegisterEggMoveBenchmarks(const BenchRom& rom) {
    Short(benchmark::RegisterBenchmark("eggmoves/references", [&rom](benchmark::State& state) {
        const int64_t table = rom.session.Tables.eggMoves.where.value().table;
        if (PointerSearch::FindPointersTo(rom.path, table).value_or(std::vector<int64_t>{}).size() != 2)
            state.SkipWithError("the search does not find the table's two references");
        for (auto _ : state) {
            std::optional<std::vector<int64_t>> found = PointerSearch::FindPointersTo(rom.path, table);
            benchmark::DoNotOptimize(found);
        }
    }));
    // Comparing every word of the file is work no system call stands for: timed alone, as the search does it,
    // a piece at a time from a buffer that its read has just filled, so from the cache.
    Short(benchmark::RegisterBenchmark("eggmoves/references/scan", [&rom](benchmark::State& state) {
        const int64_t size = rom.session.FileSize / 4 * 4;
        const std::optional<std::vector<uint8_t>> piece =
            HexFunctions::ReadBytes(rom.path, 0, std::min(PointerSearch::kPiece, size));
        if (!piece) state.SkipWithError("cannot read the ROM");
        const uint32_t stored =
            PointerSearch::StoredPointerTo(rom.session.Tables.eggMoves.where.value().table);
        std::vector<int64_t> found;
        for (auto _ : state) {
            if (!piece) break;
            found.clear();
            for (int64_t start = 0; start < size; start += PointerSearch::kPiece) {
                const int64_t length = std::min(PointerSearch::kPiece, size - start);
                PointerSearch::FindWordsIn(piece->data(), length, stored, start, found);
            }
            benchmark::DoNotOptimize(found.data());
        }
    }));
    Short(benchmark::RegisterBenchmark("eggmoves/references/floor", [&rom](benchmark::State& state) {
        for (auto _ : state) {
            if (!ReadTheFile(rom.path, rom.session.FileSize)) {
                state.SkipWithError("a bare read of the ROM failed");
                break;
            }
        }
    }));

    Short(benchmark::RegisterBenchmark("eggmoves/save-moved", [&rom](benchmark::State& state) {
        const GrownBlock grown = Grown(rom);
        RomWriter writer(rom.session);
        writer.SetBackupsEnabled(false);
        BenchRuns::TimeSavesTakenBack(state, writer, [&]() -> std::string {
            std::optional<int64_t> movedTo;
            const WriteOutcome outcome = writer.Apply(PlanOf(rom, grown, &movedTo));
            if (!outcome.complete) return outcome.error;
            return movedTo ? "" : "the table did not move";
        });
    }));
    Short(benchmark::RegisterBenchmark("eggmoves/save-moved/floor", [&rom](benchmark::State& state) {
        // The save's bytes, each put back as the file holds it: the same calls, the file left as it is.
        std::optional<int64_t> movedTo;
        const WritePlan plan = PlanOf(rom, Grown(rom), &movedTo);
        std::vector<Access> writes;
        std::map<int64_t, uint8_t> journaled;
        const std::optional<std::vector<uint8_t>> file =
            HexFunctions::ReadBytes(rom.path, 0, rom.session.FileSize);
        for (const PlannedByte& byte : plan.bytes) {
            if (!file) break;
            const uint8_t now = (*file)[static_cast<size_t>(byte.offset)];
            writes.push_back({byte.offset, 1, now});
            journaled.emplace(byte.offset, now);
        }
        if (!movedTo || writes.empty()) state.SkipWithError("the moving save could not be planned");
        RomJournal::Journal journal{rom.session.FileSize, {}};
        for (const auto& [offset, byte] : journaled) journal.entries.push_back({offset, byte});
        const std::vector<uint8_t> journalBytes = RomJournal::Encode(journal);
        // The table's size check and read, then the reference search's.
        const std::vector<SyscallFloor::Opening> reads = {
            {true, {}}, {false, {{rom.session.Tables.eggMoves.where->table, kTableRead, 0}}}};
        state.counters["writes"] = static_cast<double>(writes.size());
        for (auto _ : state) {
            if (!SyscallFloor::Read(rom.path, reads) || !ReadTheFile(rom.path, rom.session.FileSize) ||
                !SyscallFloor::JournaledWrite(rom.path, writes, journalBytes)) {
                state.SkipWithError("a bare read of the ROM, or a write to it or its journal, failed");
                break;
            }
        }
    }));
}
