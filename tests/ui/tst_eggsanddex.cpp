#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "Form5.h"
#include "GameText.h"
#include "species/SpeciesEggMoves.h"
#include "WindowFixture.h"

namespace {

QPlainTextEdit* Text(Form5* more, const char* name) {
    return more->findChild<QPlainTextEdit*>(name);
}

QString Status(Form5* more, const char* name) {
    auto* label = more->findChild<QLabel*>(name);
    return label->isHidden() ? QString() : label->text();
}

// The first species with a block of at least two egg moves.
int WithBlock(const EditorSession& session) {
    for (int s = 1;; ++s) {
        if (ReadSpeciesEggMoves(session, s).moves.value_or(std::vector<int>{}).size() >= 2) return s;
    }
}

}  // namespace

class EggsAndDexTest : public QObject {
    Q_OBJECT
private slots:
    // The list names the moves; a removed move is saved in place with the rest of the species; an eleventh is
    // refused with a message; species 0 has no egg moves, and says why.
    void eggMovesAreEditedAndSaved() {
        WindowFixture f;
        const std::string path = f.OpenDemo(0);
        Form5* more = f.window().MoreDataWindow();
        QVERIFY(!f.List("lstEggMoves")->isEnabled());
        QVERIFY(Status(more, "lblEggStatus").startsWith("Species 0 can have no egg moves"));
        const int species = WithBlock(*f.window().Session());
        f.SelectSpecies(species);
        const std::vector<int> moves = *ReadSpeciesEggMoves(*f.window().Session(), species).moves;
        QListWidget* list = f.List("lstEggMoves");
        QCOMPARE(list->count(), int(moves.size()));
        QCOMPARE(list->item(0)->text(), f.Combo("cmbANames")->itemText(moves[0]));

        list->setCurrentRow(0);
        WindowFixture::Press(more, "cmdRemoveEggMove");
        QVERIFY(f.Caption().endsWith('*'));
        const std::vector<uint8_t> before = f.Bytes(path);
        f.Click("cmdSave");
        QVERIFY(f.Find<QLabel>("lblStatus")->text().contains(" and egg moves: "));
        const std::vector<int> kept(moves.begin() + 1, moves.end());
        QCOMPARE(ReadSpeciesEggMoves(*f.window().Session(), species).moves, kept);
        // Besides the species' record (whose unused EV bits a save clears), only the egg move table changes.
        const int64_t table = DemoLayout().EggMoves;
        const int64_t record = DemoLayout().DataOffset + 28 * int64_t{species};
        for (const int64_t at : testsupport::ChangedOffsets(before, f.Bytes(path))) {
            const bool inRecord = at >= record && at < record + 28;
            QVERIFY2(inRecord || (at >= table && at < table + 0x1000), qPrintable(QString::number(at, 16)));
        }

        f.Combo("cmbEggMove")->setCurrentIndex(33);
        while (list->count() < 10) WindowFixture::Press(more, "cmdAddEggMove");
        QCOMPARE(list->item(9)->text(), f.Combo("cmbANames")->itemText(33));
        QVERIFY(f.messages.isEmpty());
        WindowFixture::Press(more, "cmdAddEggMove");
        QCOMPARE(list->count(), 10);
        QVERIFY(f.messages.size() == 1 && f.messages.takeFirst().contains("at most 10 egg moves"));

        // Ten no longer fit where the table is: the save moves it, Undo and Redo take it back and forth.
        f.Click("cmdSave");
        QVERIFY(f.Find<QLabel>("lblStatus")->text().contains("; the egg move table moved to 0x"));
        const auto place = [&f] { return f.window().Session()->Tables.eggMoves.where.value().table; };
        const int64_t moved = place();
        QVERIFY(moved != table && list->count() == 10);
        f.window().findChild<QAction*>("mnuUndo")->trigger();
        QCOMPARE(place(), table);
        QCOMPARE(list->count(), int(kept.size()));
        f.window().findChild<QAction*>("mnuRedo")->trigger();
        QCOMPARE(place(), moved);
        QCOMPARE(list->count(), 10);
    }

