// The attack table frame through the main window: loading, row selection, "Change..." and new tables.

#include <QTest>

#include "Form4.h"
#include "TestFiles.h"
#include "WindowFixture.h"

using testsupport::ReadFileBytes;

namespace {

constexpr int32_t kTable = 0xE0000;

// A ROM whose species 2 has the given table at kTable.
struct TableRom {
    WindowFixture f;
    RomBuilder rom{DemoLayout()};
    std::string path;

    explicit TableRom(const std::vector<LevelUpAttackEntry>& rows) {
        rom.SetAttackTable(2, kTable, rows);
        path = f.WriteRom(rom);
        f.Open(path);
        f.SelectSpecies(2);
    }
    QStringList Column(const char* list) {
        QStringList texts;
        for (int i = 0; i < f.List(list)->count(); ++i) texts << f.List(list)->item(i)->text();
        return texts;
    }
};

}  // namespace

class AttacksTest : public QObject {
    Q_OBJECT
private slots:
    void aTableLoadsInRomOrder() {
        TableRom t({{33, 5}, {289, 5}, {0, 0}, {255, 127}, {510, 127}});
        const QComboBox* names = t.f.Combo("cmbANames");
        QCOMPARE(t.Column("lstLevel"), (QStringList{"5", "5", "0", "127", "127"}));
        QCOMPARE(t.Column("lstAttack"), (QStringList{names->itemText(33), names->itemText(289), names->itemText(0),
                                                     names->itemText(255), QStringLiteral("#510 (not in list)")}));
        QCOMPARE(t.f.Box("txtATable")->text(), QStringLiteral("0E0000"));
        QCOMPARE(t.f.Box("txtLevel")->text(), QStringLiteral("5"));
        QCOMPARE(t.f.Combo("cmbANames")->currentIndex(), 33);
    }

    void anEmptyTableGivesEmptyLists() {
        TableRom t({});
        QCOMPARE(t.f.List("lstAttack")->count(), 0);
        QCOMPARE(t.f.List("lstLevel")->count(), 0);
    }

    void selectingARowKeepsBothListsTogether() {
        TableRom t({{1, 1}, {2, 2}, {3, 3}, {4, 120}});
        t.f.List("lstLevel")->setCurrentRow(3);
        QCOMPARE(t.f.List("lstAttack")->currentRow(), 3);
        QCOMPARE(t.f.Box("txtLevel")->text(), QStringLiteral("99"));
        QCOMPARE(t.f.Combo("cmbANames")->currentIndex(), 4);
        t.f.List("lstAttack")->setCurrentRow(1);
        QCOMPARE(t.f.List("lstLevel")->currentRow(), 1);
        QCOMPARE(t.f.Box("txtLevel")->text(), QStringLiteral("2"));
        QCOMPARE(t.f.Combo("cmbANames")->currentIndex(), 2);
        // Pressing the row that is already selected shows it again.
        t.f.Box("txtLevel")->setText("50");
        QListWidget* levels = t.f.List("lstLevel");
        QTest::mouseClick(levels->viewport(), Qt::LeftButton, {}, levels->visualItemRect(levels->item(1)).center());
        QCOMPARE(t.f.Box("txtLevel")->text(), QStringLiteral("2"));
    }

    void changeEditsOneRowUntilTheTableIsLoadedAgain() {
        TableRom t({{1, 1}, {2, 2}, {3, 3}});
        t.f.List("lstAttack")->setCurrentRow(2);
        t.f.Combo("cmbANames")->setCurrentIndex(40);
        t.f.Box("txtLevel")->setText("12");
        t.f.Click("cmdChange");
        QCOMPARE(t.Column("lstLevel"), (QStringList{"1", "2", "12"}));
        QCOMPARE(t.f.List("lstAttack")->item(2)->text(), t.f.Combo("cmbANames")->itemText(40));
        QCOMPARE(t.f.List("lstAttack")->item(1)->text(), t.f.Combo("cmbANames")->itemText(2));
        t.f.Click("cmdChangeOffset");
        QCOMPARE(t.Column("lstLevel"), (QStringList{"1", "2", "3"}));
    }

