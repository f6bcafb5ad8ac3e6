#include <QTableWidget>

#include "ReadINI.h"
#include "WindowFixture.h"

// The main window's own controls that take input.
static QStringList EnabledControls(WindowFixture& f) {
    QStringList names;
    for (QWidget* w : f.window().findChildren<QWidget*>())
        if (w->focusPolicy() != Qt::NoFocus && w->window() == &f.window() && w->isEnabled())
            names << w->objectName();
    return names;
}

class FilesTest : public QObject {
    Q_OBJECT
private slots:
    // The refusals' reasons are RomOpenerTest's, the name source's forms RomNameTablesTest's, moved tables
    // and the search OtherReleasesTest's and MovedTablesTest's.
    void fromStartThroughFourGames() {
        WindowFixture f;
        const QString fileMove = f.Combo("cmbANames")->itemText(33);
        // At start, after a cancelled dialog and after a refused first file.
        for (const std::string& answer : {std::string("-"), std::string(), f.TempFile("missing.gba")}) {
            if (answer != "-") f.Open(answer);
            QCOMPARE(f.Caption(), QStringLiteral("Vornhal"));
            QCOMPARE(EnabledControls(f), (QStringList{"cmdOpen", "cmdSettings"}));
        }
        QVERIFY(f.OneMessage(QString::fromStdString('"' + f.TempFile("missing.gba") + '"')));
        RomBuilder rom(DemoLayout());
        rom.SetName(0, "ZERO");
        rom.SetListName(RomNames::kMoves, 33, "NEW MOVE");
        rom.SetListName(RomNames::kItems, 376, "LAST ITEM");
        f.Open(f.WriteRom(rom));
        QCOMPARE(f.Caption(), QStringLiteral("Vornhal - [VRNH] - Demo (generated)"));
        QVERIFY(f.List("lstPokemon")->count() == 412 && EnabledControls(f).size() == 50);
        QCOMPARE(f.Values("lstPokemon txtName"), "0 ZERO");
        QVERIFY(f.Combo("cmbANames")->itemText(33) == "NEW MOVE" && f.Combo("cmbItem1")->count() == 377 &&
                f.Combo("cmbItem2")->itemText(376) == "LAST ITEM" &&
                f.Find<QLabel>("lblNameSource")->text().endsWith("from the ROM."));

        const QString speed = f.Box("txtSpeed")->text();
        f.SelectSpecies(9);
        f.Box("txtSpeed")->setText("42");
        const QStringList before = f.Snapshot();
        f.Open(f.WriteFile("tiny.gba", std::string(100, 'Z')));
        QVERIFY(f.OneMessage(QString::fromStdString('"' + f.TempFile("tiny.gba") + '"')));
        QCOMPARE(f.Snapshot(), before);
        // The setting counts from the next reading: cancelling with a game open reads it again.
        f.window().SettingsWindow()->SetNamesFromRom(false);
        QCOMPARE(f.Combo("cmbANames")->itemText(33), "NEW MOVE");
        f.Open("");
        QCOMPARE(f.Values("lstPokemon txtSpeed"), "0 " + speed);
        QVERIFY(f.Combo("cmbANames")->itemText(33) == fileMove &&
                f.Find<QLabel>("lblNameSource")->text().contains("off"));
        RomBuilder hack(FireRedLayout());
        hack.MoveTable(hack.layout().NameOffset, 0xE00000, 11 * 412);
        const std::string path = f.WriteRom(hack, "hack.gba");
        f.Open(path);
        QCOMPARE(f.Caption(), QStringLiteral("Vornhal - [BPRE] - Pokemon FireRed (U)"));
        QVERIFY(f.window().Session()->AttackTable == FireRedLayout().AttackTable && f.messages.isEmpty());
        QCOMPARE(f.Status(),
                 QStringLiteral("Opened hack.gba: 1 table moved, read where the game's pointers lead"));
        QStringList rows;
        QString summary;
        Dialogs::SetModalHook([&rows, &summary](QDialog* dialog) {
            auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("tblTables"));
            rows.clear();
            for (int row = 0; row < 2; ++row)
                rows << table->item(row, 0)->text() + " " + table->item(row, 1)->text() + " " +
                            table->item(row, 2)->text();
            summary = dialog->findChild<QLabel*>(QStringLiteral("lblSummary"))->text();
            dialog->findChild<QPushButton*>(QStringLiteral("cmdSaveOffsets"))->click();
        });
        f.Trigger("mnuRomInfo");
        QCOMPARE(rows, (QStringList{"species names 0xE00000 reference at 0x144 (Data.ini: 0x245EE0)",
                                    "species records 0x254784 reference at 0x1BC"}));
        QCOMPARE(QString::fromStdString(ReadINI::ReadIniValue(path + ".ini", "ROM", "NameOffset")),
                 "&HE00000");

