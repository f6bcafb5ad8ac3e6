#include <QFocusEvent>

#include "WindowFixture.h"

class SpeciesTest : public QObject {
    Q_OBJECT
private slots:
    void selectingShowsTheWholeRecordAndUnlistedNumbers() {
        WindowFixture f;
        RomBuilder rom(DemoLayout());
        const RomLayout l = rom.layout();
        const int i = 25;
        rom.SetRecord(i, {45,   49,   50,   51, 65,   66,   3, 17, 190, 64, 0x1B, 0x09, 0x8B, 0x00,
                          0x01, 0x01, 0xFF, 20, 0xAA, 0xBB, 1, 15, 22,  77, 200,  1,    2,    3});
        rom.SetRecord(4, {1, 1, 1, 1, 1, 1, 40, 0, 1, 1, 0, 0, 0x00, 0x90});
        rom.SetName(i, "MARKED");
        rom.bytes()[l.IconPalette + i] = 2;
        rom.bytes()[l.IconPalette + 4] = 7;
        const int32_t pointers[] = {l.ImageOffset + 8 * i, l.ImageOffset + 5280 + 8 * i,
                                    l.PaletteOffset + 8 * i, l.PaletteOffset + 3520 + 8 * i,
                                    l.IconOffset + 4 * i};
        for (int k = 0; k < 5; ++k) rom.SetPointer(pointers[k], 0xABC00 + k);
        f.OpenDemo(i, rom);

        QCOMPARE(f.Values("txtName txtHP txtAttack txtDefense txtSpeed txtSAttack txtSDefense txtCatch"),
                 "MARKED 45 49 50 51 65 66 190");
        QCOMPARE(f.Values("txtXP txtSafari txtEVHP txtEVA txtEVD txtEVS txtEVSA txtEVSD"),
                 "64 200 3 2 1 0 1 2");
        QCOMPARE(f.Values("cmbType1 cmbType2 cmbItem1 cmbItem2 cmbGender cmbSteps cmbEggType1 cmbEggType2 "
                          "cmbAbility1 cmbAbility2 cmbPalette"),
                 "3 17 139 257 255 20 1 15 22 77 2");
        QCOMPARE(f.Values("txtSprite txtBackSprite txtPalette txtShinyPalette txtIcon"),
                 "0ABC00 0ABC01 0ABC02 0ABC03 0ABC04");
        QCOMPARE(f.Values("cmbGender cmbSteps cmbPalette", true), "None 5120 Pal 3");
        f.SelectSpecies(4);
        QCOMPARE(f.Values("cmbType1 cmbItem1 cmbPalette", true),
                 "#40 (not in list) #36864 (not in list) #7 (not in list)");
        // A pair of boxes shares its texts, not its entries; the extra entry leaves with the species.
        QVERIFY(f.Combo("cmbType1")->count() == 19 && f.Combo("cmbType2")->count() == 18);
        f.SelectSpecies(5);
        QVERIFY(f.Combo("cmbType1")->count() == 18 && f.Combo("cmbPalette")->count() == 3);
    }

    void boxesKeepTheirLimitsAndLengths() {
        WindowFixture f;
        f.OpenDemo();
        // (box, text put in, text shown, leave the box afterwards)
        const std::tuple<const char*, const char*, const char*, bool> cases[] = {
            {"txtSpeed", "", "0", false},        {"txtSpeed", "300", "255", false},
            {"txtCatch", "-5", "0", false},      {"txtXP", "1e2", "100", false},
            {"txtSpeed", "255.5", "255", false}, {"txtSpeed", "2.5", "2.5", false},
            {"txtLevel", "100", "99", false},    {"txtHP", "999", "999", false},
            {"txtHP", "999", "255", true},       {"txtHP", "255.5", "255.5", true},
            {"txtAttack", "255.5", "255", true}, {"txtSafari", "200", "200", false},
            {"txtSafari", "200", "175", true},   {"txtEVHP", "7", "3", false},
            {"txtEVA", "-1", "0", false},        {"txtEVSA", "2x", "2x", false},
            {"txtEVSD", "1.5", "1.5", false},    {"txtEVHP", "3.0", "3", false}};
        for (const auto& [box, in, out, leave] : cases) {
            f.Box(box)->setText(in);
            QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
            if (leave) QCoreApplication::sendEvent(f.Box(box), &focusOut);
            QCOMPARE(QString(box) + " " + in + " -> " + f.Box(box)->text(),
                     QString(box) + " " + in + " -> " + out);
        }
        // Typing is cut to the box's length, a text the program puts in is not.
        for (const char* box : {"txtHP", "txtSpeed", "txtName"}) {
            f.Box(box)->clear();
            QTest::keyClicks(f.Box(box), "3000000000000");
        }
        QCOMPARE(f.Values("txtHP txtSpeed txtName"), "300 255 3000000000");
        f.Box("txtHP")->setText("12345");
        QCOMPARE(f.Box("txtHP")->text(), QStringLiteral("12345"));
    }
};

QTEST_MAIN(SpeciesTest)
#include "tst_species.moc"