    // The entry as stored; edits saved in place; a description longer than the game shows asks first.
    void pokedexEntryIsEditedAndSaved() {
        WindowFixture f;
        const std::string path = f.OpenDemo(40);
        Form5* more = f.window().MoreDataWindow();
        const RomLayout l = DemoLayout();
        const int64_t entry = l.DexEntries + l.DexEntrySize * 40;
        QCOMPARE(f.Find<QLineEdit>("txtNational")->text(), QStringLiteral("40"));
        QVERIFY(Text(more, "txtDescription2")->isHidden());
        const std::vector<uint8_t> before = f.Bytes(path);

        more->findChild<QLineEdit*>("txtCategory")->setText(QStringLiteral("Fluffy"));
        more->findChild<QLineEdit*>("txtHeight")->setText(QStringLiteral("17"));
        Text(more, "txtDescription")->setPlainText(QStringLiteral("It\u2019s \u201Cw\u00E9\u201D\nA{5E}."));
        QVERIFY(f.Caption().endsWith('*'));
        f.Click("cmdSave");
        QVERIFY(f.questions.isEmpty());
        std::vector<uint8_t> expected = before;
        const std::vector<uint8_t> category = {0xC0, 0xE0, 0xE9, 0xDA, 0xDA, 0xED, 0xFF};
        std::copy(category.begin(), category.end(), expected.begin() + entry);
        expected[size_t(entry + 12)] = 17;
        expected[size_t(entry + 13)] = 0;
        const std::vector<uint8_t> text = {0xC3, 0xE8, 0xB4, 0xE7, 0x00, 0xB1, 0xEB,
                                           0x1B, 0xB2, 0xFE, 0xBB, 0x5E, 0xAD, 0xFF};
        const auto& bytes = before;
        const int64_t description = int64_t(bytes[size_t(entry + 16)] | bytes[size_t(entry + 17)] << 8 |
                                            bytes[size_t(entry + 18)] << 16);
        std::copy(text.begin(), text.end(), expected.begin() + description);
        QCOMPARE(testsupport::Differences(expected, f.Bytes(path)), std::string());
        QVERIFY(f.Find<QLabel>("lblStatus")->text().contains(QStringLiteral("Pok\u00E9dex entry")));

        // Four lines, one of them long: the user is asked, and Cancel saves nothing.
        Text(more, "txtDescription")
            ->setPlainText(QStringLiteral("A\nB\nC\n") + QString(50, QLatin1Char('x')));
        QVERIFY(more->findChild<QLabel*>("lblDescriptionGuide")->text().contains("It has 4 lines"));
        f.answers = {Dialogs::Answer::Cancel};
        const std::vector<uint8_t> saved = f.Bytes(path);
        f.Click("cmdSave");
        QCOMPARE(f.questions.size(), 1);
        QVERIFY(f.questions.takeFirst().contains("Line 4 has 50 characters; the game's longest has 42."));
        QCOMPARE(testsupport::Differences(saved, f.Bytes(path)), std::string());
        QCOMPARE(f.Find<QLabel>("lblStatus")->text(), QStringLiteral("Not saved."));
        QVERIFY(f.Caption().endsWith('*'));

        // A character the game's text does not have is refused before anything is written.
        Text(more, "txtDescription")->setPlainText(QStringLiteral("\u2192"));
        f.Click("cmdSave");
        QVERIFY(f.messages.size() == 1 &&
                f.messages.takeFirst().contains("a character the game's text does not have"));
        QCOMPARE(testsupport::Differences(saved, f.Bytes(path)), std::string());
    }

    // Ruby shows its second page; a placeholder species has no entry and says why.
    void secondPagesAndPlaceholders() {
        WindowFixture f;
        f.Open(f.WriteRom(RomBuilder(RubyLayout()), "ruby.gba"));
        f.SelectSpecies(1);
        Form5* more = f.window().MoreDataWindow();
        QVERIFY(!Text(more, "txtDescription2")->isHidden() && Text(more, "txtDescription2")->isEnabled());
        QVERIFY(!Text(more, "txtDescription2")->toPlainText().isEmpty());
        f.SelectSpecies(252);
        QCOMPARE(f.Find<QLineEdit>("txtNational")->text(), QStringLiteral("387"));
        QVERIFY(Status(more, "lblDexStatus").startsWith("National number 387 has no Pok\u00E9dex entry"));
        QVERIFY(!more->findChild<QLineEdit*>("txtCategory")->isEnabled() &&
                !Text(more, "txtDescription")->isEnabled());
    }
};

QTEST_MAIN(EggsAndDexTest)
#include "tst_eggsanddex.moc"