        RomBuilder french(FireRedLayout());
        french.Fill(0xAC, {'B', 'P', 'R', 'F'});
        const std::string frenchPath = f.WriteRom(french, "french.gba");
        const QString caption = f.Caption();
        f.answers = {Dialogs::Answer::Cancel, Dialogs::Answer::Search};
        f.Open(frenchPath);
        QVERIFY(f.questions.size() == 1 && f.questions[0].contains("BPRF") && f.Caption() == caption &&
                f.messages.isEmpty());
        f.Open(frenchPath);
        QCOMPARE(f.Caption(), QStringLiteral("Vornhal - [BPRF] - BPRF (tables found by search)"));
        f.Trigger("mnuRomInfo");
        QVERIFY(summary.contains("BPRF (tables found by search)"));

        RomBuilder german(RubyGermanLayout());
        german.SetName(3, "B\xE4r\xDF");
        f.Open(f.WriteRom(german, "rubin.gba"));
        f.SelectSpecies(3);
        QCOMPARE(f.Box("txtName")->text(), QStringLiteral("B\u00E4r\u00DF"));
    }

    // What a file may hold and each refusal's reason are SpeciesDataFileTest's.
    void speciesFilesMoveTwentyValuesOrChangeNothing() {
        WindowFixture f;
        f.OpenDemo(10);
        f.Box("txtHP")->setText("300");
        const QString taken =
            "txtName txtHP txtAttack txtDefense txtSpeed txtSAttack txtSDefense txtXP txtCatch txtSafari "
            "cmbType1 cmbType2 cmbItem1 cmbItem2 cmbAbility1 cmbAbility2 cmbEggType1 cmbEggType2 cmbSteps "
            "cmbGender";
        const QString kept = "txtEVHP txtEVA txtEVSD txtSprite txtPalette txtIcon cmbPalette txtATable";
        const QString exported = f.Values(taken);
        f.ClickWithFile("cmdNameEx", f.TempFile("ten.pkmn"));
        f.SelectSpecies(11);
        const QString ownValues = f.Values(kept);
        f.ClickWithFile("cmdNameIm", f.TempFile("ten.pkmn"));
        QCOMPARE(f.Values(taken), exported);
        QCOMPARE(f.Values(kept), ownValues);

        // A gender past the window's list is refused.
        const QStringList before = f.Snapshot();
        f.ClickWithFile("cmdNameIm", f.WriteFile("bad.pkmn", "A|1|2|3|4|5|6|7|8|1|2|0|5|3|4|0|6|7|8|400"));
        QVERIFY(f.OneMessage("\"" + QString::fromStdString(f.TempFile("bad.pkmn")) + "\" is not a species"));
        QCOMPARE(f.Snapshot(), before);
        f.ClickWithFile("cmdNameIm",
                        f.WriteFile("in.pkmn", "ABC|300|20|30|300|50|60|70|80|1|2|0|5|3|4|200|6|7|8|9\r\n"));
        QCOMPARE(f.Values("txtHP txtSpeed txtSafari cmbItem2 cmbGender"), "300 255 200 5 9");
    }

    void theSymbolMenuAppendsAtTheEndAndNamesAreWrittenAsStored() {
        WindowFixture f;
        RomBuilder rom(DemoLayout());
        rom.SetName(0, "");
        const std::string path = f.OpenDemo(32, rom);
        QLineEdit* box = f.Box("txtName");
        // (menu entry, name, name afterwards); no entry: the menu is dismissed.
        for (const auto& [entry, name, expected] :
             {std::tuple{"mnuFemale", "ABC", QStringLiteral("ABC\u2640")},
              {"mnuMale", "ABCDEFGHIJ", QStringLiteral("ABCDEFGHIJ\u2642")},
              {"", "ABC", QStringLiteral("ABC")}}) {
            box->setText(name);
            box->setCursorPosition(0);
            bool offered = true;  // the menu's export or import entry: the buttons offer them
            Dialogs::SetMenuHook([entry = QString(entry), &offered](QMenu* menu) {
                offered = menu->findChild<QAction*>("mnuExport")->isEnabled() ||
                          menu->findChild<QAction*>("mnuImport")->isEnabled();
                if (!entry.isEmpty()) menu->findChild<QAction*>(entry)->trigger();
            });
            QTest::mouseClick(box, Qt::RightButton);
            QVERIFY(box->isEnabled() && box->updatesEnabled() && !offered);
            QCOMPARE(box->text(), expected);
        }
        box->setText(QStringLiteral("NIDORAN\u2642\u2640"));
        f.Click("cmdSave");
        const int32_t entry = DemoLayout().NameOffset + 11 * 32 + 7;
        QVERIFY(f.Bytes(path)[entry] == 0xB5 && f.Bytes(path)[entry + 1] == 0xB6 &&
                f.Bytes(path)[entry + 2] == 0xFF);

        // A cancelled export writes nothing beside Data, test.gba and its backup; species 0's empty name
        // first.
        f.ClickWithFile("cmdExport", "");
        QCOMPARE(std::distance(std::filesystem::directory_iterator(f.TempFile("")), {}), 3);
        f.ClickWithFile("cmdExport", f.TempFile("names.txt"));
        const std::vector<uint8_t> written = f.Bytes(f.TempFile("names.txt"));
        const std::string text(written.begin(), written.end());
        QVERIFY(text.starts_with("\r\n") && text.find("\r\nNIDORAN\x0B\x0C\r\n") != std::string::npos);
    }
};

QTEST_MAIN(FilesTest)
#include "tst_files.moc"
