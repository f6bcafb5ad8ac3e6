#include <QAction>
#include <QApplication>
#include <filesystem>

#include "write/RomJournal.h"
#include "WindowFixture.h"

namespace {

constexpr int kSpeed = 3;  // byte of the record

int SpeedOf(WindowFixture& f, const std::string& path, int species) {
    return f.Bytes(path).at(DemoLayout().DataOffset + 28 * species + kSpeed);
}

// Types a new speed as the user would, so that it counts as an edit.
void TypeSpeed(WindowFixture& f, const QString& speed) {
    f.Box("txtSpeed")->selectAll();
    QTest::keyClicks(f.Box("txtSpeed"), speed);
}

QAction* Action(WindowFixture& f, const char* name) {
    return f.window().findChild<QAction*>(name);
}

}  // namespace

class SafetyTest : public QObject {
    Q_OBJECT
private slots:
    void valuesTheProgramSetsAreNoEdits() {
        WindowFixture f;
        f.OpenDemo(5);
        QCOMPARE(f.Caption().endsWith('*'), false);
        f.Box("txtSpeed")->setText("300");  // set, and corrected to its limit, by the program
        f.SelectSpecies(6);
        QVERIFY(f.questions.isEmpty());
        TypeSpeed(f, "12");
        QVERIFY(f.Caption().endsWith('*'));
    }

    // The question's three answers for each way the edits could be lost.
    void unsavedEditsAreAskedAbout() {
        enum Trigger { kSelect, kOpen, kClose, kUndo };
        for (const Trigger trigger : {kSelect, kOpen, kClose, kUndo}) {
            for (const Dialogs::Answer answer :
                 {Dialogs::Answer::Save, Dialogs::Answer::Discard, Dialogs::Answer::Cancel}) {
                const QString name = QStringLiteral("trigger %1 answer %2").arg(trigger).arg(int(answer));
                WindowFixture f;
                const std::string path = f.OpenDemo(5);
                const int before = SpeedOf(f, path, 5);
                if (trigger == kUndo) {  // a step to undo, from species 4
                    f.SelectSpecies(4);
                    TypeSpeed(f, "11");
                    f.Click("cmdSave");
                    f.SelectSpecies(5);
                }
                TypeSpeed(f, "77");
                f.answers = {answer};
                switch (trigger) {
                    case kSelect:
                        f.SelectSpecies(9);
                        break;
                    case kOpen:
                        f.Open(path);
                        break;
                    case kClose:
                        f.window().close();
                        break;
                    case kUndo:
                        Action(f, "mnuUndo")->trigger();
                        break;
                }
                QVERIFY2(f.questions.size() == 1 && f.questions[0].contains("Save the changes to"),
                         qPrintable(name + f.questions.join("/")));
                const bool stayed = answer == Dialogs::Answer::Cancel;
                QCOMPARE(SpeedOf(f, path, 5), answer == Dialogs::Answer::Save ? 77 : before);
                if (stayed) QVERIFY(f.Box("txtSpeed")->text() == "77" && f.Caption().endsWith('*'));
                if (trigger == kSelect) QCOMPARE(f.List("lstPokemon")->currentRow(), stayed ? 5 : 9);
                if (trigger == kClose) QCOMPARE(f.window().isVisible(), stayed);
                // Undo goes on after a Discard only: a Save is the newest step, which it leaves in place.
                if (trigger == kUndo) QCOMPARE(SpeedOf(f, path, 4) == 11, answer != Dialogs::Answer::Discard);
            }
        }
    }

    void undoAndRedoAcrossTwoSpecies() {
        WindowFixture f;
        const std::string path = f.OpenDemo(4);
        const int four = SpeedOf(f, path, 4), seven = SpeedOf(f, path, 7);
        QVERIFY(!Action(f, "mnuUndo")->isEnabled());
        TypeSpeed(f, "44");
        f.Click("cmdSave");
        f.SelectSpecies(7);
        TypeSpeed(f, "77");
        f.Click("cmdSave");
        const QString seventh = f.List("lstPokemon")->item(7)->text();
        f.window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window()));
        QCOMPARE(Action(f, "mnuUndo")->text(), "Undo Save " + seventh);
        f.SelectSpecies(0);
        QTest::keySequence(&f.window(), QKeySequence::Undo);
        QCOMPARE(SpeedOf(f, path, 7), seven);
        QCOMPARE(f.Values("lstPokemon txtSpeed"), QStringLiteral("7 %1").arg(seven));
        QTest::keySequence(&f.window(), QKeySequence::Undo);
        QVERIFY(SpeedOf(f, path, 4) == four && !Action(f, "mnuUndo")->isEnabled());
        QCOMPARE(f.List("lstPokemon")->currentRow(), 4);
        QTest::keySequence(&f.window(), QKeySequence::Redo);
        QTest::keySequence(&f.window(), QKeySequence::Redo);
        QVERIFY(SpeedOf(f, path, 4) == 44 && SpeedOf(f, path, 7) == 77);
        // Opening another ROM starts a history of its own.
        f.Open(path);
        QVERIFY(!Action(f, "mnuUndo")->isEnabled() && !Action(f, "mnuRedo")->isEnabled());
        QVERIFY(f.messages.isEmpty());
    }

    void anInterruptedWriteIsOfferedBack() {
        for (const Dialogs::Answer answer :
             {Dialogs::Answer::Restore, Dialogs::Answer::Keep, Dialogs::Answer::Cancel}) {
            WindowFixture f;
            const std::string path = f.WriteRom(RomBuilder(DemoLayout()));
            const int64_t at = DemoLayout().DataOffset + kSpeed;
            const uint8_t old = f.Bytes(path)[at];
            QCOMPARE(RomJournal::Write(path, {1 << 20, {{at, 0x99}}}), std::string());
            f.answers = {answer};
            f.Open(path);
            QVERIFY(f.questions.size() == 1 && f.questions[0].contains("was interrupted"));
            QCOMPARE(f.Bytes(path)[at], answer == Dialogs::Answer::Restore ? 0x99 : old);
            QCOMPARE(std::filesystem::exists(RomJournal::PathFor(path)), answer == Dialogs::Answer::Cancel);
            QCOMPARE(f.window().Session().has_value(), answer != Dialogs::Answer::Cancel);
        }
        // One that does not fit is told about, left, and the ROM opens as it is.
        WindowFixture f;
        const std::string path = f.WriteRom(RomBuilder(DemoLayout()));
        f.WriteFile("test.gba.journal", "not a journal");
        f.Open(path);
        QVERIFY(f.questions.isEmpty() && f.messages.size() == 1 && f.messages[0].contains("does not fit"));
        QVERIFY(f.window().Session() && std::filesystem::exists(RomJournal::PathFor(path)));
    }

    void aFileChangedBehindTheEditorIsNotWritten() {
        WindowFixture f;
        const std::string path = f.OpenDemo(5);
        RomBuilder other(FireRedLayout());
        other.bytes().resize(1 << 20);
        f.WriteRom(other);
        TypeSpeed(f, "12");
        f.Click("cmdSave");
        QVERIFY(f.messages.size() == 1 && f.messages[0].contains("has changed since it was opened"));
        QVERIFY(f.Bytes(path) == other.bytes() && f.Caption().endsWith('*'));
    }
};

QTEST_MAIN(SafetyTest)
#include "tst_safety.moc"
