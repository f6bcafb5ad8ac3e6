#include <QPlainTextEdit>

#include "WindowFixture.h"
#include "species/SpeciesEggMoves.h"

namespace {

QPlainTextEdit* Text(WindowFixture& f, const char* name) {
    return f.Find<QPlainTextEdit>(name);
}

}  // namespace

// The bytes of every egg move and Pokédex edit, and their refusals, are EggMovesTest's and PokedexTest's.
class EggsAndDexTest : public QObject {
    Q_OBJECT
private slots:
    // The list names the moves; a removed move is saved with the species; an eleventh is refused; ten moves
    // move the table on save, and Undo and Redo take it back and forth.
    void eggMovesAndThePokedexEntryAreEditedAndSaved() {
        WindowFixture f;
        const std::string path = f.OpenDemo(0);
        Form5* more = f.window().MoreDataWindow();
        QVERIFY(!f.List("lstEggMoves")->isEnabled());
        QVERIFY(f.Note("lblEggStatus").startsWith("Species 0 can have no egg moves"));
        int species = 1;
        while (ReadSpeciesEggMoves(*f.window().Session(), species).moves.value_or(std::vector<int>{}).size() <
               2)
            ++species;
        f.SelectSpecies(species);
        const std::vector<int> moves = *ReadSpeciesEggMoves(*f.window().Session(), species).moves;
        QListWidget* list = f.List("lstEggMoves");
        QCOMPARE(list->count(), int(moves.size()));
        QCOMPARE(list->item(0)->text(), f.Combo("cmbANames")->itemText(moves[0]));
        list->setCurrentRow(0);
        WindowFixture::Press(more, "cmdRemoveEggMove");
        QVERIFY(f.Edited());
        f.Click("cmdSave");
        QVERIFY(f.Status().contains(" and egg moves: "));
        const std::vector<int> kept(moves.begin() + 1, moves.end());
        QCOMPARE(ReadSpeciesEggMoves(*f.window().Session(), species).moves, kept);

        f.Combo("cmbEggMove")->setCurrentIndex(33);
        while (list->count() < 10) WindowFixture::Press(more, "cmdAddEggMove");
        QCOMPARE(list->item(9)->text(), f.Combo("cmbANames")->itemText(33));
        WindowFixture::Press(more, "cmdAddEggMove");
        QVERIFY(list->count() == 10 && f.OneMessage("at most 10 egg moves"));
        f.Click("cmdSave");
        QVERIFY(f.Status().contains("; the egg move table moved to 0x"));
        const auto place = [&f] { return f.window().Session()->Tables.eggMoves.where.value().table; };
        const int64_t moved = place();
        QVERIFY(moved != DemoLayout().EggMoves && list->count() == 10);
        f.Trigger("mnuUndo");
        QVERIFY(place() == DemoLayout().EggMoves && list->count() == int(kept.size()));
        f.Trigger("mnuRedo");
        QVERIFY(place() == moved && list->count() == 10);

        // The Pokédex entry's boxes are saved through the game's text; a long description asks first, and a
        // character the game's text does not have is refused.
        f.SelectSpecies(40);
        const int64_t entry = DemoLayout().DexEntries + DemoLayout().DexEntrySize * 40;
        QVERIFY(f.Box("txtNational")->text() == "40" && Text(f, "txtDescription2")->isHidden());
        f.Box("txtCategory")->setText(QStringLiteral("Fluffy"));
        f.Box("txtHeight")->setText(QStringLiteral("17"));
        Text(f, "txtDescription")->setPlainText(QStringLiteral("It\u2019s \u201Cw\u00E9\u201D\nA{5E}."));
        QVERIFY(f.Edited());
        f.Click("cmdSave");
        const std::vector<uint8_t> bytes = f.Bytes(path);
        QCOMPARE(std::vector<uint8_t>(bytes.begin() + entry, bytes.begin() + entry + 7),
                 (std::vector<uint8_t>{0xC0, 0xE0, 0xE9, 0xDA, 0xDA, 0xED, 0xFF}));
        QVERIFY(bytes[entry + 12] == 17 && bytes[entry + 13] == 0);
        const int64_t text = bytes[entry + 16] | bytes[entry + 17] << 8 | bytes[entry + 18] << 16;
        QCOMPARE(std::vector<uint8_t>(bytes.begin() + text, bytes.begin() + text + 14),
                 (std::vector<uint8_t>{0xC3, 0xE8, 0xB4, 0xE7, 0x00, 0xB1, 0xEB, 0x1B, 0xB2, 0xFE, 0xBB, 0x5E,
                                       0xAD, 0xFF}));
        QVERIFY(f.Status().contains(QStringLiteral("Pok\u00E9dex entry")) && f.questions.isEmpty());

        Text(f, "txtDescription")->setPlainText(QStringLiteral("A\nB\nC\n") + QString(50, QLatin1Char('x')));
        QVERIFY(f.Find<QLabel>("lblDescriptionGuide")->text().contains("It has 4 lines"));
        f.answers = {Dialogs::Answer::Cancel};
        f.Click("cmdSave");
        QVERIFY(f.questions.size() == 1 && f.questions[0].contains("Line 4 has 50 characters"));
        QVERIFY(f.Bytes(path) == bytes && f.Status() == "Not saved." && f.Edited());
        Text(f, "txtDescription")->setPlainText(QStringLiteral("\u2192"));
        f.Click("cmdSave");
        QVERIFY(f.OneMessage("a character the game's text does not have") && f.Bytes(path) == bytes);

        // Ruby shows a second page; a placeholder species has no entry.
        f.answers = {Dialogs::Answer::Discard};
        f.Open(f.WriteRom(RomBuilder(RubyLayout()), "ruby.gba"));
        f.SelectSpecies(1);
        QVERIFY(!Text(f, "txtDescription2")->isHidden() && Text(f, "txtDescription2")->isEnabled());
        QVERIFY(!Text(f, "txtDescription2")->toPlainText().isEmpty());
        f.SelectSpecies(252);
        QCOMPARE(f.Box("txtNational")->text(), QStringLiteral("387"));
        QVERIFY(f.Note("lblDexStatus").startsWith("National number 387 has no Pok\u00E9dex entry"));
        QVERIFY(!f.Box("txtCategory")->isEnabled() && !Text(f, "txtDescription")->isEnabled());
    }
};

QTEST_MAIN(EggsAndDexTest)
#include "tst_eggsanddex.moc"
