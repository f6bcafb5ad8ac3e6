#include "FlowBenchmarks.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>

#include "BenchRom.h"
#include "Dialogs.h"
#include "Form1.h"
#include "Form3.h"

namespace {

// Flows take milliseconds: fewer repetitions, each long enough for a stable mean.
constexpr int kRepetitions = 9;
constexpr double kMinSeconds = 0.2;

benchmark::internal::Benchmark* Flow(benchmark::internal::Benchmark* b) {
    // Wall time: what the user waits for, painting included.
    return b->Repetitions(kRepetitions)
        ->MinTime(kMinSeconds)
        ->ReportAggregatesOnly(true)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
}

template <class T>
T* Child(Form1& window, const char* name) {
    T* child = window.findChild<T*>(QString::fromLatin1(name));
    // A renamed control would otherwise end the run with a crash instead of its name.
    if (!child) qFatal("bench_speed: the main window has no %s", name);
    return child;
}

}  // namespace

WindowFlows::WindowFlows(const BenchFolder& folder, const BenchRom& rom)
    : dataFolder_(folder.DataFolder()), romPath_(rom.path) {
    // The recent ROMs and the window's place go to the bench folder, not to the user's settings.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(folder.File("config")));
    Dialogs::SetMessageHook([this](const QString& text) { messages_ << text; });
    // A report window that came up would block the run; recording it is enough to fail the flow.
    Dialogs::SetModalHook(
        [this](QDialog* dialog) { messages_ << QStringLiteral("modal ") + dialog->objectName(); });
}

WindowFlows::~WindowFlows() {
    Close();
    Dialogs::SetMessageHook(nullptr);
    Dialogs::SetModalHook(nullptr);
}

void WindowFlows::Close() {
    window_.reset();
    QApplication::processEvents();
}

std::string WindowFlows::TakeProblem() {
    const std::string first = messages_.isEmpty() ? std::string() : messages_.first().toStdString();
    messages_.clear();
    return first;
}

Form1& WindowFlows::OpenWindow() {
    if (!window_) {
        window_ = std::make_unique<Form1>(QString::fromStdString(dataFolder_));
        window_->show();
        QApplication::processEvents();
    }
    if (!window_->Session()) {
        Dialogs::QueueFileAnswer(QString::fromStdString(romPath_));
        Child<QPushButton>(*window_, "cmdOpen")->click();
        QApplication::processEvents();
    }
    return *window_;
}

void WindowFlows::Register() {
    Flow(benchmark::RegisterBenchmark("flow/start", [this](benchmark::State& state) {
        const QString data = QString::fromStdString(dataFolder_);
        for (auto _ : state) {
            auto window = std::make_unique<Form1>(data);
            window->show();
            QApplication::processEvents();
            state.PauseTiming();
            window.reset();
            QApplication::processEvents();
            state.ResumeTiming();
        }
        if (const std::string problem = TakeProblem(); !problem.empty()) state.SkipWithError(problem.c_str());
    }));

    Flow(benchmark::RegisterBenchmark("flow/open", [this](benchmark::State& state) {
        Form1& window = OpenWindow();
        QPushButton* open = Child<QPushButton>(window, "cmdOpen");
        QListWidget* list = Child<QListWidget>(window, "lstPokemon");
        const QString path = QString::fromStdString(romPath_);
        for (auto _ : state) {
            Dialogs::QueueFileAnswer(path);
            open->click();
            QApplication::processEvents();
        }
        if (const std::string problem = TakeProblem(); !problem.empty()) state.SkipWithError(problem.c_str());
        if (!window.Session() || list->currentRow() != 0) state.SkipWithError("species 0 is not shown");
    }));

    Flow(benchmark::RegisterBenchmark("flow/select", [this](benchmark::State& state) {
        QListWidget* list = Child<QListWidget>(OpenWindow(), "lstPokemon");
        // Every species in turn; row 0 is left out so that the first selection after an open is a change.
        int next = 0;
        for (auto _ : state) {
            const int row = 1 + next;
            next = (next + 1) % (list->count() - 1);
            list->setCurrentRow(row);
            QApplication::processEvents();
        }
        if (const std::string problem = TakeProblem(); !problem.empty()) state.SkipWithError(problem.c_str());
    }));

    Flow(benchmark::RegisterBenchmark("flow/save", [this](benchmark::State& state) {
        Form1& window = OpenWindow();
        window.SettingsWindow()->SetShowSave(false);
        QListWidget* list = Child<QListWidget>(window, "lstPokemon");
        list->setCurrentRow(BenchRom::kShownSpecies);
        QApplication::processEvents();
        QPushButton* save = Child<QPushButton>(window, "cmdSave");
        for (auto _ : state) {
            save->click();
            QApplication::processEvents();
        }
        if (const std::string problem = TakeProblem(); !problem.empty()) state.SkipWithError(problem.c_str());
        if (list->currentRow() != BenchRom::kShownSpecies)
            state.SkipWithError("the saved species is not shown");
    }));
}
