#include "Form4.h"
#include "WindowFixture.h"

static constexpr int32_t kTable = 0xE0000;

static std::string OpenTable(WindowFixture& f, const std::vector<LevelUpAttackEntry>& rows) {
    RomBuilder rom(DemoLayout());
    rom.SetAttackTable(2, kTable, rows);
    return f.OpenDemo(2, rom);
}

static QString Column(WindowFixture& f, const char* list) {
    QStringList texts;
    for (int i = 0; i < f.List(list)->count(); ++i) texts << f.List(list)->item(i)->text();
    return texts.join('|');
}

static void Insert(WindowFixture& f, const QString& start, const QString& count) {
    f.Click("cmdNewTable");
    f.window().InsertWindow()->findChild<QLineEdit*>("Text1")->setText(start);
    f.window().InsertWindow()->findChild<QLineEdit*>("Text2")->setText(count);
    WindowFixture::Press(f.window().InsertWindow(), "chameleonButton1");
}

class AttacksTest : public QObject {
    Q_OBJECT
private slots:
    void rowsLoadInRomOrderStayTogetherAndWriteTheirOwnNumbers() {
        WindowFixture f;
        // 400 has no name; a level above 99 is saved as 99.
        const std::string path = OpenTable(f, {{33, 5}, {289, 5}, {400, 0}, {7, 120}});
        const QComboBox* names = f.Combo("cmbANames");
        QCOMPARE(Column(f, "lstLevel"), "5|5|0|120");
        QCOMPARE(Column(f, "lstAttack"), names->itemText(33) + "|" + names->itemText(289) +
                                             "|#400 (not in list)|" + names->itemText(7));
        QCOMPARE(f.Values("txtATable lstAttack txtLevel cmbANames"), "0E0000 0 5 33");
        f.List("lstLevel")->setCurrentRow(3);
        QCOMPARE(f.Values("lstAttack txtLevel cmbANames"), "3 99 7");
        f.List("lstAttack")->setCurrentRow(1);
        QCOMPARE(f.Values("lstLevel txtLevel cmbANames"), "1 5 289");
        // Pressing the row that is already selected shows it again.
        f.Box("txtLevel")->setText("50");
        QListWidget* levels = f.List("lstLevel");
        QTest::mouseClick(levels->viewport(), Qt::LeftButton, {},
                          levels->visualItemRect(levels->item(1)).center());
        QCOMPARE(f.Box("txtLevel")->text(), QStringLiteral("5"));
        f.Click("cmdSave");
        const std::vector<uint8_t> after = f.Bytes(path);
        QCOMPARE(std::vector<uint8_t>(after.begin() + kTable, after.begin() + kTable + 10),
                 (std::vector<uint8_t>{0x21, 0x0A, 0x21, 0x0B, 0x90, 0x01, 0x07, 0xC6, 0xFF, 0xFF}));
        // The save shows what it wrote. "Change" edits one row until the table is loaded again.
        f.List("lstAttack")->setCurrentRow(2);
        f.Combo("cmbANames")->setCurrentIndex(40);
        f.Box("txtLevel")->setText("12");
        f.Click("cmdChange");
        QCOMPARE(Column(f, "lstLevel"), "5|5|12|99");
        QCOMPARE(f.List("lstAttack")->item(2)->text(), names->itemText(40));
        f.Click("cmdChangeOffset");
        QCOMPARE(Column(f, "lstLevel"), "5|5|0|99");
        f.Box("txtATable")->setText("XYZ");
        f.Click("cmdChangeOffset");
        QVERIFY(Column(f, "lstLevel") == "5|5|0|99" && f.messages.size() == 1);
    }

    void insertRefusesBadInputThenWritesPlaceholdersAndLoadsThem() {
        WindowFixture f;
        const std::string path = OpenTable(f, {{1, 1}});
        const std::pair<const char*, const char*> refused[] = {
            {"E8000", "-1"}, {"E8000", "1.5"}, {"E8000", "two"}, {"", "1"},
            {"E800G", "1"},  {"2000000", "1"}, {"FFFFE", "1"}};
        std::vector<uint8_t> expected = f.Bytes(path);
        for (const auto& [start, count] : refused) {
            Insert(f, start, count);
            QVERIFY2(f.messages.size() == 1 && f.Box("txtATable")->text() == "0E0000", start);
            QCOMPARE(f.Bytes(path), expected);
            f.messages.clear();
        }
        for (int count : {0, 1, 3}) {
            Insert(f, QStringLiteral("e8000"), QString::number(count));
            for (int k = 0; k < count; ++k) expected[0xE8000 + 2 * k] = 1, expected[0xE8000 + 2 * k + 1] = 2;
            expected[0xE8000 + 2 * count] = expected[0xE8000 + 2 * count + 1] = 0xFF;
            QCOMPARE(f.Bytes(path), expected);
            QCOMPARE(f.Box("txtATable")->text() + " " + Column(f, "lstLevel"),
                     "e8000 " + QStringList(count, "1").join('|'));
            QVERIFY(f.window().InsertWindow()->isHidden() && f.messages.isEmpty());
        }
        // The texts survive for the next insert; the species keeps its own table until it is saved.
        f.Click("cmdNewTable");
        QCOMPARE(f.window().InsertWindow()->StartOffsetText(), QStringLiteral("e8000"));
        f.SelectSpecies(3);
        f.SelectSpecies(2);
        QCOMPARE(f.Box("txtATable")->text(), QStringLiteral("0E0000"));
    }
};

QTEST_MAIN(AttacksTest)
#include "tst_attacks.moc"
