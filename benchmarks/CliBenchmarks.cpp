#include "CliBenchmarks.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "BenchRom.h"
#include "HexFunctions.h"
#include "JsonTable.h"
#include "SyscallFloor.h"
#include "TableFile.h"
#include "species/AttackTable.h"
#include "species/PokedexEntry.h"
#include "text/ChoiceNames.h"
#include "text/SpeciesFields.h"
#include "text/SpeciesTableExport.h"
#include "text/SpeciesTableImport.h"
#include "write/RomJournal.h"
#include "write/RomWriter.h"

using SyscallFloor::Access;
using SyscallFloor::Opening;

namespace {

// Export and import take tens of milliseconds; a few repetitions give a clean median.
constexpr int kRepetitions = 9;

benchmark::internal::Benchmark* Whole(benchmark::internal::Benchmark* b) {
    return b->Repetitions(kRepetitions)
        ->MinTime(0.2)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond);
}

// What reading one species does to the file: its name, its record, six pointers and the icon palette number,
// one opening each; the attack table load's size check and one opening per row and for the end mark; its
// evolutions; its TM/HM and tutor entries, each read with its move list.
void AddSpeciesOpenings(const EditorSession& s, int32_t i, std::vector<Opening>& openings) {
    std::vector<Access> fields = {{Species::NameEntry(s, i), Species::kNameSize, 0},
                                  {Species::RecordBase(s, i), Species::kRecordSize, 0}};
    for (int32_t entry :
         {Species::AttackTableEntry(s, i), Species::SpriteEntry(s, i), Species::BackSpriteEntry(s, i),
          Species::PaletteEntry(s, i), Species::ShinyPaletteEntry(s, i), Species::IconEntry(s, i)})
        fields.push_back({entry, 3, 0});
    fields.push_back({Species::IconPaletteEntry(s, i), 1, 0});
    for (const Opening& opening : SyscallFloor::OneEach(fields)) openings.push_back(opening);
    openings.push_back({true, {}});
    const std::optional<int64_t> table = OffsetOf(ReadSpecies(s, i).attackTable);
    const int32_t rows =
        table ? static_cast<int32_t>(LoadAttackTable(s.RomPath, static_cast<int32_t>(*table)).size()) : 0;
    for (const Opening& read : SyscallFloor::OneEach(SyscallFloor::AttackTableReads(table.value_or(0), rows)))
        openings.push_back(read);
    constexpr int32_t kEvolutionsEntry = SpeciesTableSizes::kEvolutions * SpeciesTableSizes::kEvolutionEntry;
    if (const std::optional<int32_t>& evolutions = s.Tables.evolutions.where)
        openings.push_back({false, {{*evolutions + int64_t{kEvolutionsEntry} * i, kEvolutionsEntry, 0}}});
    for (const std::optional<CompatibilityTable>& part : {s.Tables.tmhm.where, s.Tables.tutors.where}) {
        if (!part) continue;
        openings.push_back({false, {{part->table + int64_t{part->entrySize} * i, part->entrySize, 0}}});
        openings.push_back({false, {{part->moves, 2 * part->count, 0}}});
    }
}

// The egg move table (its size check, then the table in one read), and where the species has them its
// national number, its Pokédex entry and each description (one opening each).
void AddEggMoveAndDexOpenings(const EditorSession& s, int32_t i, std::vector<Opening>& openings) {
    if (i == 0) return;
    if (const std::optional<EggMovePlace>& eggs = s.Tables.eggMoves.where) {
        openings.push_back({true, {}});
        openings.push_back({false, {{eggs->table, 4096, 0}}});
    }
    const std::optional<DexPlace>& dex = s.Tables.dex.where;
    if (!dex) return;
    openings.push_back({false, {{dex->nationalNumbers + 2 * int64_t{i - 1}, 2, 0}}});
    const int national = ReadDexEntry(s, i).national;
    if (national < 1 || national > DexLimits::kLastEntry) return;
    const int64_t entry = dex->entries + int64_t{dex->entrySize} * national;
    openings.push_back({false, {{entry, dex->entrySize, 0}}});
    const std::optional<std::vector<uint8_t>> bytes =
        HexFunctions::ReadBytes(s.RomPath, entry, dex->entrySize);
    if (!bytes) return;
    for (const int32_t slot : {DexLimits::kDescriptionPointer, DexLimits::kSecondPointer}) {
        if (slot == DexLimits::kSecondPointer && !dex->twoPages) break;
        const int64_t text = int64_t{(*bytes)[slot] | (*bytes)[slot + 1] << 8 | (*bytes)[slot + 2] << 16};
        openings.push_back(
            {false, {{text, static_cast<int32_t>(std::min<int64_t>(1024, s.FileSize - text)), 0}}});
    }
}

std::vector<Opening> AllSpeciesOpenings(const EditorSession& s) {
    std::vector<Opening> openings;
    for (int32_t i = 0; i < Species::kCount; ++i) {
        AddSpeciesOpenings(s, i, openings);
        AddEggMoveAndDexOpenings(s, i, openings);
    }
    return openings;
}

// Everything the two benchmarks share: a copy of the fixture of their own (the import writes into it), the
// shipped lists, and two exports that differ in every species' HP, so that each import changes 412 bytes.
struct CliFixture {
    EditorSession session;
    ChoiceNames names;
    std::string toggled, original;
    std::vector<Opening> reads;
    std::vector<Access> writes;  // the HP bytes, as the file holds them
};

