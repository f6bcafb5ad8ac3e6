#include "WindowFixture.h"
#include "write/RomJournal.h"

namespace {

int SpeedOf(WindowFixture& f, const std::string& path, int species) {
    return f.Bytes(path).at(DemoLayout().DataOffset + 28 * species + 3);
}

}  // namespace

// The bytes of every step, Undo and Redo and a journal's checks are RomWriterTest's.
class SafetyTest : public QObject {
    Q_OBJECT
private slots:
    // The question's three answers for each way the edits could be lost; a value the program sets is no edit.
    void unsavedEditsAreAskedAbout() {
        enum Trigger { kSelect, kOpen, kClose, kUndo };
        for (const Trigger trigger : {kSelect, kOpen, kClose, kUndo}) {
            for (const Dialogs::Answer answer :
                 {Dialogs::Answer::Save, Dialogs::Answer::Discard, Dialogs::Answer::Cancel}) {
                WindowFixture f;
                const std::string path = f.OpenDemo(5);
                const int before = SpeedOf(f, path, 5);
                f.Box("txtSpeed")->setText("300");  // set, and corrected to its limit, by the program
                QVERIFY(!f.Edited());
                if (trigger == kUndo) {  // a step to undo, from species 4
                    f.SelectSpecies(4);
                    f.Type("txtSpeed", "11");
                    f.Click("cmdSave");
                    f.SelectSpecies(5);
                }
                f.Type("txtSpeed", "77");
                f.answers = {answer};
                if (trigger == kSelect) f.SelectSpecies(9);
                if (trigger == kOpen) f.Open(path);
                if (trigger == kClose) f.window().close();
                if (trigger == kUndo) f.Trigger("mnuUndo");
                QVERIFY(f.questions.size() == 1 && f.questions[0].contains("Save the changes to"));
                const bool stayed = answer == Dialogs::Answer::Cancel;
                QCOMPARE(SpeedOf(f, path, 5), answer == Dialogs::Answer::Save ? 77 : before);
                QCOMPARE(f.Box("txtSpeed")->text() == "77" && f.Edited(), stayed);
                if (trigger == kSelect) QCOMPARE(f.List("lstPokemon")->currentRow(), stayed ? 5 : 9);
                if (trigger == kClose) QCOMPARE(f.window().isVisible(), stayed);
                // Undo goes on after a Discard only: a Save is the newest step, which it leaves in place.
                if (trigger == kUndo) QCOMPARE(SpeedOf(f, path, 4) == 11, answer != Dialogs::Answer::Discard);
            }
        }
    }

    // Each step goes back to its species; another ROM starts a history of its own.
    void undoAndRedoAcrossTwoSpecies() {
        WindowFixture f;
        const std::string path = f.OpenDemo(4);
        const int four = SpeedOf(f, path, 4), seven = SpeedOf(f, path, 7);
        for (const auto& [species, speed] : {std::pair{4, "44"}, {7, "77"}}) {
            f.SelectSpecies(species);
            f.Type("txtSpeed", speed);
            f.Click("cmdSave");
        }
        QCOMPARE(f.Find<QAction>("mnuUndo")->text(), "Undo Save " + f.List("lstPokemon")->item(7)->text());
        QVERIFY(f.Activate());
        f.SelectSpecies(0);
        QTest::keySequence(&f.window(), QKeySequence::Undo);
        QCOMPARE(f.Values("lstPokemon txtSpeed"), QStringLiteral("7 %1").arg(seven));
        QTest::keySequence(&f.window(), QKeySequence::Undo);
        QVERIFY(f.Values("lstPokemon txtSpeed") == QStringLiteral("4 %1").arg(four) &&
                !f.Find<QAction>("mnuUndo")->isEnabled());
        QTest::keySequence(&f.window(), QKeySequence::Redo);
        QTest::keySequence(&f.window(), QKeySequence::Redo);
        QVERIFY(SpeedOf(f, path, 4) == 44 && SpeedOf(f, path, 7) == 77);
        f.Open(path);
        QVERIFY(!f.Find<QAction>("mnuUndo")->isEnabled() && !f.Find<QAction>("mnuRedo")->isEnabled() &&
                f.messages.isEmpty());
    }

    // Restore, Keep or Cancel; a journal that does not fit is told about and left, and the ROM opens.
    void anInterruptedWriteIsOfferedBack() {
        for (const Dialogs::Answer answer :
             {Dialogs::Answer::Restore, Dialogs::Answer::Keep, Dialogs::Answer::Cancel}) {
            WindowFixture f;
            const std::string path = f.WriteRom(RomBuilder(DemoLayout()));
            const int64_t at = DemoLayout().DataOffset + 3;
            const uint8_t old = f.Bytes(path)[at];
            QCOMPARE(RomJournal::Write(path, {1 << 20, {{at, 0x99}}}), std::string());
            f.answers = {answer};
            f.Open(path);
            QVERIFY(f.questions.size() == 1 &&
                    f.questions[0].contains("was interrupted before it was complete (1 bytes)"));
            QCOMPARE(f.Bytes(path)[at], answer == Dialogs::Answer::Restore ? 0x99 : old);
            const bool cancelled = answer == Dialogs::Answer::Cancel;
            QVERIFY(std::filesystem::exists(RomJournal::PathFor(path)) == cancelled &&
                    f.window().Session().has_value() != cancelled);
            if (!cancelled) continue;
            f.WriteFile("test.gba.journal", "not a journal");
            f.Open(path);
            QVERIFY(f.OneMessage("does not fit") && f.window().Session() && f.questions.size() == 1);
        }
    }
};

QTEST_MAIN(SafetyTest)
#include "tst_safety.moc"
