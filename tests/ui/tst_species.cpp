#include <QFocusEvent>

#include "WindowFixture.h"

class SpeciesTest : public QObject {
    Q_OBJECT
private slots:
    void selectingShowsTheWholeRecordAndBoxesKeepTheirLimits() {
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

        // Which check each box has, on change or on leaving it; what a check makes of a text is
        // FieldLimitsTest's.
        // (box, text put in, text shown, text after leaving the box); one box of each call that binds a
        // check.
        const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
            {"txtHP", "999", "999", "255"},         {"txtHP", "255.5", "255.5", "255.5"},
            {"txtAttack", "255.5", "255.5", "255"}, {"txtDefense", "300", "300", "255"},
            {"txtSafari", "200", "200", "175"},     {"txtSpeed", "300", "255", "255"},
            {"txtLevel", "100", "99", "99"},        {"txtEVSD", "7", "3", "3"}};
        for (const auto& [box, in, shown, left] : cases) {
            f.Box(box)->setText(in);
            QCOMPARE(QString(box) + " " + in + " -> " + f.Box(box)->text(),
                     QString(box) + " " + in + " -> " + shown);
            QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
            QCoreApplication::sendEvent(f.Box(box), &focusOut);
            QCOMPARE(QString(box) + " left -> " + f.Box(box)->text(), QString(box) + " left -> " + left);
        }
        // Typing is cut to the box's length, a text the program puts in is not.
        const QString boxes = "txtHP txtSpeed txtName txtLevel txtEVS txtIcon";
        for (const QString& box : boxes.split(' ')) f.Type(box, "3000000000000");
        QCOMPARE(f.Values(boxes), "300 255 3000000000 30 3 3000000");
        f.Box("txtHP")->setText("12345");
        QCOMPARE(f.Box("txtHP")->text(), QStringLiteral("12345"));
    }
};

QTEST_MAIN(SpeciesTest)
#include "tst_species.moc"
