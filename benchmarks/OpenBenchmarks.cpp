#include "OpenBenchmarks.h"

#include <fstream>
#include <sstream>

#include "BenchRuns.h"
#include "HexFunctions.h"
#include "RomBuilder.h"
#include "rom/RomOpener.h"
#include "rom/SectionValues.h"
#include "rom/TableLocator.h"
#include "rom/TableSearch.h"
#include "rom/TableShapes.h"

namespace {

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    return static_cast<bool>(file);
}

// The section without its reference keys: the opening as it was before references.
std::string WithoutReferences(const std::string& section) {
    std::istringstream lines(section);
    std::string kept;
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos && equals >= 3 && line.compare(equals - 3, 3, "Ref") == 0) continue;
        kept += line + "\n";
    }
    return kept;
}

void RegisterOpening(const std::string& name, const std::string& rom, const std::string& ini, bool prepared,
                     UnknownRelease unknown = UnknownRelease::Offer) {
    BenchRuns::Short(
        benchmark::RegisterBenchmark(name.c_str(), [rom, ini, prepared, unknown](benchmark::State& state) {
            if (!prepared) state.SkipWithError("cannot write the ROM and its Data.ini");
            for (auto _ : state) {
                const OpenRomResult opened = OpenRomFile(rom, ini, unknown);
                if (!opened.session) {
                    state.SkipWithError(opened.error.c_str());
                    break;
                }
                benchmark::DoNotOptimize(opened.session->NameOffset);
            }
        }));
}

// The section of a hack rebuilt with tables and code of its own: every table a search can find sits where
// neither the offset nor the reference says, so the opening searches for all of them.
std::string Rebuilt(const RomBuilder& builder) {
    std::istringstream lines(builder.IniSection());
    std::string section;
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        const TableShapes::Shape* byKey =
            equals == std::string::npos ? nullptr : TableShapes::Find(line.substr(0, equals));
        bool searched = byKey && byKey->searched;
        for (const TableShapes::Shape& shape : TableShapes::All())
            searched = searched || (shape.searched && line.rfind(std::string(shape.refKey) + "=", 0) == 0);
        section += searched ? line.substr(0, equals) + "=&H1FF0000\r\n" : line + "\n";
    }
    return section;
}

// Beside a search's opening: its floor, and the checks of the candidates alone, timed from a search that has
// already read the file (work no read stands for). The floor is one read of the whole file, and with
// withCensus also the count of the pointers in it that every search starts from.
// The checks of the candidates an opening makes for the tables its references did not place, from a search
// that has read the file. Built in place: its context refers to its keys.
struct CandidateChecks {
    CandidateChecks(const std::string& rom, const std::string& ini, const std::string& section,
                    GameSection::Source source, int64_t size)
        : search(TableSearch::Read(rom, size)),
          keys(ini, section, rom, source),
          context{rom, size, [this](const std::string& key) { return keys.Value(key); }} {
        const LocatedTables located = LocateTables(rom, size, keys);
        for (const TableShapes::Shape& shape : TableShapes::All()) {
            const LocatedTable* table = located.Find(shape.key);
            if (shape.searched && table && table->how.rfind("reference", 0) != 0) sought.push_back(&shape);
        }
    }
    CandidateChecks(const CandidateChecks&) = delete;
    CandidateChecks& operator=(const CandidateChecks&) = delete;

    void Run() const {
        for (const TableShapes::Shape* shape : sought)
            benchmark::DoNotOptimize(search->Find(*shape, context, {}).offset);
    }

    std::optional<TableSearch> search;
    GameSection keys;
    TableShapes::Context context;
    std::vector<const TableShapes::Shape*> sought;
};

void RegisterSearchParts(const std::string& name, const std::string& rom, const std::string& ini,
                         const std::string& section, GameSection::Source source, bool withCensus,
                         UnknownRelease unknown = UnknownRelease::Offer) {
    const int64_t size = HexFunctions::RomFileSize(rom).value_or(0);
    BenchRuns::Short(benchmark::RegisterBenchmark(
        (name + "/floor").c_str(), [rom, size, withCensus](benchmark::State& state) {
            for (auto _ : state) {
                if (withCensus)
                    benchmark::DoNotOptimize(TableSearch::Read(rom, size));
                else
                    benchmark::DoNotOptimize(HexFunctions::ReadBytes(rom, 0, size));
            }
        }));
    BenchRuns::Short(benchmark::RegisterBenchmark(
        (name + "/checks").c_str(), [rom, ini, section, source, size](benchmark::State& state) {
            const CandidateChecks checks(rom, ini, section, source, size);
            if (!checks.search) state.SkipWithError("cannot read the ROM");
            for (auto _ : state) checks.Run();
        }));
    BenchRuns::Short(benchmark::RegisterBenchmark((name + "/rest").c_str(), [rom, ini, section, source, size,
                                                                             unknown](
                                                                                benchmark::State& state) {
        const CandidateChecks checks(rom, ini, section, source, size);
        if (!checks.search) state.SkipWithError("cannot read the ROM");
        BenchRuns::TimePairedRest(
            state, [&] { benchmark::DoNotOptimize(OpenRomFile(rom, ini, unknown).session); },
            [&] { checks.Run(); });
    }))->UseManualTime();
}

}  // namespace

void RegisterOpenBenchmarks(const BenchFolder& folder) {
    const RomBuilder builder(FireRedLayout());
    const std::string rom = folder.File("open-retail.gba");
    const std::string section = builder.IniSection();
    const std::string withReferences = folder.File("open-references.ini");
    const std::string withoutReferences = folder.File("open-data-ini.ini");
    const bool prepared = builder.WriteTo(rom) && WriteText(withReferences, "[Main]\r\n" + section) &&
                          WriteText(withoutReferences, "[Main]\r\n" + WithoutReferences(section));
    RegisterOpening("open/references", rom, withReferences, prepared);
    RegisterOpening("open/data-ini", rom, withoutReferences, prepared);

    // A 32 MiB hack whose tables all moved, beside one read of the whole file; the checks of the candidates
    // are work no read stands for, so they are timed alone from a search that has already read the file.
    RomBuilder expanded(ExpandedLayout());
    expanded.bytes().resize(0x2000000, 0xFF);
    const std::string hack = folder.File("open-hack.gba");
    const std::string hackIni = folder.File("open-hack.ini");
    const std::string hackSection = Rebuilt(expanded);
    const bool hackPrepared = expanded.WriteTo(hack) && WriteText(hackIni, "[Main]\r\n" + hackSection);
    RegisterOpening("open/hack", hack, hackIni, hackPrepared);
    RegisterSearchParts("open/hack", hack, hackIni, expanded.SectionName(), GameSection::Source::Described,
                        false);

    // A FireRed release Data.ini has no section for, opened by the search the user agreed to.
    RomBuilder release(FireRedLayout());
    release.Fill(HexFunctions::kGameCodeOffset, {'B', 'P', 'R', 'F'});
    const std::string unknown = folder.File("open-unknown.gba");
    const bool unknownPrepared = release.WriteTo(unknown);
    RegisterOpening("open/unknown", unknown, withReferences, unknownPrepared, UnknownRelease::Search);
    RegisterSearchParts("open/unknown", unknown, withReferences, "BPRE", GameSection::Source::Searched, true,
                        UnknownRelease::Search);
}
