#include "ImportBenchmarks.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BenchRom.h"
#include "BenchRuns.h"
#include "PngFile.h"
#include "SyscallFloor.h"
#include "pictures/Lz77Compressor.h"
#include "pictures/PictureReplacements.h"
#include "pictures/SpritePictures.h"
#include "rom/RomPointer.h"
#include "species/SpeciesRecord.h"
#include "write/RomJournal.h"
#include "write/RomWriter.h"

namespace {

using BenchRuns::Short;

// The whole import as the window makes it and its save, which writes the species and the new data as one
// step. The space is the same every time, at the end of the file: the free space search has a row of its
// own, and each save then writes the same bytes as the floor does.
struct Import {
    std::string png;
    const BenchRom* rom = nullptr;
    int64_t space = 0;

    // The plan of the whole save, or nothing with *problem set.
    [[nodiscard]] std::optional<WritePlan> Plan(std::string* problem) const {
        const PngFile::Read read = PngFile::FromFile(QString::fromStdString(png), [](int64_t w, int64_t h) {
            return PictureImport::SizeProblem(PictureImport::Kind::FrontSprite, false, w, h);
        });
        *problem = read.error;
        if (!problem->empty()) return std::nullopt;
        const SpeciesValues shown = ReadSpecies(rom->session, BenchRom::kShownSpecies);
        const auto offset = [](const std::string& text) { return RomPointer::ParseTarget(text); };
        PictureReplacements replaced;
        *problem = ReplacePicture(
                       PictureImport::Kind::FrontSprite, read.image, rom->session, BenchRom::kShownSpecies,
                       {offset(shown.sprite), offset(shown.palette), offset(shown.shinyPalette)}, replaced)
                       .error;
        if (!problem->empty()) return std::nullopt;
        SpeciesEdits edits = ShownSpeciesEdits(*rom);
        auto next = std::make_shared<int64_t>(space);
        const PicturesPlan pictures = PlanPictureReplacements(
            rom->session, BenchRom::kShownSpecies, replaced,
            [next](int64_t length) {
                const FreeSpaceFound found{*next, {}};
                *next += (length + 3) & ~int64_t{3};
                return found;
            },
            edits);
        *problem = pictures.error;
        if (!problem->empty()) return std::nullopt;
        WritePlan plan = PlanSpeciesSave(rom->session, BenchRom::kShownSpecies, edits).plan;
        plan.Append(pictures.bytes);
        return plan;
    }
};

// The shown species' front sprite as a PNG file, as a user would export it, edit it and bring it back.
bool WriteFrontPng(const BenchRom& rom, const std::string& path, std::vector<uint8_t>* tiles) {
    const SpeciesValues shown = ReadSpecies(rom.session, BenchRom::kShownSpecies);
    const Picture front =
        SpritePictures::ReadSprite(rom.path, RomPointer::ParseTarget(shown.sprite).value_or(0),
                                   RomPointer::ParseTarget(shown.palette).value_or(0));
    if (!front.ok()) return false;
    QImage image(front.width, front.height, QImage::Format_ARGB32);
    for (int y = 0; y < front.height; ++y) {
        for (int x = 0; x < front.width; ++x)
            image.setPixel(x, y, front.argb[static_cast<std::size_t>(y * front.width + x)]);
    }
    std::string problem;
    auto unpacked = SpritePictures::ReadUnpacked(rom.path, RomPointer::ParseTarget(shown.sprite).value_or(0),
                                                 2048, &problem);
    if (!unpacked) return false;
    *tiles = std::move(*unpacked);
    return image.save(QString::fromStdString(path), "PNG");
}

}  // namespace

void RegisterImportBenchmarks(const BenchRom& rom) {
    auto tiles = std::make_shared<std::vector<uint8_t>>();
    Import importer{rom.path + ".front.png", &rom, rom.session.FileSize - 0x10000};
    const bool written = WriteFrontPng(rom, importer.png, tiles.get());

    Short(benchmark::RegisterBenchmark("import", [importer, written](benchmark::State& state) {
        if (!written) state.SkipWithError("the front sprite could not be written as PNG");
        RomWriter writer(importer.rom->session);
        writer.SetBackupsEnabled(false);
        for (auto _ : state) {
            std::string problem;
            const std::optional<WritePlan> plan = importer.Plan(&problem);
            if (!plan) {
                state.SkipWithError(problem.c_str());
                break;
            }
            const WriteOutcome outcome = writer.Apply(*plan);
            if (!outcome.complete) {
                state.SkipWithError(outcome.error.c_str());
                break;
            }
        }
    }));
    Short(benchmark::RegisterBenchmark("import/floor", [importer, written](benchmark::State& state) {
        std::string problem;
        const std::optional<WritePlan> plan = written ? importer.Plan(&problem) : std::nullopt;
        if (!plan) {
            state.SkipWithError(("the import could not be planned: " + problem).c_str());
            return;
        }
        std::vector<SyscallFloor::Access> writes;
        RomJournal::Journal journal{importer.rom->session.FileSize, {}};
        for (const PlannedByte& byte : plan->bytes) {
            writes.push_back({byte.offset, 1, byte.value});
            journal.entries.push_back({byte.offset, byte.value});
        }
        const std::vector<uint8_t> journalBytes = RomJournal::Encode(journal);
        // The PNG file read whole through one opening, and the one writer's checks and reads before it
        // writes.
        std::error_code error;
        const auto pngSize = static_cast<int32_t>(std::filesystem::file_size(importer.png, error));
        const std::vector<SyscallFloor::Opening> png = {{true, {{0, pngSize, 0}}}};
        const std::vector<SyscallFloor::Opening> checks =
            SyscallFloor::WriterReads(importer.rom->session, writes);
        for (auto _ : state) {
            if (error || !SyscallFloor::Read(importer.png, png) ||
                !SyscallFloor::Read(importer.rom->path, checks) ||
                !SyscallFloor::JournaledWrite(importer.rom->path, writes, journalBytes)) {
                state.SkipWithError(
                    "a bare read of the PNG file or the ROM, or a write to it or its journal, failed");
                break;
            }
        }
    }));
    Short(benchmark::RegisterBenchmark("import/compress", [tiles](benchmark::State& state) {
        if (tiles->size() != 2048) state.SkipWithError("the front sprite's tiles could not be read");
        for (auto _ : state) {
            std::vector<uint8_t> packed = Lz77::Compress(*tiles);
            benchmark::DoNotOptimize(packed);
        }
    }));
}
