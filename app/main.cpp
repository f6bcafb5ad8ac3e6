#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QLabel>
#include <QTimer>
#include <cstdio>
#include <string_view>

#include "Form1.h"

namespace {

// For the tests of an installed copy only: after this many milliseconds the program prints the window's
// caption, status message and ROM line and quits, so a script sees that it started and found its Data.
constexpr char kTestQuitVariable[] = "VORNHAL_TEST_QUIT_AFTER_MS";

void QuitForTestsLater(const Form1& window) {
    bool isNumber = false;
    const int delay = qEnvironmentVariableIntValue(kTestQuitVariable, &isNumber);
    if (!isNumber) return;
    QTimer::singleShot(delay, &window, [&window] {
        // The caption as the title bar shows it, with the mark of unsaved edits in place of "[*]".
        const QString caption = window.windowTitle().replace(
            QStringLiteral("[*]"), window.isWindowModified() ? QStringLiteral("*") : QString());
        for (const QString& text : {caption, window.findChild<QLabel*>("lblStatus")->text(),
                                    window.findChild<QLabel*>("lblRom")->text()})
            std::printf("%s\n", qUtf8Printable(text));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
}

void DescribeArguments(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Edits the species data in Game Boy Advance ROMs of Ruby, Sapphire, FireRed, "
                       "LeafGreen and Emerald."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("ROM"), QStringLiteral("A .gba file to open."),
                                 QStringLiteral("[ROM]"));
}

// --help and --version answer in the terminal, also where there is no display for a window.
bool AsksOnlyForText(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        for (std::string_view option : {"-h", "--help", "--help-all", "-v", "--version"})
            if (argument == option) return true;
    }
    return false;
}

void NameTheProgram() {
    QCoreApplication::setOrganizationName(QStringLiteral("Vornhal"));
    QCoreApplication::setApplicationName(QStringLiteral("Vornhal"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORNHAL_VERSION));
}

}  // namespace

int main(int argc, char* argv[]) {
    if (AsksOnlyForText(argc, argv)) {
        QCoreApplication app(argc, argv);
        NameTheProgram();
        QCommandLineParser parser;
        DescribeArguments(parser);
        parser.process(app);  // prints the answer and ends the program
        return 0;
    }

    QApplication app(argc, argv);
    NameTheProgram();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/vornhal.png")));
    QCommandLineParser parser;
    DescribeArguments(parser);
    parser.process(app);
    const QStringList roms = parser.positionalArguments();
    if (roms.size() > 1) {
        std::fprintf(stderr, "Vornhal opens one ROM at a time.\n\n%s", qUtf8Printable(parser.helpText()));
        return 2;
    }

    Form1 window(Form1::DefaultDataFolder());
    window.show();
    // The ROM is opened once the window is up and running, through the same checks and messages as the
    // button. The tests' timer starts just before, so it runs out during a message box too.
    QTimer::singleShot(0, &window, [&window, roms] {
        QuitForTestsLater(window);
        if (!roms.isEmpty()) window.OpenRomPath(roms.constFirst());
    });
    return QApplication::exec();
}
