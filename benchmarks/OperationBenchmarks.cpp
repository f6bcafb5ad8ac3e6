#include "OperationBenchmarks.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "AttackTable.h"
#include "BenchRom.h"
#include "CharTable.h"
#include "HexFunctions.h"
#include "NameList.h"
#include "SpeciesRecord.h"
#include "SpeciesSave.h"
#include "SyscallFloor.h"

using SyscallFloor::Access;

namespace {

// Short operations: many short repetitions, so that a burst of work from another process on the machine
// spoils few of them and the median stays clean.
constexpr int kRepetitions = 21;
constexpr double kMinSeconds = 0.05;
// The 200,000-entry load takes about half a second per call.
constexpr int kLongRepetitions = 7;

benchmark::internal::Benchmark* Short(benchmark::internal::Benchmark* b) {
    return b->Repetitions(kRepetitions)
        ->MinTime(kMinSeconds)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMicrosecond);
}

// What showing a species reads: the record, six pointers, the icon palette number, then the attack table.
std::vector<Access> SpeciesReads(const BenchRom& rom, const BenchTable& table) {
    const EditorSession& s = rom.session;
    const int32_t i = BenchRom::kShownSpecies;
    std::vector<Access> reads = {{Species::RecordBase(s, i), Species::kRecordSize, 0}};
    for (int32_t entry :
         {Species::AttackTableEntry(s, i), Species::SpriteEntry(s, i), Species::BackSpriteEntry(s, i),
          Species::PaletteEntry(s, i), Species::ShinyPaletteEntry(s, i), Species::IconEntry(s, i)})
        reads.push_back({entry, 3, 0});
    reads.push_back({Species::IconPaletteEntry(s, i), 1, 0});
    for (const Access& read : SyscallFloor::AttackTableReads(table.offset, table.rows)) reads.push_back(read);
    return reads;
}

// The bytes a save writes, one access each, in the order the save writes them.
std::vector<int64_t> SaveOffsets(const EditorSession& s, int32_t i, int64_t table, int32_t rows) {
    std::vector<int64_t> offsets;
    for (int k = 0; k < Species::kNameSize; ++k) offsets.push_back(int64_t{Species::NameEntry(s, i)} + k);
    const int64_t r = Species::RecordBase(s, i);
    for (int k : {0, 1, 2, 3, 4, 5, 6, 7, 9, 8, 11, 10, 12, 13, 14, 15, 16, 17, 20, 21, 22, 23, 24})
        offsets.push_back(r + k);
    for (int64_t entry :
         {Species::SpriteEntry(s, i), Species::BackSpriteEntry(s, i), Species::PaletteEntry(s, i),
          Species::ShinyPaletteEntry(s, i), Species::IconEntry(s, i)}) {
        for (int k : {2, 1, 0}) offsets.push_back(entry + k);
    }
    offsets.push_back(Species::IconPaletteEntry(s, i));
    for (int k : {0, 2, 1}) offsets.push_back(int64_t{Species::AttackTableEntry(s, i)} + k);
    for (int64_t k = 0; k < 2 * int64_t{rows}; ++k) offsets.push_back(table + k);
    return offsets;
}

