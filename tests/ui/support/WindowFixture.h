#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>

#include <memory>
#include <string>

#include "Form1.h"
#include "RomBuilder.h"
#include "TempDir.h"

class QDialog;

// The main window on a private copy of the shipped Data folder, with every dialog answered by the test:
// messages are collected, modal windows are recorded instead of blocking, file dialogs take queued answers.
class WindowFixture {
public:
    WindowFixture();
    ~WindowFixture();

    Form1& window() { return *window_; }
    std::string DataFolder() const;
    std::string IniPath() const;
    std::string TempFile(const std::string& name) const { return temp_.File(name); }

    // Writes the builder's ROM into the temporary folder and returns its path.
    std::string WriteRom(const RomBuilder& builder, const std::string& name = "test.gba");
    // Presses "Open ROM..." and answers the file dialog with path (an empty path cancels).
    void Open(const std::string& path);
    void Click(const char* buttonName);
    void SelectSpecies(int index);

    template <class T>
    T* Find(const char* name) {
        T* child = window_->findChild<T*>(QString::fromLatin1(name));
        if (!child) qFatal("no child %s", name);
        return child;
    }
    QLineEdit* Box(const char* name) { return Find<QLineEdit>(name); }
    QComboBox* Combo(const char* name) { return Find<QComboBox>(name); }
    QListWidget* List(const char* name) { return Find<QListWidget>(name); }

    QStringList messages;       // critical messages, in order
    QList<QDialog*> shownModal;  // modal windows, in order

private:
    testsupport::TempDir temp_;
    std::unique_ptr<Form1> window_;
};
