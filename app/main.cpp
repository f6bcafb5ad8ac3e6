#include <QApplication>

#include "Form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vornhal"));
    Form1 window(Form1::DefaultDataFolder());
    window.show();
    return QApplication::exec();
}
