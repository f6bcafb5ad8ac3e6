// Opening ROMs through the main window: caption, list, enabled controls, and refusals that leave the window
// as it was.

#include <QTest>

#include <filesystem>
#include <fstream>

#include "WindowFixture.h"

namespace {

const char* const kEditingControls[] = {
    "lstPokemon", "txtHP",     "txtAttack",   "txtDefense", "txtSpeed",        "txtSAttack", "txtSDefense",
    "cmbType1",   "cmbType2",  "txtXP",       "txtCatch",   "cmbItem1",        "cmbItem2",   "cmbGender",
    "cmbSteps",   "cmbEggType1", "cmbEggType2", "cmbAbility1", "cmbAbility2",  "txtSafari",  "cmdExport",
    "txtSprite",  "txtBackSprite", "txtPalette", "txtShinyPalette", "txtIcon", "txtEVHP",    "txtEVA",
    "txtEVD",     "txtEVS",    "txtEVSA",     "txtEVSD",    "cmbPalette",      "txtLevel",   "cmbANames",
    "lstAttack",  "lstLevel",  "txtATable",   "cmdChange",  "cmdChangeOffset", "cmdNewTable", "cmdSave",
    "txtName",    "cmdNameEx", "cmdNameIm"};

bool Enabled(WindowFixture& f, const char* name) {
    return f.window().findChild<QWidget*>(QString::fromLatin1(name))->isEnabled();
}

}  // namespace

class OpenTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithOnlyOpenAndSettings() {
        WindowFixture f;
        QCOMPARE(f.window().windowTitle(), QStringLiteral("Vornhal"));
        for (const char* name : kEditingControls) QVERIFY2(!Enabled(f, name), name);
        QVERIFY(Enabled(f, "cmdOpen"));
        QVERIFY(Enabled(f, "cmdSettings"));
        QCOMPARE(f.Box("txtName")->text(), QStringLiteral("??????????"));
        QCOMPARE(f.Box("txtSprite")->text(), QStringLiteral("000000"));
    }

    void cancellingTheFirstDialogChangesNothing() {
        WindowFixture f;
        f.Open("");
        QCOMPARE(f.window().windowTitle(), QStringLiteral("Vornhal"));
        for (const char* name : kEditingControls) QVERIFY2(!Enabled(f, name), name);
        QVERIFY(f.messages.isEmpty());
    }

    void openingListsTheSpeciesAndShowsTheFirst() {
        WindowFixture f;
        RomBuilder rom(DemoLayout());
        rom.SetName(0, "ZERO");
        rom.SetName(411, "LAST");
        f.Open(f.WriteRom(rom));
        QCOMPARE(f.window().windowTitle(), QStringLiteral("Vornhal - [VRNH] - Demo (generated)"));
        QListWidget* list = f.List("lstPokemon");
        QCOMPARE(list->count(), 412);
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(list->item(411)->text(), QStringLiteral("LAST"));
        QCOMPARE(f.Box("txtName")->text(), QStringLiteral("ZERO"));
        for (const char* name : kEditingControls) QVERIFY2(Enabled(f, name), name);
        QVERIFY(f.messages.isEmpty());
    }

    void cancellingWithARomOpenReloadsIt() {
        WindowFixture f;
        RomBuilder rom(DemoLayout());
        f.Open(f.WriteRom(rom));
        f.SelectSpecies(5);
        f.Box("txtSpeed")->setText("77");
        f.Open("");
        QCOMPARE(f.List("lstPokemon")->currentRow(), 0);
        QCOMPARE(f.Box("txtSpeed")->text(), QString::number(rom.Record(0)[3]));
        QVERIFY(f.messages.isEmpty());
    }

    void aSecondGameReplacesOffsetsAndCaption() {
        WindowFixture f;
        f.Open(f.WriteRom(RomBuilder(DemoLayout()), "demo.gba"));
        RomLayout fireRed = FireRedLayout();
        RomBuilder second(fireRed, 7);
        second.SetName(3, "THIRD");
        f.Open(f.WriteRom(second, "firered.gba"));
        QCOMPARE(f.window().windowTitle(), QStringLiteral("Vornhal - [BPRE] - Pokemon FireRed (U)"));
        QCOMPARE(f.window().Session()->NameOffset, fireRed.NameOffset);
        QCOMPARE(f.window().Session()->AttackTable, fireRed.AttackTable);
        QCOMPARE(f.List("lstPokemon")->item(3)->text(), QStringLiteral("THIRD"));
    }

    void refusedFilesLeaveTheWindowAsItWas_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("unknown code") << "unknown";
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("missing") << "missing";
        QTest::newRow("folder") << "folder";
    }

    void refusedFilesLeaveTheWindowAsItWas() {
        QFETCH(QString, kind);
        WindowFixture f;
        RomBuilder rom(DemoLayout());
        const std::string good = f.WriteRom(rom, "good.gba");
        f.Open(good);
        f.SelectSpecies(9);
        f.Box("txtSpeed")->setText("42");
        const QString caption = f.window().windowTitle();

        std::string bad = f.TempFile("bad.gba");
        if (kind == "unknown") {
            RomBuilder other(DemoLayout());
            for (int i = 0; i < 4; ++i) other.bytes()[0xAC + i] = "ZZZZ"[i];
            bad = f.WriteRom(other, "bad.gba");
        } else if (kind == "truncated") {
            RomBuilder cut(DemoLayout());
            cut.bytes().resize(0x10100);
            bad = f.WriteRom(cut, "bad.gba");
        } else if (kind == "folder") {
            std::filesystem::create_directory(bad);
        }
        f.Open(bad);

        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages[0].contains(QStringLiteral("bad.gba")), qPrintable(f.messages[0]));
        QCOMPARE(f.window().windowTitle(), caption);
        QCOMPARE(f.window().Session()->RomPath, good);
        QCOMPARE(f.List("lstPokemon")->currentRow(), 9);
        QCOMPARE(f.Box("txtSpeed")->text(), QStringLiteral("42"));
    }

    void aRefusedFirstFileKeepsEverythingDisabled() {
        WindowFixture f;
        f.Open(f.TempFile("nothing-here.gba"));
        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(f.window().windowTitle(), QStringLiteral("Vornhal"));
        QVERIFY(!f.window().Session());
        for (const char* name : kEditingControls) QVERIFY2(!Enabled(f, name), name);
    }
};

QTEST_MAIN(OpenTest)
#include "tst_open.moc"
