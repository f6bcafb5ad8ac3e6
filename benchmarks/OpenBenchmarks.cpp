#include "OpenBenchmarks.h"

#include <fstream>
#include <sstream>

#include "BenchRuns.h"
#include "RomBuilder.h"
#include "rom/RomOpener.h"

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

void RegisterOpening(const std::string& name, const std::string& rom, const std::string& ini, bool prepared) {
    BenchRuns::Short(
        benchmark::RegisterBenchmark(name.c_str(), [rom, ini, prepared](benchmark::State& state) {
            if (!prepared) state.SkipWithError("cannot write the ROM and its Data.ini");
            for (auto _ : state) {
                const OpenRomResult opened = OpenRomFile(rom, ini);
                if (!opened.session) {
                    state.SkipWithError(opened.error.c_str());
                    break;
                }
                benchmark::DoNotOptimize(opened.session->NameOffset);
            }
        }));
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
}
