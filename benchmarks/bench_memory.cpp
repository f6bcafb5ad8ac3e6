// The peak memory of the editor after it has opened the demo ROM and shown every species once. A process of
// its own, so that nothing the benchmarks allocate counts.

#include <sys/resource.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <cstdio>
#include <memory>

#include "BenchRom.h"
#include "Dialogs.h"
#include "Form1.h"
#include "OffscreenMessages.h"

namespace {

long PeakKib() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;  // kibibytes on Linux
}

int Fail(const char* what) {
    std::fprintf(stderr, "bench_memory: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    DropOffscreenSizeHintWarnings();

    BenchFolder folder;
    if (!folder.valid()) return Fail("cannot make a temporary folder with a copy of Data");
    const std::optional<std::string> rom = WriteDemoRom(folder);
    if (!rom) return Fail("cannot write the demo ROM");

    int problems = 0;
    Dialogs::SetMessageHook([&problems](const QString& text) {
        std::fprintf(stderr, "bench_memory: message: %s\n", qPrintable(text));
        ++problems;
    });

    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(folder.File("config")));
    auto window = std::make_unique<Form1>(QString::fromStdString(folder.DataFolder()));
    window->show();
    QApplication::processEvents();
    const long afterStart = PeakKib();

    Dialogs::QueueFileAnswer(QString::fromStdString(*rom));
    window->findChild<QPushButton*>(QStringLiteral("cmdOpen"))->click();
    QApplication::processEvents();
    if (!window->Session()) return Fail("the demo ROM did not open");
    auto* list = window->findChild<QListWidget*>(QStringLiteral("lstPokemon"));
    for (int row = 0; row < list->count(); ++row) {
        list->setCurrentRow(row);
        QApplication::processEvents();
    }
    const long peak = PeakKib();
    const int shown = list->count();
    window.reset();
    Dialogs::SetMessageHook(nullptr);

    if (problems > 0) return Fail("the window reported a problem");
    if (shown != 412) return Fail("the name list is not 412 entries long");
    std::printf("start_kib=%ld\npeak_kib=%ld\n", afterStart, peak);
    return 0;
}
