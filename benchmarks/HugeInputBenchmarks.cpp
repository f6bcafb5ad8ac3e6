#include "HugeInputBenchmarks.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <memory>

#include "Dialogs.h"
#include "Form1.h"
#include "ReadINI.h"
#include "RomBuilder.h"
#include "text/ReferenceLists.h"
#include "text/SpeciesDataFile.h"

namespace {

constexpr int kNames = 100000;

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

std::string NumberedLines(const char* stem) {
    std::string text;
    for (int line = 0; line < kNames; ++line) text += stem + std::to_string(line) + "\r\n";
    return text;
}

benchmark::internal::Benchmark* Timed(benchmark::internal::Benchmark* b) {
    return b->Repetitions(5)->MinTime(0.1)->ReportAggregatesOnly(true)->UseRealTime()->Unit(
        benchmark::kMillisecond);
}

}  // namespace

void RegisterHugeInputBenchmarks(const BenchFolder& folder) {
    const std::string listPath = folder.File("huge-list.txt");
    const std::string speciesPath = folder.File("huge.pkmn");
    const bool written =
        WriteText(listPath, NumberedLines("Entry number ")) &&
        WriteText(speciesPath, "Abc|1|2|3|4|5|6|7|8|" + std::string(1 << 20, '9') + "|0|0|0|0|0|9|0|0|0|0");

    Timed(benchmark::RegisterBenchmark("huge/list-file", [listPath, written](benchmark::State& state) {
        if (!written) state.SkipWithError("cannot write the list file");
        for (auto _ : state) benchmark::DoNotOptimize(LoadListFile(listPath));
    }));

    Timed(benchmark::RegisterBenchmark("huge/species-file", [speciesPath, written](benchmark::State& state) {
        if (!written) state.SkipWithError("cannot write the species file");
        SpeciesListSizes sizes;
        sizes.types = 18, sizes.items = 377, sizes.abilities = 78, sizes.eggTypes = 16;
        for (auto _ : state) {
            const SpeciesFileParse parse = ParseSpeciesFile(ReadINI::ReadTextFile(speciesPath), sizes);
            if (parse.values) state.SkipWithError("the megabyte field was taken");
        }
    }));

    Timed(benchmark::RegisterBenchmark("huge/builder", [](benchmark::State& state) {
        for (auto _ : state) benchmark::DoNotOptimize(RomBuilder(FireRedLayout()).bytes().data());
    }));

    // The window reads its lists at start-up; with the ROM's own names off, the list files serve.
    const std::string data = folder.File("huge-data");
    std::error_code error;
    std::filesystem::copy(folder.DataFolder(), data, std::filesystem::copy_options::recursive, error);
    bool prepared = !error && ReadINI::WriteIniValue(data + "/Data.ini", "Main", "NamesFromRom", "0");
    for (const char* file : {"Items", "Abilities", "Types", "EggTypes", "Attacks"})
        prepared = prepared && WriteText(data + "/" + file + ".txt", NumberedLines("Name number "));
    const std::string rom = folder.File("huge-demo.gba");
    prepared = prepared && RomBuilder(DemoLayout()).WriteTo(rom);

    Timed(benchmark::RegisterBenchmark("huge/window", [data, rom, prepared](benchmark::State& state) {
        if (!prepared) state.SkipWithError("cannot prepare the Data folder of huge lists");
        for (auto _ : state) {
            auto window = std::make_unique<Form1>(QString::fromStdString(data));
            window->show();
            Dialogs::QueueFileAnswer(QString::fromStdString(rom));
            window->findChild<QPushButton*>(QStringLiteral("cmdOpen"))->click();
            QApplication::processEvents();
            if (!window->Session()) state.SkipWithError("the demo ROM did not open");
            state.PauseTiming();
            window.reset();
            QApplication::processEvents();
            state.ResumeTiming();
        }
    }));
}
