#include <QPlainTextEdit>
#include <QSignalSpy>

#include "BattlePreview.h"
#include "WindowFixture.h"
#include "species/PokedexEntry.h"
#include "species/SpeciesEggMoves.h"

namespace {

QStringList Checked(QListWidget* list) {
    QStringList rows;
    for (int n = 0; n < list->count(); ++n)
        if (list->item(n)->checkState() == Qt::Checked) rows << QString::number(n);
    return rows;
}

void Toggle(QListWidgetItem* row) {
    row->setCheckState(row->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

QPlainTextEdit* Text(WindowFixture& f, const char* name) {
    return f.Find<QPlainTextEdit>(name);
}

}  // namespace

// What each table holds and the bytes of every edit are SpeciesTablesTest's, EggMovesTest's and
// PokedexTest's.
class MoreDataTest : public QObject {
    Q_OBJECT
private slots:
    // Its values go out with the species as one step; only the user's edits are reported.
    void followsTheSelectionAndSavesWithTheSpecies() {
        WindowFixture f;
        RomBuilder rom(DemoLayout());
        const RomLayout l = rom.layout();
        rom.Fill(l.EvolutionTable + 40 * 40,
                 {7, 0, 95, 0, 41, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        rom.Fill(l.EvolutionTable + 40 * 41, {99, 0, 8, 0, 0x60, 0xEA});  // method 99, target 60000
        rom.Fill(l.TMHMTable + 8 * 40, {0x01, 0, 0, 0, 0, 0, 0x06, 0x02});
        rom.Fill(l.TMHMMoves, {92, 0});
        const std::string path = f.OpenDemo(40, rom);
        QVERIFY(!f.window().findChild<Form5*>());
        f.Click("cmdMoreData");
        Form5* more = f.window().findChild<Form5*>();
        QVERIFY(more && more->isVisible() && !more->isModal() && f.shownModal.isEmpty());
        QSignalSpy edits(more, &Form5::edited);
        QListWidget* tmhm = f.List("lstTMHM");
        QCOMPARE(f.Values("cmbEvoMethod1 txtEvoParam1 cmbEvoTarget1 cmbEvoMethod2", true) + " " +
                     f.Find<QLabel>("lblEvoParam1")->text() + "|" + f.Find<QLabel>("lblEvoParam2")->text(),
                 "Use an item 95 " + f.List("lstPokemon")->item(41)->text() + " None " +
                     f.Combo("cmbItem1")->itemText(95) + "|");
        QVERIFY(tmhm->item(0)->text() == "TM01 " + f.Combo("cmbANames")->itemText(92) &&
                f.List("lstTutor")->count() == 30);
        QCOMPARE(Checked(tmhm), QStringList({"0", "49", "50", "57"}));

        const std::vector<uint8_t> before = f.Bytes(path);
        f.Click("cmdSave");
        QVERIFY(f.Bytes(path) == before &&
                f.Status().startsWith("Saved " + f.Box("txtName")->text() +
                                      " with its evolutions, TM/HM compatibility and tutor compatibility: "));
        f.Combo("cmbEvoMethod5")->setCurrentIndex(15);
        f.Box("txtEvoParam5")->setText("300");
        f.Combo("cmbEvoTarget5")->setCurrentIndex(411);
        for (const char* name : {"lstTMHM", "lstTutor"})
            Toggle(f.List(name)->item(f.List(name)->count() - 1));
        QVERIFY(f.Caption().endsWith('*'));
        const QString parameter = f.Box("txtEvoParam4")->text();
        f.Box("txtEvoParam4")->setText("65536");
        f.Click("cmdSave");
        QVERIFY(f.OneMessage("parameter of evolution 4"));
        f.Box("txtEvoParam4")->setText(parameter);
        f.Click("cmdSave");
        std::vector<uint8_t> expected = before;
        const uint8_t fifth[] = {15, 0, 0x2C, 1, 0x9B, 1};  // method, parameter 300, target 411
        std::copy(std::begin(fifth), std::end(fifth), expected.begin() + l.EvolutionTable + 40 * 40 + 32);
        expected[size_t(l.TMHMTable + 8 * 40 + 7)] ^= 0x02;   // HM08
        expected[size_t(l.TutorTable + 4 * 40 + 3)] ^= 0x20;  // the 30th tutor
        QCOMPARE(f.Bytes(path), expected);
        f.Trigger("mnuUndo");
        QCOMPARE(f.Bytes(path), before);

        edits.clear();
        f.SelectSpecies(41);
        QCOMPARE(f.Values("cmbEvoMethod1 txtEvoParam1 cmbEvoTarget1", true),
                 "#99 (not in list) 8 #60000 (not in list)");
        f.Combo("cmbEvoMethod2")->setCurrentIndex(4);
        QVERIFY(f.Find<QLabel>("lblEvoParam2")->text() == "level" && edits.count() == 1);
        Toggle(tmhm->item(3));
        QTest::keyClicks(f.Box("txtEvoParam3"), "x7");
        QVERIFY(f.Box("txtEvoParam3")->text() == "07" && edits.count() == 3);
        f.Click("cmdMoreData");
        QCOMPARE(f.window().findChildren<Form5*>().size(), 1);

        // Egg moves: until the user picks one, the first move is offered; the window keeps where the table
        // went.
        f.OpenDemo(0);
        f.questions.clear();  // the edits above were discarded
        QVERIFY(!f.List("lstEggMoves")->isEnabled() && f.Note("lblEggStatus").startsWith("Species 0 ") &&
                f.Combo("cmbEggMove")->currentText() == f.Combo("cmbANames")->itemText(1));
        const auto eggMoves = [&f](int species) {
            return ReadSpeciesEggMoves(*f.window().Session(), species).moves.value_or(std::vector<int>{});
        };
        int species = 1;
        while (eggMoves(species).size() < 2) ++species;
        f.SelectSpecies(species);
        const std::vector<int> moves = eggMoves(species);
        QListWidget* list = f.List("lstEggMoves");
        QVERIFY(list->count() == int(moves.size()) &&
                list->item(0)->text() == f.Combo("cmbANames")->itemText(moves[0]));
        list->setCurrentRow(0);
        WindowFixture::Press(more, "cmdRemoveEggMove");
        QVERIFY(f.Edited());
        f.Click("cmdSave");
        const std::vector<int> kept(moves.begin() + 1, moves.end());
        QVERIFY(f.Status().contains(" and egg moves: ") && eggMoves(species) == kept);

        f.Combo("cmbEggMove")->setCurrentIndex(33);
        while (list->count() < 10) WindowFixture::Press(more, "cmdAddEggMove");
        QVERIFY(list->currentRow() == 9 && list->item(9)->text() == f.Combo("cmbANames")->itemText(33));
        WindowFixture::Press(more, "cmdAddEggMove");
        QVERIFY(list->count() == 10 && f.OneMessage("at most 10 egg moves"));
        f.Click("cmdSave");
        const auto place = [&f] { return f.window().Session()->Tables.eggMoves.where.value().table; };
        const int64_t moved = place();
        QVERIFY(moved != DemoLayout().EggMoves && list->count() == 10);
        f.Trigger("mnuUndo");
        QVERIFY(place() == DemoLayout().EggMoves && list->count() == int(kept.size()));
        f.Trigger("mnuRedo");
        QVERIFY(place() == moved && list->count() == 10);

        // The Pokédex entry goes out as the window's text turns it into bytes.
        f.SelectSpecies(40);
        QVERIFY(f.Box("txtNational")->text() == "40" && Text(f, "txtDescription2")->isHidden());
        f.Box("txtCategory")->setText(QStringLiteral("Fluffy"));
        f.Box("txtHeight")->setText(QStringLiteral("17"));
        Text(f, "txtDescription")->setPlainText(QStringLiteral("It\u2019s \u201Cw\u00E9\u201D\nA{5E}."));
        QVERIFY(f.Edited());
        f.Click("cmdSave");
        const std::vector<uint8_t> bytes = f.Bytes(path);
        const DexEntryValues saved = ReadDexEntry(*f.window().Session(), 40).values.value();
        QVERIFY(saved.category == "Fluffy" && saved.height == 17 &&
                saved.description.value() == "It\x92s \x93w\xE9\x94\nA{5E}.");
        QVERIFY(f.Status().contains(QStringLiteral("Pok\u00E9dex entry")) && f.questions.isEmpty());

        Text(f, "txtDescription")->setPlainText(QStringLiteral("A\nB\nC\n") + QString(50, QLatin1Char('x')));
        QVERIFY(f.Find<QLabel>("lblDescriptionGuide")->text().contains("It has 4 lines"));
        f.answers = {Dialogs::Answer::Cancel};
        f.Click("cmdSave");
        QVERIFY(f.questions.size() == 1 && f.Bytes(path) == bytes && f.Status() == "Not saved." &&
                f.Edited());
        Text(f, "txtDescription")->setPlainText(QStringLiteral("A\u2192B"));
        f.Click("cmdSave");
        QVERIFY(f.OneMessage(QStringLiteral("\"\u2192\", a character the game's text does not have")) &&
                f.Bytes(path) == bytes);

        // Ruby shows a second page; a placeholder species has no entry.
        f.answers = {Dialogs::Answer::Discard};
        f.Open(f.WriteRom(RomBuilder(RubyLayout()), "ruby.gba"));
        f.SelectSpecies(1);
        QVERIFY(!Text(f, "txtDescription2")->isHidden() && Text(f, "txtDescription2")->isEnabled() &&
                !Text(f, "txtDescription2")->toPlainText().isEmpty());
        f.SelectSpecies(252);
        QVERIFY(f.Box("txtNational")->text() == "387" &&
                f.Note("lblDexStatus").startsWith("National number 387") &&
                !f.Box("txtCategory")->isEnabled() && !Text(f, "txtDescription")->isEnabled());
    }

    void partsWithoutTheirTablesAreOffWithAWordOfWhy() {
        WindowFixture f([](const std::string& data) {
            QVERIFY(ReadINI::WriteIniValue(data + "/Data.ini", "VRNH", "EvolutionTable", ""));
            QVERIFY(ReadINI::WriteIniValue(data + "/Data.ini", "VRNH", "FrontCoords", ""));
        });
        f.window().MoreDataWindow();
        const auto on = [&f](const char* name) { return f.Find<QWidget>(name)->isEnabled(); };
        QVERIFY(f.Note("lblEvoStatus") == "No ROM is open." && !on("cmbEvoMethod1") && !on("lstTMHM") &&
                !on("lstTutor"));
        f.OpenDemo(3);
        QCOMPARE(f.Note("lblEvoStatus"),
                 QStringLiteral("Data.ini's section [VRNH] has no EvolutionTable key."));
        QVERIFY(!on("cmbEvoMethod5") && !on("txtEvoParam5") && on("lstTMHM") && on("lstTutor") &&
                f.Note("lblTutorNote").isEmpty());
        QVERIFY(f.Note("lblBattleStatus").contains("FrontCoords") && !on("txtFrontY") &&
                !on("cmdReplaceFootprint") && f.Find<BattlePreview>("picBattle")->Image().isNull());
        f.Open(f.WriteRom(RomBuilder(RubyLayout()), "ruby.gba"));
        QVERIFY(f.Note("lblTutorStatus") == "This game has no move tutors." && on("cmbEvoMethod5") &&
                !on("lstTutor"));
        f.Open(f.WriteRom(RomBuilder(FireRedLayout()), "firered.gba"));
        QVERIFY(on("lstTutor") && f.Note("lblTutorNote").contains("three tutors") &&
                f.List("lstTutor")->count() == 15);
        QVERIFY(f.messages.isEmpty());
    }
};

QTEST_MAIN(MoreDataTest)
#include "tst_moredata.moc"
