// Showing a species and keeping the number boxes within their limits, through the main window.

#include <QFocusEvent>
#include <QTest>

#include "HexFunctions.h"
#include "WindowFixture.h"

namespace {

void LeaveBox(QLineEdit* box) {
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &leave);
}

QString PointerAt(const RomBuilder& rom, int32_t entry) {
    const auto& b = rom.bytes();
    return QStringLiteral("%1%2%3")
        .arg(b[entry + 2], 2, 16, QLatin1Char('0'))
        .arg(b[entry + 1], 2, 16, QLatin1Char('0'))
        .arg(b[entry], 2, 16, QLatin1Char('0'))
        .toUpper();
}

}  // namespace

class SpeciesTest : public QObject {
    Q_OBJECT
private slots:
    void selectingShowsTheWholeRecord() {
        WindowFixture f;
        RomBuilder rom(DemoLayout());
        const int index = 25;
        std::array<uint8_t, 28> record{};
        const uint8_t bytes[28] = {45, 49, 50, 51, 65, 66, 3, 17, 190, 64, 0x1B, 0x09, 0x8B, 0x00, 0x01, 0x01,
                                   0xFF, 20, 0xAA, 0xBB, 1, 15, 22, 77, 200, 1, 2, 3};
        std::copy(std::begin(bytes), std::end(bytes), record.begin());
        rom.SetRecord(index, record);
        rom.SetName(index, "MARKED");
        rom.bytes()[DemoLayout().IconPalette + index] = 2;
        f.Open(f.WriteRom(rom));
        f.SelectSpecies(index);

        QCOMPARE(f.Box("txtName")->text(), QStringLiteral("MARKED"));
        const struct {
            const char* box;
            const char* text;
        } texts[] = {{"txtHP", "45"},  {"txtAttack", "49"}, {"txtDefense", "50"}, {"txtSpeed", "51"},
                     {"txtSAttack", "65"}, {"txtSDefense", "66"}, {"txtCatch", "190"}, {"txtXP", "64"},
                     {"txtSafari", "200"}, {"txtEVHP", "3"},     {"txtEVA", "2"},       {"txtEVD", "1"},
                     {"txtEVS", "0"},     {"txtEVSA", "1"},      {"txtEVSD", "2"}};
        for (const auto& t : texts) QCOMPARE(f.Box(t.box)->text(), QString::fromLatin1(t.text));

        const struct {
            const char* combo;
            int position;
        } choices[] = {{"cmbType1", 3},    {"cmbType2", 17},    {"cmbItem1", 139},   {"cmbItem2", 257},
                       {"cmbGender", 255}, {"cmbSteps", 20},    {"cmbEggType1", 1},  {"cmbEggType2", 15},
                       {"cmbAbility1", 22}, {"cmbAbility2", 77}, {"cmbPalette", 2}};
        for (const auto& c : choices) QCOMPARE(f.Combo(c.combo)->currentIndex(), c.position);
        QCOMPARE(f.Combo("cmbGender")->currentText(), QStringLiteral("None"));
        QCOMPARE(f.Combo("cmbSteps")->currentText(), QStringLiteral("5120"));
        QCOMPARE(f.Combo("cmbPalette")->currentText(), QStringLiteral("Pal 3"));

        const RomLayout layout = DemoLayout();
        QCOMPARE(f.Box("txtSprite")->text(), PointerAt(rom, layout.ImageOffset + 8 * index));
        QCOMPARE(f.Box("txtBackSprite")->text(), PointerAt(rom, layout.ImageOffset + 5280 + 8 * index));
        QCOMPARE(f.Box("txtPalette")->text(), PointerAt(rom, layout.PaletteOffset + 8 * index));
        QCOMPARE(f.Box("txtShinyPalette")->text(), PointerAt(rom, layout.PaletteOffset + 3520 + 8 * index));
        QCOMPARE(f.Box("txtIcon")->text(), PointerAt(rom, layout.IconOffset + 4 * index));
        QCOMPARE(f.Box("txtATable")->text(), PointerAt(rom, layout.AttackTable + 4 * index));
        QVERIFY(f.List("lstAttack")->count() > 0);
        QCOMPARE(f.List("lstAttack")->currentRow(), 0);
        QCOMPARE(f.List("lstLevel")->currentRow(), 0);
    }

