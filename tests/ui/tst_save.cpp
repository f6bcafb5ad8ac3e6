#include <filesystem>
#include <optional>

#include "Form2.h"
#include "Form3.h"
#include "SpritePreview.h"
#include "Unwritable.h"
#include "WindowFixture.h"

using testsupport::ChangedOffsets;

class SaveTest : public QObject {
    Q_OBJECT
private slots:
    void aSaveWritesBackWhatWasReadAndEachEditAtItsOffset() {
        WindowFixture f;
        const std::string path = f.OpenDemo(12);
        const int32_t record = DemoLayout().DataOffset + 28 * 12, name = DemoLayout().NameOffset + 11 * 12;
        std::vector<uint8_t> before = f.Bytes(path);
        f.Click("cmdSave");
        // Only what a save rewrites by design may change: the name's padding and the unused EV bits.
        for (int64_t offset : ChangedOffsets(before, f.Bytes(path)))
            QVERIFY(offset == record + 11 ||
                    (offset >= name && offset < name + 11 && f.Bytes(path)[offset] == 0));
        for (const auto& [box, text, byte, value] :
             {std::tuple{"txtSafari", "99", 24, 99}, {"txtHP", "256", 0, 0}, {"txtHP", "-1", 0, 255}}) {
            before = f.Bytes(path);
            f.Box(box)->setText(text);
            f.Click("cmdSave");
            QCOMPARE(int(f.Bytes(path)[record + byte]), value);
            QVERIFY(ChangedOffsets(before, f.Bytes(path)) == std::vector<int64_t>{record + byte});
        }
        QVERIFY(f.messages.isEmpty() && f.shownModal.size() == 4);
    }

    // Tables and pictures above 16 MiB: seven-digit pointers, read and written at their own offsets.
    void aRomOf32MiB() {
        WindowFixture f;
        RomBuilder rom(ExpandedLayout());
        rom.bytes()[ExpandedLayout().DataOffset + 28 * 5 + 11] &= 0x0F;  // EV bits a save does not keep
        const std::string path = f.OpenDemo(5, rom);
        for (const char* box :
             {"txtSprite", "txtBackSprite", "txtPalette", "txtShinyPalette", "txtIcon", "txtATable"})
            QVERIFY2(f.Box(box)->text().size() == 7 && f.Box(box)->text().startsWith('1'), box);
        QVERIFY(!f.Find<SpritePreview>("preview")->Image(SpritePreview::View::Front).isNull());
        QVERIFY(f.List("lstLevel")->count() > 0);
        const std::vector<uint8_t> before = f.Bytes(path);
        f.Click("cmdSave");
        QVERIFY(f.Bytes(path) == before);

        f.Combo("cmbANames")->setCurrentIndex(300);
        f.Box("txtLevel")->setText("10");
        f.Click("cmdChange");
        f.Click("cmdSave");
        const int64_t table = f.Box("txtATable")->text().toLongLong(nullptr, 16);
        QVERIFY(ChangedOffsets(before, f.Bytes(path)) == (std::vector<int64_t>{table, table + 1}));
        QVERIFY(f.Bytes(path)[table] == 0x2C && f.Bytes(path)[table + 1] == 0x15 && f.messages.isEmpty());
    }

    void theReportWindowFoldsAndKeepsItsState() {
        WindowFixture f;
        f.OpenDemo(7);
        f.Box("txtName")->setText(QStringLiteral("SAY \"HI\""));
        f.Click("cmdSave");
        Form2* report = f.window().ReportWindow();
        QCOMPARE(f.shownModal, QList<QDialog*>{report});
        QCOMPARE(report->Confirmation(),
                 QStringLiteral("Data for \"SAY \"HI\"\" has been saved successfully!"));
        QCOMPARE(report->Report().count('\n') + 1, 21);
        QVERIFY(report->Report().startsWith(
            QStringLiteral("Name Saved To: %1\n").arg(DemoLayout().NameOffset + 77)));
        const int folded = report->height();
        auto* show = report->findChild<QPushButton*>("cmdShow");
        QVERIFY(!report->IsUnfolded() && show->text() == "Show More");
        QTest::mouseClick(show, Qt::LeftButton);
        QVERIFY(report->IsUnfolded() && report->height() > folded && show->text() == "Show Less");
        WindowFixture::Press(report, "chameleonButton1");
        QVERIFY(report->isHidden());
        f.Click("cmdSave");
        QVERIFY(f.shownModal.size() == 2 && f.shownModal[1] == report && report->IsUnfolded());
        // With the setting off the report is filled but not shown.
        f.window().SettingsWindow()->SetShowSave(false);
        f.Box("txtName")->setText("OFF");
        f.Click("cmdSave");
        QVERIFY(f.shownModal.size() == 2 && report->Confirmation().contains("\"OFF\""));
    }

    void aSaveThatFailsWritesNothingAndClaimsNoSuccess() {
        WindowFixture f;
        const std::string path = f.OpenDemo(40);
        const std::vector<uint8_t> original = f.Bytes(path);
        f.Box("txtName")->setText("CHANGED");
        // A bad value is refused before any byte is written: (box, text, the field the message names).
        const std::tuple<const char*, const char*, const char*> bad[] = {
            {"txtHP", "", "HP"},
            {"txtAttack", "abc", "ATTACK"},
            {"txtEVSA", "2x", "S.ATTACK"},
            {"txtSprite", "12G4", "Sprite Offset:"},
            {"txtATable", "", "Offset:"}};
        for (const auto& [box, text, named] : bad) {
            const QString good = f.Box(box)->text();
            f.Box(box)->setText(text);
            f.Click("cmdSave");
            QVERIFY2(f.messages.size() == 1 && f.messages.takeFirst().contains(named), named);
            QCOMPARE(f.Bytes(path), original);
            f.Box(box)->setText(good);
        }
        // So is a file that cannot take it; each case leaves the file as the next one starts from.
        for (const std::string how : {"read-only", "cut in the record", "removed"}) {
            std::optional<testsupport::Unwritable> locked;
            if (how == "read-only" && !locked.emplace(path).active()) continue;  // not on this file system
            if (how == "cut in the record")
                std::filesystem::resize_file(path, DemoLayout().DataOffset + 28 * 40 + 20);
            if (how == "removed") std::filesystem::remove(path);
            const std::vector<uint8_t> before = f.Bytes(path);
            f.Click("cmdSave");
            QCOMPARE(f.messages.size(), 1);
            QVERIFY2(f.messages[0].contains(QString::fromStdString('"' + path + '"')), how.c_str());
            QVERIFY2(f.messages.takeFirst().contains("Nothing was written."), how.c_str());
            QCOMPARE(f.Bytes(path), before);
        }
        QVERIFY(f.shownModal.isEmpty() && !f.window().ReportWindow()->Confirmation().contains("CHANGED"));
    }
};

QTEST_MAIN(SaveTest)
#include "tst_save.moc"
