// The speed of Vornhal: each file operation beside its floor of bare system calls on the same bytes, whole
// flows through the main window, and the peak memory of the editor, summed up in one table.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QProcess>
#include <cstring>
#include <iostream>
#include <vector>

#include "BenchRom.h"
#include "CliBenchmarks.h"
#include "EggMoveBenchmarks.h"
#include "FlowBenchmarks.h"
#include "HugeInputBenchmarks.h"
#include "ImportBenchmarks.h"
#include "MoveBenchmarks.h"
#include "OffscreenMessages.h"
#include "OpenBenchmarks.h"
#include "OperationBenchmarks.h"
#include "SummaryTable.h"

namespace {

// Runs bench_memory from beside this executable and reads its two numbers.
std::optional<MemoryPeak> MeasureMemory(std::string* problem) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_memory"), {});
    if (!child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0) {
        *problem = "bench_memory did not finish: " + child.errorString().toStdString();
        return std::nullopt;
    }
    MemoryPeak memory;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        if (line.startsWith("start_kib=")) memory.afterStartKib = line.mid(10).toLongLong();
        if (line.startsWith("peak_kib=")) memory.peakKib = line.mid(9).toLongLong();
    }
    if (memory.peakKib <= 0) {
        *problem = "bench_memory gave no peak";
        return std::nullopt;
    }
    return memory;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Repetitions of different benchmarks are shuffled, so a burst of load from elsewhere on the machine
    // lands on an operation and its floor alike instead of on one of them; a flag given later overrides it.
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    bool showRaw = false;
    std::vector<char*> args = {argv[0], interleave};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--raw") == 0)
            showRaw = true;
        else
            args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;

    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    DropOffscreenSizeHintWarnings();

    std::string memoryProblem;
    const std::optional<MemoryPeak> memory = MeasureMemory(&memoryProblem);

    BenchFolder folder;
    if (!folder.valid()) {
        std::cerr << "bench_speed: cannot make a temporary folder with a copy of Data\n";
        return 1;
    }
    const std::optional<BenchRom> rom = WriteFireRedRom(folder);
    if (!rom) {
        std::cerr << "bench_speed: cannot write the fixture ROM\n";
        return 1;
    }
    const std::optional<ExpandedRom> expanded = WriteExpandedRom(folder);
    if (!expanded) {
        std::cerr << "bench_speed: cannot write the 32 MiB fixture ROM\n";
        return 1;
    }
    RegisterOperationBenchmarks(*rom);
    RegisterMoveBenchmarks(*rom, *expanded);
    RegisterImportBenchmarks(*rom);
    RegisterEggMoveBenchmarks(*rom);
    RegisterCliBenchmarks(folder, *rom);
    RegisterHugeInputBenchmarks(folder);
    RegisterOpenBenchmarks(folder);
    WindowFlows flows(folder, *rom);
    flows.Register();

    MedianCollector collector(showRaw);
    benchmark::RunSpecifiedBenchmarks(&collector);
    flows.Close();
    benchmark::Shutdown();

    std::cout
        << "\nVornhal speed on a 16 MiB FireRed-layout ROM. Medians; file operations in CPU time of the\n"
           "benchmark thread (system calls included), window flows in wall time. The floor is the same\n"
           "open / fstat / pread or pwrite / close calls on the same bytes; for the flat rows it is the "
           "time\n"
           "per entry of the 20-entry load. Checking and decoding the names tables, decoding the pictures,\n"
           "compressing an imported sprite and writing or reading JSON are work beyond their floors: they\n"
           "are timed alone from memory beneath them. The free space search runs on a 32 MiB ROM; its floor\n"
           "is one opening that reads what it reads.\n\n";
    const TableOutcome outcome = PrintTable(std::cout, collector.medians(), memory, memoryProblem);
    std::cout << "\n"
              << (outcome.errors > 0   ? "Some measurements failed."
                  : outcome.misses > 0 ? "Some targets were missed."
                  : outcome.notRun > 0 ? "Every target that ran was met."
                                       : "Every target was met.")
              << "\n";
    return outcome.errors > 0 ? 1 : 0;
}
