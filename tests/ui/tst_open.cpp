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

class OpenTest : public QObject {
    Q_OBJECT
private slots:
    // The refusals' reasons are the opener's (RomOpenerTest); here one refused file changes nothing. The
    // ROM's own names serve the choice lists unless the setting is off, which counts from the next opening.
    void fromStartThroughTwoGames() {
        WindowFixture f;
        const QString fileMove = f.Combo("cmbANames")->itemText(33);
        QVERIFY(f.Find<QLabel>("lblNameSource")->text().isEmpty());
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
                f.Combo("cmbItem2")->itemText(376) == "LAST ITEM");
        QCOMPARE(f.Find<QLabel>("lblNameSource")->text(),
                 "Names: moves, abilities, types and items from the ROM.");

        const QString speed = f.Box("txtSpeed")->text();
        f.SelectSpecies(9);
        f.Box("txtSpeed")->setText("42");
        const QStringList before = f.Snapshot();
        f.Open(f.WriteFile("tiny.gba", std::string(100, 'Z')));
        QVERIFY(f.OneMessage(QString::fromStdString('"' + f.TempFile("tiny.gba") + '"')));
        QCOMPARE(f.Snapshot(), before);
        // Cancelling with a game open reads it again, now with the list files' names.
        f.window().SettingsWindow()->SetNamesFromRom(false);
        QCOMPARE(f.Combo("cmbANames")->itemText(33), "NEW MOVE");
        f.Open("");
        QCOMPARE(f.Values("lstPokemon txtSpeed"), "0 " + speed);
        QVERIFY(f.Combo("cmbANames")->itemText(33) == fileMove &&
                f.Find<QLabel>("lblNameSource")->text().contains("off"));
        f.Open(f.WriteRom(RomBuilder(FireRedLayout(), 7), "firered.gba"));
        QCOMPARE(f.Caption(), QStringLiteral("Vornhal - [BPRE] - Pokemon FireRed (U)"));
        QVERIFY(f.window().Session()->AttackTable == FireRedLayout().AttackTable && f.messages.isEmpty());
    }

    // A hack whose names a repointing tool moved: the status bar says so, ROM Information shows where each
    // table was found, and its button keeps the offsets in the ROM's own settings file.
    void romInformationOfAHackWithAMovedTable() {
        WindowFixture f;
        RomBuilder rom(FireRedLayout());
        rom.MoveTable(rom.layout().NameOffset, 0xE00000, 11 * 412);
        const std::string path = f.WriteRom(rom, "hack.gba");
        f.Open(path);
        QCOMPARE(f.Status(),
                 QStringLiteral("Opened hack.gba: 1 table moved, read where the game's pointers lead"));
        QStringList rows;
        Dialogs::SetModalHook([&rows](QDialog* dialog) {
            auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("tblTables"));
            for (int row = 0; row < 2; ++row)
                rows << table->item(row, 0)->text() + " " + table->item(row, 1)->text() + " " +
                            table->item(row, 2)->text();
            dialog->findChild<QPushButton*>(QStringLiteral("cmdSaveOffsets"))->click();
        });
        f.Trigger("mnuRomInfo");
        QCOMPARE(rows, (QStringList{"species names 0xE00000 reference at 0x144 (Data.ini: 0x245EE0)",
                                    "species records 0x254784 reference at 0x1BC"}));
        QCOMPARE(QString::fromStdString(ReadINI::ReadIniValue(path + ".ini", "ROM", "NameOffset")),
                 "&HE00000");
    }

    // A release Data.ini does not know: the user is asked; Cancel leaves the window as it was, Search opens
    // it and says so in the caption and in ROM Information. A German release shows its names as spelled.
    void anUnknownReleaseOpensWhenTheUserLetsItBeSearched() {
        WindowFixture f;
        RomBuilder rom(FireRedLayout());
        rom.Fill(0xAC, {'B', 'P', 'R', 'F'});
        const std::string path = f.WriteRom(rom, "french.gba");
        f.answers = {Dialogs::Answer::Cancel, Dialogs::Answer::Search};
        f.Open(path);
        QCOMPARE(f.questions, QStringList{"The game code BPRF is not in Data.ini. It looks like a release of "
                                          "Pokemon FireRed. Search the ROM for its tables?"});
        QVERIFY(f.Caption() == "Vornhal" && f.messages.isEmpty());
        f.Open(path);
        QCOMPARE(f.Caption(), QStringLiteral("Vornhal - [BPRF] - BPRF (tables found by search)"));
        QString summary;
        Dialogs::SetModalHook([&summary](QDialog* dialog) {
            summary = dialog->findChild<QLabel*>(QStringLiteral("lblSummary"))->text();
        });
        f.Trigger("mnuRomInfo");
        QVERIFY(summary.contains("BPRF (tables found by search)"));

        RomBuilder german(RubyGermanLayout());
        german.SetName(3, "B\xE4r\xDF");
        f.Open(f.WriteRom(german, "rubin.gba"));
        f.SelectSpecies(3);
        QCOMPARE(f.Box("txtName")->text(), QStringLiteral("B\u00E4r\u00DF"));
    }
};

QTEST_MAIN(OpenTest)
#include "tst_open.moc"