    void rowsWriteTheirOwnNumbersBack() {
        // 400 has no name; levels above 99 are written as 99.
        TableRom t({{400, 10}, {300, 20}, {7, 110}});
        t.f.Click("cmdSave");
        const std::vector<uint8_t> after = ReadFileBytes(t.path);
        const std::vector<uint8_t> expected = {0x90, 0x15, 0x2C, 0x29, 0x07, 0xC6, 0xFF, 0xFF};
        QCOMPARE(std::vector<uint8_t>(after.begin() + kTable, after.begin() + kTable + 8), expected);
    }

    void aBadOffsetIsRefusedWithoutTouchingTheLists() {
        TableRom t({{1, 1}, {2, 2}});
        t.f.Box("txtATable")->setText("XYZ");
        t.f.Click("cmdChangeOffset");
        QCOMPARE(t.f.List("lstAttack")->count(), 2);
        QCOMPARE(t.f.messages.size(), 1);
    }

    void insertWritesPlaceholdersAndLoadsThem_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("none") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("three") << 3;
    }

    void insertWritesPlaceholdersAndLoadsThem() {
        QFETCH(int, count);
        TableRom t({{1, 1}});
        const std::vector<uint8_t> before = ReadFileBytes(t.path);
        t.f.Click("cmdNewTable");
        Form4* insert = t.f.window().InsertWindow();
        QCOMPARE(t.f.shownModal.size(), 1);
        insert->findChild<QLineEdit*>("Text1")->setText("e8000");
        insert->findChild<QLineEdit*>("Text2")->setText(QString::number(count));
        QTest::mouseClick(insert->findChild<QPushButton*>("chameleonButton1"), Qt::LeftButton);
        QVERIFY(t.f.messages.isEmpty());

        std::vector<uint8_t> expected = before;
        for (int k = 0; k < count; ++k) expected[0xE8000 + 2 * k] = 1, expected[0xE8000 + 2 * k + 1] = 2;
        expected[0xE8000 + 2 * count] = 0xFF;
        expected[0xE8000 + 2 * count + 1] = 0xFF;
        QCOMPARE(ReadFileBytes(t.path), expected);
        QCOMPARE(t.f.Box("txtATable")->text(), QStringLiteral("e8000"));
        QCOMPARE(t.Column("lstLevel"), QStringList(count, QStringLiteral("1")));
        QVERIFY(insert->isHidden());

        // The texts survive for the next insert; the species keeps its own table until it is saved.
        t.f.Click("cmdNewTable");
        QCOMPARE(t.f.window().InsertWindow()->StartOffsetText(), QStringLiteral("e8000"));
        t.f.SelectSpecies(3);
        t.f.SelectSpecies(2);
        QCOMPARE(t.f.Box("txtATable")->text(), QStringLiteral("0E0000"));
    }

    void insertRefusesBadInput_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("count");
        QTest::newRow("negative count") << "E8000" << "-1";
        QTest::newRow("fraction") << "E8000" << "1.5";
        QTest::newRow("not a number") << "E8000" << "two";
        QTest::newRow("empty start") << "" << "1";
        QTest::newRow("start not hex") << "E800G" << "1";
        QTest::newRow("seven digits") << "00E8000" << "1";
        QTest::newRow("beyond the end") << "FFFFE" << "1";
    }

    void insertRefusesBadInput() {
        QFETCH(QString, start);
        QFETCH(QString, count);
        TableRom t({{1, 1}});
        const std::vector<uint8_t> before = ReadFileBytes(t.path);
        t.f.Click("cmdNewTable");
        Form4* insert = t.f.window().InsertWindow();
        insert->findChild<QLineEdit*>("Text1")->setText(start);
        insert->findChild<QLineEdit*>("Text2")->setText(count);
        QTest::mouseClick(insert->findChild<QPushButton*>("chameleonButton1"), Qt::LeftButton);
        QCOMPARE(t.f.messages.size(), 1);
        QCOMPARE(ReadFileBytes(t.path), before);
        QCOMPARE(t.f.Box("txtATable")->text(), QStringLiteral("0E0000"));
    }
};

QTEST_MAIN(AttacksTest)
#include "tst_attacks.moc"
