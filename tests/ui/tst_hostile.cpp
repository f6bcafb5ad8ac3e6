// Hostile input met through the main window, one case of each kind; deeper cases are tested on the editor.

#include <QLabel>

#include "ReadINI.h"
#include "WindowFixture.h"

class HostileTest : public QObject {
    Q_OBJECT
private slots:
    void aHundredThousandNamesPerList() {
        const RomBuilder rom(DemoLayout());
        WindowFixture f([](const std::string& data) {
            std::string text = "Name number 0";
            for (int line = 1; line < 100000; ++line) text += "\r\nName number " + std::to_string(line);
            for (const char* file : {"Items", "Abilities", "Types", "EggTypes", "Attacks"})
                QVERIFY(testsupport::WriteFileBytes(data + "/" + file + ".txt", {text.begin(), text.end()}));
            // The demo ROM names its own moves, abilities, types and items; here the files must serve.
            QVERIFY(ReadINI::WriteIniValue(data + "/Data.ini", "Main", "NamesFromRom", "0"));
        });
        f.OpenDemo(40, rom);
        for (const char* box : {"cmbItem1", "cmbAbility2", "cmbType1", "cmbEggType2", "cmbANames"})
            QCOMPARE(f.Combo(box)->count(), 100000);
        QVERIFY(f.messages.isEmpty());
    }

    void aMegabyteSpeciesFileOnOneLineIsRefused() {
        WindowFixture f;
        f.OpenDemo(40);
        const QStringList before = f.Snapshot();
        f.ClickWithFile("cmdNameIm", f.WriteFile("long.pkmn", std::string(1 << 20, 'A')));
        QVERIFY(f.messages.size() == 1 && f.messages[0].contains("long.pkmn") &&
                f.messages[0].contains("only 1 field") && f.messages[0].size() < 400);
        QCOMPARE(f.Snapshot(), before);
    }

    void anAttackTableAtTheLastByte() {
        // FF is a terminator, other bytes half an entry: no row there and no room for one. Typed but not
        // reloaded, the old rows do not fit there and move into free space.
        for (const auto& [lastByte, reload] : {std::pair{0xFF, true}, {0x05, true}, {0xFF, false}}) {
            WindowFixture f;
            RomBuilder rom(DemoLayout());
            rom.bytes().back() = static_cast<uint8_t>(lastByte);
            const std::string path = f.OpenDemo(40, rom);
            const int shownRows = f.List("lstAttack")->count();
            f.Box("txtATable")->setText(QStringLiteral("FFFFF"));
            if (reload) f.Click("cmdChangeOffset");
            QVERIFY(f.List("lstAttack")->count() == (reload ? 0 : shownRows) &&
                    f.List("lstLevel")->count() == f.List("lstAttack")->count());
            std::vector<uint8_t> expected = f.Bytes(path);
            const size_t entry = DemoLayout().AttackTable + 4 * 40;
            const size_t oldTable = expected[entry] | expected[entry + 1] << 8 | expected[entry + 2] << 16;
            const uint8_t lastByteTable[] = {0xFF, 0xFF, 0x0F, 0x08}, movedTable[] = {0x10, 0x80, 0x0F, 0x08};
            std::copy_n(reload ? lastByteTable : movedTable, 4, expected.begin() + entry);
            if (!reload) {
                std::copy_n(expected.begin() + oldTable, 2 * shownRows, expected.begin() + 0xF8010);
                expected[0xF8010 + 2 * shownRows] = expected[0xF8011 + 2 * shownRows] = 0xFF;
            }
            f.Click("cmdSave");
            QCOMPARE(f.Bytes(path), expected);
            QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join('/')));
            QCOMPARE(f.Find<QLabel>("lblStatus")->text().contains("Moved To: 1015824 (0xF8010)"), !reload);
        }
    }
};

QTEST_MAIN(HostileTest)
#include "tst_hostile.moc"
