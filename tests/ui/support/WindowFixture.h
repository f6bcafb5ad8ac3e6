#pragma once

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <functional>
#include <memory>

#include "Dialogs.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "Form5.h"
#include "ReadINI.h"
#include "RomBuilder.h"
#include "SpritePreview.h"
#include "TempDir.h"
#include "TestFiles.h"

// The main window on a copy of the Data folder; messages and modal windows are recorded, files answered.
class WindowFixture {
public:
    // prepareData may change the copied Data folder before the window reads it.
    explicit WindowFixture(const std::function<void(const std::string& dataFolder)>& prepareData = {});
    ~WindowFixture();

    Form1& window() { return *window_; }
    // Keyboard shortcuts reach only the active window. The long wait is a ceiling for a loaded machine, not a
    // measure: offscreen, activation takes a turn of the event loop.
    [[nodiscard]] bool Activate() {
        window().activateWindow();
        return QTest::qWaitForWindowActive(&window(), 60000);
    }
    // The caption as shown: "*" where the title's placeholder stands while there are unsaved edits.
    QString Caption() const {
        return window_->windowTitle().replace(QStringLiteral("[*]"),
                                              window_->isWindowModified() ? QStringLiteral("*") : QString());
    }
    bool Edited() const { return window_->isWindowModified(); }
    std::string DataFolder() const { return (temp_.path() / "Data").string(); }
    std::string IniPath() const { return DataFolder() + "/Data.ini"; }
    std::string ConfigFolder() const { return config_.path().string(); }
    std::string TempFile(const std::string& name) const { return temp_.File(name); }

    std::vector<uint8_t> Bytes(const std::string& path) const { return testsupport::ReadFileBytes(path); }
    std::string WriteFile(const std::string& name, const std::string& bytes);
    std::string WriteRom(const RomBuilder& rom, const std::string& name = "test.gba") {
        return WriteFile(name, {rom.bytes().begin(), rom.bytes().end()});
    }
    // Opens rom as test.gba at a species and returns its path.
    std::string OpenDemo(int species = 0, const RomBuilder& rom = RomBuilder(DemoLayout())) {
        Open(WriteRom(rom));
        SelectSpecies(species);
        return TempFile("test.gba");
    }
    // Presses a button and answers its file dialog with path (an empty path cancels).
    void ClickWithFile(const char* button, const std::string& path) {
        Dialogs::QueueFileAnswer(QString::fromStdString(path));
        Click(button);
    }
    void Open(const std::string& path) { ClickWithFile("cmdOpen", path); }
    void Click(const char* button) { Press(window_.get(), button); }
    static void Press(QWidget* in, const char* button) {
        QTest::mouseClick(in->findChild<QAbstractButton*>(button), Qt::LeftButton);
    }
    void Trigger(const char* action) { Find<QAction>(action)->trigger(); }
    void SelectSpecies(int index) { List("lstPokemon")->setCurrentRow(index); }
    // Replaces a box's text key by key, as the user would, so that it counts as an edit.
    void Type(const QString& box, const QString& text) {
        Box(box)->selectAll();
        QTest::keyClicks(Box(box), text);
    }
    QString Status() { return Find<QLabel>("lblStatus")->text(); }
    // A note label's text while it is shown, "" while it is hidden.
    QString Note(const QString& label) {
        return Find<QLabel>(label)->isHidden() ? QString() : Find<QLabel>(label)->text();
    }
    // True when exactly one message was shown since the last call and it holds part; forgets the messages.
    bool OneMessage(const QString& part);

    // Box texts, list rows and choice positions (or texts) of the named controls, space-separated.
    QString Values(const QString& names, bool choiceTexts = false);
    // The texts of a list's rows, joined by '|'.
    QString Rows(const QString& list);
    // Everything the user sees of the window, to show that a refusal changed nothing.
    QStringList Snapshot();

    template <class T>
    T* Find(const QString& name) {
        T* child = window_->findChild<T*>(name);
        if (!child) qFatal("no child %s", qPrintable(name));
        return child;
    }
    QLineEdit* Box(const QString& name) { return Find<QLineEdit>(name); }
    QComboBox* Combo(const QString& name) { return Find<QComboBox>(name); }
    QListWidget* List(const QString& name) { return Find<QListWidget>(name); }

    QStringList messages;            // critical messages, in order
    QStringList questions;           // questions asked, in order
    QList<Dialogs::Answer> answers;  // the next answers to questions; Discard when none is left
    QList<QDialog*> shownModal;      // modal windows, in order

private:
    testsupport::TempDir temp_;
    testsupport::TempDir config_;
    std::unique_ptr<Form1> window_;
};