    void storedValuesWithoutAnEntryShowTheirNumber() {
        WindowFixture f;
        RomBuilder rom(DemoLayout());
        std::array<uint8_t, 28> record = rom.Record(4);
        record[6] = 40;                     // no such type
        record[12] = 0x00, record[13] = 0x90;  // item 36864
        rom.SetRecord(4, record);
        rom.bytes()[DemoLayout().IconPalette + 4] = 7;
        f.Open(f.WriteRom(rom));
        f.SelectSpecies(3);
        f.SelectSpecies(4);
        QCOMPARE(f.Combo("cmbType1")->currentText(), QStringLiteral("#40 (not in list)"));
        QCOMPARE(f.Combo("cmbItem1")->currentText(), QStringLiteral("#36864 (not in list)"));
        QCOMPARE(f.Combo("cmbPalette")->currentText(), QStringLiteral("#7 (not in list)"));
        f.SelectSpecies(5);
        QCOMPARE(f.Combo("cmbType1")->count(), 18);
        QCOMPARE(f.Combo("cmbPalette")->count(), 3);
    }

    // (box, text put in, text shown, leave the box afterwards)
    void limits_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::addColumn<bool>("leave");
        QTest::newRow("speed cleared") << "txtSpeed" << "" << "0" << false;
        QTest::newRow("speed 300") << "txtSpeed" << "300" << "255" << false;
        QTest::newRow("speed 12abc") << "txtSpeed" << "12abc" << "12" << false;
        QTest::newRow("speed 007") << "txtSpeed" << "007" << "7" << false;
        QTest::newRow("speed hex") << "txtSpeed" << "&HF" << "15" << false;
        QTest::newRow("catch minus") << "txtCatch" << "-5" << "0" << false;
        QTest::newRow("catch point") << "txtCatch" << "5." << "5" << false;
        QTest::newRow("xp 1e2") << "txtXP" << "1e2" << "100" << false;
        QTest::newRow("speed 255.5") << "txtSpeed" << "255.5" << "255" << false;
        QTest::newRow("speed 2.5") << "txtSpeed" << "2.5" << "2.5" << false;
        QTest::newRow("level 100") << "txtLevel" << "100" << "99" << false;
        QTest::newRow("hp 999 kept") << "txtHP" << "999" << "999" << false;
        QTest::newRow("hp 999 left") << "txtHP" << "999" << "255" << true;
        QTest::newRow("hp 255.5 left") << "txtHP" << "255.5" << "255.5" << true;
        QTest::newRow("attack 255.5 left") << "txtAttack" << "255.5" << "255" << true;
        QTest::newRow("defense abc left") << "txtDefense" << "abc" << "0" << true;
        QTest::newRow("safari 200 kept") << "txtSafari" << "200" << "200" << false;
        QTest::newRow("safari 200 left") << "txtSafari" << "200" << "175" << true;
        QTest::newRow("ev 7") << "txtEVHP" << "7" << "3" << false;
        QTest::newRow("ev -1") << "txtEVA" << "-1" << "0" << false;
        QTest::newRow("ev empty") << "txtEVD" << "" << "0" << false;
        QTest::newRow("ev 2x") << "txtEVSA" << "2x" << "2x" << false;
        QTest::newRow("ev 1.5") << "txtEVSD" << "1.5" << "1.5" << false;
        QTest::newRow("ev 3.0") << "txtEVHP" << "3.0" << "3" << false;
        QTest::newRow("ev 0.5") << "txtEVHP" << "0.5" << "0.5" << false;
    }

    void limits() {
        QFETCH(QString, box);
        QFETCH(QString, in);
        QFETCH(QString, out);
        QFETCH(bool, leave);
        WindowFixture f;
        f.Open(f.WriteRom(RomBuilder(DemoLayout())));
        QLineEdit* edit = f.Box(box.toLatin1().constData());
        edit->setText(in);
        if (leave) LeaveBox(edit);
        QCOMPARE(edit->text(), out);
    }

    void typingIsCutToTheBoxLengthButProgramTextsAreNot() {
        WindowFixture f;
        f.Open(f.WriteRom(RomBuilder(DemoLayout())));
        QLineEdit* hp = f.Box("txtHP");
        hp->clear();
        QTest::keyClicks(hp, "12345");
        QCOMPARE(hp->text(), QStringLiteral("123"));
        QLineEdit* speed = f.Box("txtSpeed");
        speed->clear();
        QTest::keyClicks(speed, "300");
        QCOMPARE(speed->text(), QStringLiteral("255"));
        hp->setText("12345");
        QCOMPARE(hp->text(), QStringLiteral("12345"));
        QLineEdit* name = f.Box("txtName");
        name->clear();
        QTest::keyClicks(name, "ABCDEFGHIJKL");
        QCOMPARE(name->text(), QStringLiteral("ABCDEFGHIJ"));
    }
};

QTEST_MAIN(SpeciesTest)
#include "tst_species.moc"
