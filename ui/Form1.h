#pragma once

#include <QMainWindow>

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(const QString& dataFolder, QWidget* parent = nullptr);
    static QString DefaultDataFolder();
};