std::shared_ptr<CliFixture> MakeFixture(const BenchFolder& folder, const BenchRom& rom) {
    auto fixture = std::make_shared<CliFixture>();
    const std::string path = folder.File("cli.gba");
    std::error_code error;
    if (!std::filesystem::copy_file(rom.path, path, std::filesystem::copy_options::overwrite_existing, error))
        return nullptr;
    fixture->session = rom.session;
    fixture->session.RomPath = path;
    fixture->names = LoadChoiceNames(fixture->session, folder.DataFolder());
    TableText table = ExportSpeciesTable(fixture->session, fixture->names);
    fixture->original = FormatJsonTable(table);
    for (SpeciesText& species : table.species) {
        for (TextField& field : species.fields) {
            if (field.key == "hp")
                field.value.single.text = std::to_string((std::stoi(field.value.single.text) + 1) % 256);
        }
    }
    fixture->toggled = FormatJsonTable(table);
    fixture->reads = AllSpeciesOpenings(fixture->session);
    for (int32_t i = 0; i < Species::kCount; ++i) {
        const int64_t at = Species::RecordBase(fixture->session, i);
        fixture->writes.push_back({at, 1, static_cast<unsigned char>(ReadSpecies(fixture->session, i).hp)});
    }
    return fixture;
}

}  // namespace

void RegisterCliBenchmarks(const BenchFolder& folder, const BenchRom& rom) {
    const std::shared_ptr<CliFixture> fixture = MakeFixture(folder, rom);
    if (!fixture) return;
    const std::string& path = fixture->session.RomPath;

    Whole(benchmark::RegisterBenchmark("cli/export", [fixture](benchmark::State& state) {
        for (auto _ : state) {
            JsonTableWriter writer(fixture->session.GameCode, fixture->names);
            ExportSpeciesTable(fixture->session, writer);
            std::string text = writer.Finish();
            benchmark::DoNotOptimize(text);
        }
    }));
    Whole(benchmark::RegisterBenchmark("cli/export/floor", [fixture, path](benchmark::State& state) {
        for (auto _ : state) {
            if (!SyscallFloor::Read(path, fixture->reads)) {
                state.SkipWithError("a bare read of the ROM failed");
                break;
            }
        }
    }));

    Whole(benchmark::RegisterBenchmark("cli/export/json", [fixture](benchmark::State& state) {
        const TableText table = ParseTable(fixture->original, std::nullopt).table;
        for (auto _ : state) {
            std::string text = FormatJsonTable(table);
            benchmark::DoNotOptimize(text);
        }
    }));
    Whole(benchmark::RegisterBenchmark("cli/import/json", [fixture](benchmark::State& state) {
        for (auto _ : state) {
            TableParse parse = ParseTable(fixture->toggled, std::nullopt);
            benchmark::DoNotOptimize(parse);
        }
    }));

    Whole(benchmark::RegisterBenchmark("cli/import", [fixture](benchmark::State& state) {
        RomWriter writer(fixture->session);
        // The backup is taken once per opening; every import of vornhal-cli is one, but the copy of a whole
        // ROM is not the import's work.
        writer.SetBackupsEnabled(false);
        bool toggle = true;
        for (auto _ : state) {
            const TableParse parse = ParseTable(toggle ? fixture->toggled : fixture->original, std::nullopt);
            const ImportPlan plan =
                PlanSpeciesTableImport(fixture->session, fixture->names, parse.table, "Import");
            if (!plan.error.empty() || plan.plan.bytes.size() != static_cast<size_t>(Species::kCount)) {
                state.SkipWithError(plan.error.empty() ? "the import does not change 412 bytes"
                                                       : plan.error.c_str());
                break;
            }
            const WriteOutcome outcome = writer.Apply(plan.plan);
            if (!outcome.complete) {
                state.SkipWithError(outcome.error.c_str());
                break;
            }
            toggle = !toggle;
        }
        // Leave the file as it was found.
        if (!toggle) {
            const TableParse parse = ParseTable(fixture->original, std::nullopt);
            (void)writer.Apply(
                PlanSpeciesTableImport(fixture->session, fixture->names, parse.table, "Import").plan);
        }
    }));
    Whole(benchmark::RegisterBenchmark("cli/import/floor", [fixture, path](benchmark::State& state) {
        RomJournal::Journal journal{fixture->session.FileSize, {}};
        for (const Access& write : fixture->writes) journal.entries.push_back({write.offset, write.byte});
        const std::vector<uint8_t> journalBytes = RomJournal::Encode(journal);
        std::vector<int64_t> offsets;
        for (const Access& write : fixture->writes) offsets.push_back(write.offset);
        std::sort(offsets.begin(), offsets.end());
        const std::vector<Opening> checks = SyscallFloor::WriterReads(fixture->session, offsets);
        for (auto _ : state) {
            if (!SyscallFloor::Read(path, fixture->reads) || !SyscallFloor::Read(path, checks) ||
                !SyscallFloor::JournaledWrite(path, fixture->writes, journalBytes)) {
                state.SkipWithError("a bare read or write of the ROM failed");
                break;
            }
        }
    }));
}
