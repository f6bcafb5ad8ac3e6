#include <QLabel>

#include "Form3.h"
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
    void fromStartThroughTwoGames() {
        WindowFixture f;
        // At start, after a cancelled dialog and after a refused first file.
        for (const std::string& answer : {std::string("-"), std::string(), f.TempFile("missing.gba")}) {
            if (answer != "-") f.Open(answer);
            QCOMPARE(f.Caption(), QStringLiteral("Vornhal"));
            QCOMPARE(EnabledControls(f), (QStringList{"cmdOpen", "cmdSettings"}));
        }
        RomBuilder rom(DemoLayout());
        rom.SetName(0, "ZERO");
        f.Open(f.WriteRom(rom));
        QCOMPARE(f.Caption(), QStringLiteral("Vornhal - [VRNH] - Demo (generated)"));
        QCOMPARE(f.List("lstPokemon")->count(), 412);
        QCOMPARE(f.Values("lstPokemon txtName"), "0 ZERO");
        QCOMPARE(EnabledControls(f).size(), 50);
        QCOMPARE(f.messages.size(), 1);
        // Cancelling with a game open reads it again; a second game replaces the first.
        const QString speed = f.Box("txtSpeed")->text();
        f.SelectSpecies(5);
        f.Box("txtSpeed")->setText("77");
        f.Open("");
        QCOMPARE(f.Values("lstPokemon txtSpeed"), "0 " + speed);
        f.Open(f.WriteRom(RomBuilder(FireRedLayout(), 7), "firered.gba"));
        QCOMPARE(f.Caption(), QStringLiteral("Vornhal - [BPRE] - Pokemon FireRed (U)"));
        QCOMPARE(f.window().Session()->NameOffset, FireRedLayout().NameOffset);
        QCOMPARE(f.window().Session()->AttackTable, FireRedLayout().AttackTable);
    }

    // The demo ROM names its own moves, abilities, types and items; the setting counts from the next opening.
    void theChoiceListsTakeTheRomsNamesUnlessTheSettingIsOff() {
        WindowFixture f;
        const QString fileMove = f.Combo("cmbANames")->itemText(33);
        QVERIFY(f.Find<QLabel>("lblNameSource")->text().isEmpty());
        RomBuilder rom(DemoLayout());
        rom.SetListName(RomNames::kMoves, 33, "NEW MOVE");
        rom.SetListName(RomNames::kItems, 376, "LAST ITEM");
        f.OpenDemo(0, rom);
        QCOMPARE(f.Combo("cmbANames")->itemText(33), "NEW MOVE");
        QCOMPARE(f.Combo("cmbItem2")->itemText(376), "LAST ITEM");
        QCOMPARE(f.Combo("cmbItem1")->count(), 377);
        QCOMPARE(f.Find<QLabel>("lblNameSource")->text(),
                 "Names: moves, abilities, types and items from the ROM.");

        f.window().SettingsWindow()->SetNamesFromRom(false);
        QCOMPARE(f.Combo("cmbANames")->itemText(33), "NEW MOVE");
        f.Open("");
        QCOMPARE(f.Combo("cmbANames")->itemText(33), fileMove);
        QVERIFY(f.Find<QLabel>("lblNameSource")->text().contains("off"));
        QVERIFY(f.messages.isEmpty());
    }

    void refusedFilesLeaveTheWindowAsItWas() {
        WindowFixture f;
        f.OpenDemo(9);
        f.Box("txtSpeed")->setText("42");
        const QStringList before = f.Snapshot();
        const RomBuilder demo(DemoLayout());
        std::string rom(demo.bytes().begin(), demo.bytes().end());
        f.WriteFile("truncated.gba", rom.substr(0, 0x10100));
        f.WriteFile("unknown.gba", rom.replace(0xAC, 4, "ZZZZ"));
        f.WriteFile("empty.gba", "");
        f.WriteFile("tiny.gba", std::string(100, 'Z'));
        for (const char* name :
             {"truncated.gba", "unknown.gba", "empty.gba", "tiny.gba", "missing.gba", "Data"}) {
            const std::string path = f.TempFile(name);
            f.Open(path);
            QVERIFY2(f.messages.size() == 1 &&
                         f.messages.takeFirst().contains(QString::fromStdString('"' + path + '"')),
                     path.c_str());
            QCOMPARE(f.Snapshot(), before);
        }
    }
};

QTEST_MAIN(OpenTest)
#include "tst_open.moc"
