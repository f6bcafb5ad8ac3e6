#include "Form1.h"

#include <QCoreApplication>

Form1::Form1(const QString& dataFolder, QWidget* parent) : QMainWindow(parent) {
    Q_UNUSED(dataFolder);
    setWindowTitle(QStringLiteral("Vornhal"));
}

QString Form1::DefaultDataFolder() { return QCoreApplication::applicationDirPath() + QStringLiteral("/Data"); }