// The floor puts back the bytes that are there, as the save of an unchanged species does.
std::vector<Access> SaveWrites(const BenchRom& rom, const BenchTable& table) {
    std::vector<Access> writes;
    const int fd = ::open(rom.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return writes;
    for (int64_t offset : SaveOffsets(rom.session, BenchRom::kShownSpecies, table.offset, table.rows)) {
        unsigned char byte = 0;
        if (::pread(fd, &byte, 1, offset) != 1) {
            writes.clear();
            break;
        }
        writes.push_back({offset, 1, byte});
    }
    ::close(fd);
    return writes;
}

// The edits of the shown species exactly as it is stored, so each save leaves the file as it was.
SpeciesEdits UnchangedEdits(const BenchRom& rom) {
    const EditorSession& s = rom.session;
    const int32_t i = BenchRom::kShownSpecies;
    const SpeciesValues v = ReadSpecies(s, i);
    SpeciesEdits e;
    e.name = CharTable::DecodeName(
        HexFunctions::ReadHexBytes(s.RomPath, Species::NameEntry(s, i), Species::kNameSize));
    e.hp = v.hp, e.attack = v.attack, e.defense = v.defense, e.speed = v.speed;
    e.spAttack = v.spAttack, e.spDefense = v.spDefense;
    e.baseXp = v.baseXp, e.catchRate = v.catchRate, e.safari = v.safari;
    e.evHp = v.ev.hp, e.evAttack = v.ev.attack, e.evDefense = v.ev.defense, e.evSpeed = v.ev.speed;
    e.evSpAttack = v.ev.spAttack, e.evSpDefense = v.ev.spDefense;
    e.type1 = v.type1, e.type2 = v.type2, e.item1 = v.item1, e.item2 = v.item2;
    e.gender = v.gender, e.steps = v.steps, e.eggType1 = v.eggType1, e.eggType2 = v.eggType2;
    e.ability1 = v.ability1, e.ability2 = v.ability2, e.iconPalette = v.iconPalette;
    e.sprite = ParseHexOffset(v.sprite).value_or(0);
    e.backSprite = ParseHexOffset(v.backSprite).value_or(0);
    e.palette = ParseHexOffset(v.palette).value_or(0);
    e.shinyPalette = ParseHexOffset(v.shinyPalette).value_or(0);
    e.icon = ParseHexOffset(v.icon).value_or(0);
    e.attackTable = ParseHexOffset(v.attackTable).value_or(0);
    e.rows = LoadAttackTable(s.RomPath, e.attackTable);
    return e;
}

void FloorRead(benchmark::State& state, const std::string& path, const std::vector<Access>& reads) {
    for (auto _ : state) {
        if (!SyscallFloor::Read(path, reads)) {
            state.SkipWithError("a bare read of the ROM failed");
            break;
        }
    }
}

void PerEntry(benchmark::State& state, int32_t rows) {
    state.counters["per_entry"] =
        benchmark::Counter(rows, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

void RegisterOperationBenchmarks(const BenchRom& rom) {
    const std::string& path = rom.path;
    const BenchTable& shownTable = rom.tables.front();

    Short(benchmark::RegisterBenchmark("names", [&rom](benchmark::State& state) {
        if (LoadNameList(rom.session).size() != static_cast<size_t>(Species::kCount))
            state.SkipWithError("the name list is not 412 entries long");
        for (auto _ : state) {
            std::vector<std::string> names = LoadNameList(rom.session);
            benchmark::DoNotOptimize(names);
        }
    }));
    Short(benchmark::RegisterBenchmark("names/floor", FloorRead, path,
                                       SyscallFloor::NameListReads(rom.session.NameOffset)));

    Short(benchmark::RegisterBenchmark("species", [&rom, shownTable](benchmark::State& state) {
        const auto show = [&rom] {
            SpeciesValues values = ReadSpecies(rom.session, BenchRom::kShownSpecies);
            const std::optional<int32_t> start = ParseHexOffset(values.attackTable);
            std::vector<LevelUpAttackEntry> rows;
            if (start) rows = LoadAttackTable(rom.session.RomPath, *start);
            benchmark::DoNotOptimize(values);
            return rows;
        };
        if (show().size() != static_cast<size_t>(shownTable.rows))
            state.SkipWithError("the shown species does not have the 20-row table");
        for (auto _ : state) {
            std::vector<LevelUpAttackEntry> rows = show();
            benchmark::DoNotOptimize(rows);
        }
    }));
    Short(benchmark::RegisterBenchmark("species/floor", FloorRead, path, SpeciesReads(rom, shownTable)));

    Short(benchmark::RegisterBenchmark("save", [&rom](benchmark::State& state) {
        const SpeciesEdits edits = UnchangedEdits(rom);
        for (auto _ : state) {
            SaveOutcome outcome = SaveSpecies(rom.session, BenchRom::kShownSpecies, edits);
            if (!outcome.complete) {
                state.SkipWithError(outcome.error.c_str());
                break;
            }
            benchmark::DoNotOptimize(outcome);
        }
    }));
    Short(benchmark::RegisterBenchmark("save/floor", [&rom, shownTable](benchmark::State& state) {
        const std::vector<Access> writes = SaveWrites(rom, shownTable);
        if (writes.size() != static_cast<size_t>(53 + 2 * shownTable.rows))
            state.SkipWithError("the bytes of the save could not be read");
        for (auto _ : state) {
            if (!SyscallFloor::Write(rom.path, writes)) {
                state.SkipWithError("a bare write to the ROM failed");
                break;
            }
        }
    }));

    for (const BenchTable& table : rom.tables) {
        const std::string name = "attacks/" + std::to_string(table.rows);
        auto* load = benchmark::RegisterBenchmark(name.c_str(), [&path, table](benchmark::State& state) {
            // Large enough that only the terminator ends the load.
            const int32_t maxRows = table.rows + 1;
            if (LoadAttackTable(path, table.offset, maxRows).size() != static_cast<size_t>(table.rows))
                state.SkipWithError("the table does not end where it was written to end");
            for (auto _ : state) {
                std::vector<LevelUpAttackEntry> rows = LoadAttackTable(path, table.offset, maxRows);
                benchmark::DoNotOptimize(rows);
            }
            PerEntry(state, table.rows);
        });
        auto* floor = benchmark::RegisterBenchmark(
            (name + "/floor").c_str(),
            [&path, table,
             reads = SyscallFloor::AttackTableReads(table.offset, table.rows)](benchmark::State& state) {
                FloorRead(state, path, reads);
                PerEntry(state, table.rows);
            });
        for (auto* b : {load, floor}) {
            Short(b);
            if (table.rows > 10000) b->Repetitions(kLongRepetitions)->Unit(benchmark::kMillisecond);
        }
    }
}
