// Hostile input met through the main window; the cases of each kind (a hundred thousand names, tables at the
// last byte, ...) are the editor's HostileInputTest and AttackTableSaveTest.

#include "WindowFixture.h"

class HostileTest : public QObject {
    Q_OBJECT
private slots:
    void aMegabyteLineAndATableAtTheLastByte() {
        WindowFixture f;
        f.OpenDemo(40);
        const QStringList before = f.Snapshot();
        f.ClickWithFile("cmdNameIm", f.WriteFile("long.pkmn", std::string(1 << 20, 'A')));
        QVERIFY(f.messages.size() == 1 && f.messages[0].size() < 400 && f.OneMessage("long.pkmn"));
        QCOMPARE(f.Snapshot(), before);
        // An attack table typed at the last byte but not loaded: its rows do not fit there and move on save.
        const QString rows = f.Rows("lstLevel");
        f.Box("txtATable")->setText(QStringLiteral("FFFFF"));
        f.Click("cmdSave");
        QVERIFY(f.Status().contains("Moved To: 1015824 (0xF8010)") && f.messages.isEmpty());
        QCOMPARE(f.Values("txtATable") + " " + f.Rows("lstLevel"), "0F8010 " + rows);
    }
};

QTEST_MAIN(HostileTest)
#include "tst_hostile.moc"
