#include "WindowFixture.h"

using testsupport::ChangedOffsets;

class SaveTest : public QObject {
    Q_OBJECT
private slots:
    // The bytes each field writes are SpeciesSaveTest's; here every box goes back to its own field, an edit
    // lands, and the report window folds and keeps its state.
    void aSaveWritesBackWhatWasReadAndShowsTheReport() {
        WindowFixture f;
        const std::string path = f.OpenDemo(12);
        const int32_t record = DemoLayout().DataOffset + 28 * 12, name = DemoLayout().NameOffset + 11 * 12;
        std::vector<uint8_t> before = f.Bytes(path);
        f.Click("cmdSave");
        // Only what a save rewrites by design may change: the name's padding and the unused EV bits.
        for (int64_t offset : ChangedOffsets(before, f.Bytes(path)))
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

        before = f.Bytes(path);
        f.Box("txtSafari")->setText("99");
        f.Box("txtName")->setText(QStringLiteral("SAY \"HI\""));
        f.Click("cmdSave");
        QCOMPARE(int(f.Bytes(path)[record + 24]), 99);
        for (int64_t offset : ChangedOffsets(before, f.Bytes(path)))
            QVERIFY(offset == record + 24 || (offset >= name && offset < name + 11));
        QCOMPARE(report->Confirmation(),
                 QStringLiteral("Data for \"SAY \"HI\"\" has been saved successfully!"));
        QVERIFY(f.shownModal.size() == 2 && f.shownModal[1] == report && report->IsUnfolded());
        // With the setting off the report is filled but not shown.
        f.window().SettingsWindow()->SetShowSave(false);
        f.Box("txtName")->setText("OFF");
        f.Click("cmdSave");
        QVERIFY(f.shownModal.size() == 2 && report->Confirmation().contains("\"OFF\""));
        QVERIFY(f.messages.isEmpty());
    }

    // Bad boxes are refused before any byte is written, each naming its field; a plan the editor refuses and
    // a file that cannot take the save give their message (RomWriterTest has every case) and the edits stay.
    void aRefusedSaveWritesNothingAndClaimsNoSuccess() {
        WindowFixture f;
        RomBuilder full(DemoLayout());
        full.Fill(DemoLayout().FreeSpaceKey,
                  std::vector<uint8_t>(DemoLayout().size - DemoLayout().FreeSpaceKey));
        const std::string path = f.OpenDemo(40, full);
        const std::vector<uint8_t> original = f.Bytes(path);
        f.Type("txtName", "CHANGED");
        for (const auto& [box, text, named] : {std::tuple{"txtHP", "", "\"HP\""},
                                               {"txtEVSA", "2x", "\"S.ATTACK\""},
                                               {"txtATable", "12G4", "\"Offset:\""}}) {
            const QString good = f.Box(box)->text();
            f.Box(box)->setText(text);
            f.Click("cmdSave");
            QVERIFY2(f.OneMessage(named), named);
            QCOMPARE(f.Bytes(path), original);
            f.Box(box)->setText(good);
        }
        // Rows that must move find no free space: asked to save before another species is shown, the window
        // stays where the edits are.
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
        std::filesystem::remove(path);
        f.Click("cmdSave");
        QVERIFY(f.OneMessage(QString::fromStdString('"' + path + '"')) && !std::filesystem::exists(path));
        QVERIFY(f.shownModal.isEmpty() && f.Edited() && !f.Status().startsWith("Saved"));
        QVERIFY(!f.window().ReportWindow()->Confirmation().contains("CHANGED"));
    }
};

QTEST_MAIN(SaveTest)
#include "tst_save.moc"
