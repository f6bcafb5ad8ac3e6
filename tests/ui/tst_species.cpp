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

        QCOMPARE(f.Values("txtName txtHP txtAttack txtDefense txtSpeed txtSAttack txtSDefense txtCatch txtXP "
                          "txtSafari txtEVHP txtEVA txtEVD txtEVS txtEVSA txtEVSD"),
                 "MARKED 45 49 50 51 65 66 190 64 200 3 2 1 0 1 2");
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

        // One box of each call that binds a check: (box, text put in, text shown, text after leaving the
        // box).
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

    // An unedited save changes only what a save rewrites by design (the name's padding, the unused EV bits):
    // every box went back to its own field.
    void aSaveWritesBackWhatWasReadAndShowsTheReport() {
        WindowFixture f;
        const std::string path = f.OpenDemo(12);
        const int32_t record = DemoLayout().DataOffset + 28 * 12, name = DemoLayout().NameOffset + 11 * 12;
        const std::vector<uint8_t> before = f.Bytes(path);
        f.Click("cmdSave");
        for (int64_t offset : testsupport::ChangedOffsets(before, f.Bytes(path)))
            QVERIFY(offset == record + 11 ||
                    (offset >= name && offset < name + 11 && f.Bytes(path)[offset] == 0));
        Form2* report = f.window().ReportWindow();
        QCOMPARE(f.shownModal, QList<QDialog*>{report});
        QVERIFY(report->Report().startsWith(QStringLiteral("Name Saved To: %1\n").arg(name)));
        auto* show = report->findChild<QPushButton*>("cmdShow");
        QVERIFY(!report->IsUnfolded() && show->text() == "Show More" && report->height() == 110);
        QTest::mouseClick(show, Qt::LeftButton);
        QVERIFY(report->IsUnfolded() && report->height() == 371 && show->text() == "Show Less");
        WindowFixture::Press(report, "chameleonButton1");
        QVERIFY(report->isHidden());

        f.Box("txtSafari")->setText("99");
        f.Box("txtName")->setText(QStringLiteral("SAY \"HI\""));
        f.Click("cmdSave");
        QCOMPARE(int(f.Bytes(path)[record + 24]), 99);
        QCOMPARE(report->Confirmation(),
                 QStringLiteral("Data for \"SAY \"HI\"\" has been saved successfully!"));
        QVERIFY(f.shownModal.size() == 2 && f.shownModal[1] == report && report->IsUnfolded());
        // With the setting off the report is filled but not shown.
        f.window().SettingsWindow()->SetShowSave(false);
        f.Box("txtName")->setText("OFF");
        f.Click("cmdSave");
        QVERIFY(f.shownModal.size() == 2 && report->Confirmation().contains("\"OFF\"") &&
                f.messages.isEmpty());
    }

    // Nothing is written, no success is claimed and the edits stay.
    void aRefusedSaveWritesNothingAndClaimsNoSuccess() {
        WindowFixture f;
        RomBuilder full(DemoLayout());
        full.Fill(DemoLayout().FreeSpaceKey,
                  std::vector<uint8_t>(DemoLayout().size - DemoLayout().FreeSpaceKey));
        const std::string path = f.OpenDemo(40, full);
        const std::vector<uint8_t> original = f.Bytes(path);
        f.Type("txtName", "CHANGED");
        // One box of each kind the window parses, each naming its field.
        for (const auto& [box, text, named] : {std::tuple{"txtHP", "", "\"HP\""},
                                               {"txtEVSA", "2x", "\"S.ATTACK\""},
                                               {"txtATable", "12G4", "\"Offset:\""}}) {
            const QString good = f.Box(box)->text();
            f.Box(box)->setText(text);
            f.Click("cmdSave");
            QVERIFY2(f.OneMessage(named) && f.Bytes(path) == original, named);
            f.Box(box)->setText(good);
        }
        // Rows that must move find no free space: asked to save before another species, the window stays.
        const QString table = f.Box("txtATable")->text();
        f.Box("txtATable")->setText("FFFFF");
        f.answers = {Dialogs::Answer::Save};
        f.SelectSpecies(41);
        QVERIFY(f.OneMessage("free space") && f.List("lstPokemon")->currentRow() == 40);
        QCOMPARE(f.Bytes(path), original);
        f.Box("txtATable")->setText(table);
        RomBuilder other(FireRedLayout());
        other.bytes().resize(1 << 20);
        f.WriteRom(other);
        f.Click("cmdSave");
        QVERIFY(f.OneMessage("has changed since it was opened") && f.Bytes(path) == other.bytes());
        QVERIFY(f.shownModal.isEmpty() && f.Edited() && !f.Status().startsWith("Saved"));
        QVERIFY(!f.window().ReportWindow()->Confirmation().contains("CHANGED"));
    }
};

QTEST_MAIN(SpeciesTest)
#include "tst_species.moc"
