// Saving through the main window: what reaches the file, the report window, and saves that must not claim
// success.

#include <QDialog>
#include <QPlainTextEdit>
#include <QTest>

#include <filesystem>
#include <optional>

#include "Form2.h"
#include "Form3.h"
#include "TestFiles.h"
#include "Unwritable.h"
#include "WindowFixture.h"

using testsupport::ChangedOffsets;
using testsupport::ReadFileBytes;

namespace {

struct OpenRom {
    WindowFixture f;
    RomBuilder rom{DemoLayout()};
    std::string path;
    std::vector<uint8_t> before;

    explicit OpenRom(int species) {
        path = f.WriteRom(rom);
        before = ReadFileBytes(path);
        f.Open(path);
        f.SelectSpecies(species);
    }
    int32_t Record(int species) const { return DemoLayout().DataOffset + 28 * species; }
};

}  // namespace

class SaveTest : public QObject {
    Q_OBJECT
private slots:
    void anEditLandsAtItsOffsetAndNowhereElse_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("recordByte");
        QTest::addColumn<int>("value");
        QTest::newRow("HP") << "txtHP" << "90" << 0 << 90;
        QTest::newRow("speed") << "txtSpeed" << "90" << 3 << 90;
        QTest::newRow("catch") << "txtCatch" << "3" << 8 << 3;
        QTest::newRow("xp") << "txtXP" << "201" << 9 << 201;
        QTest::newRow("safari") << "txtSafari" << "99" << 24 << 99;
        QTest::newRow("hp 256 wraps") << "txtHP" << "256" << 0 << 0;
        QTest::newRow("hp -1 wraps") << "txtHP" << "-1" << 0 << 0xFF;
    }

    void anEditLandsAtItsOffsetAndNowhereElse() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(int, recordByte);
        QFETCH(int, value);
        OpenRom o(30);
        // The first save settles what a save rewrites by design (name padding, unused EV bits).
        o.f.Click("cmdSave");
        const std::vector<uint8_t> settled = ReadFileBytes(o.path);
        o.f.Box(box.toLatin1().constData())->setText(text);
        o.f.Click("cmdSave");
        const std::vector<uint8_t> after = ReadFileBytes(o.path);
        const int64_t offset = o.Record(30) + recordByte;
        const std::vector<int64_t> changed = ChangedOffsets(settled, after);
        QVERIFY(changed.size() <= 1);
        QCOMPARE(int(after[offset]), value);
        QVERIFY(o.f.messages.isEmpty());
    }

    void anUntouchedSaveWritesBackWhatWasRead() {
        OpenRom o(12);
        o.f.Click("cmdSave");
        const std::vector<uint8_t> after = ReadFileBytes(o.path);
        const int32_t name = DemoLayout().NameOffset + 11 * 12;
        for (int64_t offset : ChangedOffsets(o.before, after)) {
            const bool nameTail = offset >= name && offset < name + 11 && after[offset] == 0x00;
            const bool evHighBits = offset == o.Record(12) + 11;
            QVERIFY2(nameTail || evHighBits, qPrintable(QString::number(offset, 16)));
        }
        QVERIFY(o.f.messages.isEmpty());
    }

    void theReportWindowFoldsAndKeepsItsState() {
        OpenRom o(7);
        o.f.Click("cmdSave");
        QCOMPARE(o.f.shownModal.size(), 1);
        auto* report = qobject_cast<Form2*>(o.f.shownModal[0]);
        QVERIFY(report);
        QCOMPARE(report->Confirmation(),
                 QStringLiteral("Data for \"%1\" has been saved successfully!").arg(o.f.Box("txtName")->text()));
        const QStringList lines = report->Report().split(QStringLiteral("\n"));
        QCOMPARE(lines.size(), 21);
        QCOMPARE(lines[0], QStringLiteral("Name Saved To: %1").arg(DemoLayout().NameOffset + 77));
        QCOMPARE(lines[1], QStringLiteral("HP Data Saved To: %1").arg(o.Record(7)));
        QCOMPARE(lines[11], QStringLiteral("EV Data Saved To: %1").arg(o.Record(7) + 10));
        QVERIFY(!report->IsUnfolded());
        const int folded = report->height();
        QTest::mouseClick(report->findChild<QPushButton*>("cmdShow"), Qt::LeftButton);
        QVERIFY(report->IsUnfolded());
        QVERIFY(report->height() > folded);
        QCOMPARE(report->findChild<QPushButton*>("cmdShow")->text(), QStringLiteral("Show Less"));
        QTest::mouseClick(report->findChild<QPushButton*>("chameleonButton1"), Qt::LeftButton);
        QVERIFY(report->isHidden());

        o.f.SelectSpecies(8);
        o.f.Click("cmdSave");
        QCOMPARE(o.f.shownModal.size(), 2);
        QCOMPARE(o.f.shownModal[1], report);
        QVERIFY(report->IsUnfolded());
        QVERIFY(report->Report().startsWith(QStringLiteral("Name Saved To: %1").arg(DemoLayout().NameOffset + 88)));
    }

    void withTheSettingOffTheReportIsFilledButNotShown() {
        OpenRom o(7);
        o.f.window().SettingsWindow()->SetShowSave(false);
        o.f.Box("txtName")->setText(QStringLiteral("SAY \"HI\""));
        o.f.Click("cmdSave");
        QVERIFY(o.f.shownModal.isEmpty());
        QCOMPARE(o.f.window().ReportWindow()->Confirmation(),
                 QStringLiteral("Data for \"SAY \"HI\"\" has been saved successfully!"));
    }

    void aBadValueIsRefusedBeforeAnyByteIsWritten_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("named");
        QTest::newRow("empty HP") << "txtHP" << "" << "HP";
        QTest::newRow("letters in ATTACK") << "txtAttack" << "abc" << "ATTACK";
        QTest::newRow("EV 2x") << "txtEVSA" << "2x" << "S.ATTACK";
        QTest::newRow("pointer not hex") << "txtSprite" << "12G4" << "Sprite Offset:";
        QTest::newRow("table offset empty") << "txtATable" << "" << "Offset:";
    }

    void aBadValueIsRefusedBeforeAnyByteIsWritten() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, named);
        OpenRom o(40);
        o.f.Box("txtName")->setText("CHANGED");
        o.f.Box(box.toLatin1().constData())->setText(text);
        o.f.Click("cmdSave");
        QCOMPARE(o.f.messages.size(), 1);
        QVERIFY2(o.f.messages[0].contains(named), qPrintable(o.f.messages[0]));
        QCOMPARE(ReadFileBytes(o.path), o.before);
        QVERIFY(o.f.shownModal.isEmpty());
    }

    void aFileThatCannotBeWrittenIsNeverReportedSaved_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("read-only") << "read-only";
        QTest::newRow("removed") << "removed";
    }

    void aFileThatCannotBeWrittenIsNeverReportedSaved() {
        QFETCH(QString, how);
        OpenRom o(40);
        o.f.Box("txtName")->setText("CHANGED");
        std::optional<testsupport::Unwritable> locked;
        if (how == "read-only") {
            locked.emplace(o.path);
            if (!locked->active()) QSKIP("this file system cannot make a file unwritable");
        } else {
            std::filesystem::remove(o.path);
        }
        o.f.Click("cmdSave");
        QCOMPARE(o.f.messages.size(), 1);
        QVERIFY2(o.f.messages[0].contains(QStringLiteral("test.gba")), qPrintable(o.f.messages[0]));
        QVERIFY(o.f.shownModal.isEmpty());
        QVERIFY(!o.f.window().ReportWindow()->Confirmation().contains(QStringLiteral("CHANGED")));
        if (how == "read-only") {
            QCOMPARE(ReadFileBytes(o.path), o.before);
        } else {
            QVERIFY(!std::filesystem::exists(o.path));
        }
        QCOMPARE(o.f.Box("txtName")->text(), QStringLiteral("CHANGED"));
    }
};

QTEST_MAIN(SaveTest)
#include "tst_save.moc"
