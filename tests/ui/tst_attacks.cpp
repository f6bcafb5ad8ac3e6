#include "WindowFixture.h"

static constexpr int32_t kTable = 0xE0000;

static std::string OpenTable(WindowFixture& f, const std::vector<LevelUpAttackEntry>& rows) {
    RomBuilder rom(DemoLayout());
    rom.SetAttackTable(2, kTable, rows);
    return f.OpenDemo(2, rom);
}

static void Insert(WindowFixture& f, const QString& start, const QString& count, const char* button) {
    f.Click("cmdNewTable");
    if (!start.isNull()) f.window().InsertWindow()->findChild<QLineEdit*>("Text1")->setText(start);
    f.window().InsertWindow()->findChild<QLineEdit*>("Text2")->setText(count);
    WindowFixture::Press(f.window().InsertWindow(), button);
}

class AttacksTest : public QObject {
    Q_OBJECT
private slots:
    // The bytes of every table save are SpeciesSaveTest's, each refusal of a new table AttackTableTest's.
    void rowsAreEditedAddedRemovedAndSavedAndTablesInserted() {
        WindowFixture f;
        // 400 has no name; a level above 99 is saved as 99.
        const std::string path = OpenTable(f, {{33, 5}, {289, 5}, {400, 0}, {7, 120}});
        const QComboBox* names = f.Combo("cmbANames");
        QCOMPARE(f.Rows("lstLevel") + " " + f.Rows("lstAttack"),
                 "5|5|0|120 " + names->itemText(33) + "|" + names->itemText(289) + "|#400 (not in list)|" +
                     names->itemText(7));
        QCOMPARE(f.Values("txtATable lstAttack txtLevel cmbANames"), "0E0000 0 5 33");
        for (const auto& [list, row, shown] :
             {std::tuple{"lstLevel", 3, "3 3 99 7"}, {"lstAttack", 1, "1 1 5 289"}}) {
            f.List(list)->setCurrentRow(row);
            QCOMPARE(f.Values("lstAttack lstLevel txtLevel cmbANames"), shown);
        }
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
        f.List("lstAttack")->setCurrentRow(2);
        f.Combo("cmbANames")->setCurrentIndex(40);
        f.Box("txtLevel")->setText("12");
        f.Click("cmdChange");
        QVERIFY(f.Rows("lstLevel") == "5|5|12|99" &&
                f.List("lstAttack")->item(2)->text() == names->itemText(40));
        for (const char* offset : {"0E0000", "XYZ"}) {
            f.Box("txtATable")->setText(offset);
            f.Click("cmdChangeOffset");
            QCOMPARE(f.Rows("lstLevel"), "5|5|0|99");
        }
        QVERIFY(f.OneMessage("\"XYZ\" is not an offset"));
        // An offset typed but not loaded takes the rows shown; at the last byte they do not fit and move.
        f.Box("txtATable")->setText(QStringLiteral("FFFFF"));
        f.Click("cmdSave");
        QVERIFY(f.Status().contains("Moved To: 1015824 (0xF8010)") && f.messages.isEmpty());
        QCOMPARE(f.Values("txtATable") + " " + f.Rows("lstLevel"), "0F8010 5|5|0|99");

        // Added after the selected row among its level, before higher ones; removed, the next takes its
        // place.
        OpenTable(f, {{33, 5}, {289, 5}, {7, 20}});
        for (const auto& [attack, level, row] : {std::tuple{40, "5", 1}, {2, "1", 0}, {3, "50", 5}}) {
            f.Combo("cmbANames")->setCurrentIndex(attack);
            f.Box("txtLevel")->setText(level);
            f.Click("cmdAddAttack");
            QCOMPARE(f.Values("lstAttack lstLevel txtLevel cmbANames"),
                     QStringLiteral("%1 %1 %2 %3").arg(row).arg(level).arg(attack));
        }
        QVERIFY(f.Rows("lstLevel") == "1|5|5|5|20|50" && f.Edited());
        f.List("lstAttack")->setCurrentRow(2);
        f.Click("cmdRemoveAttack");
        QCOMPARE(f.Values("lstAttack lstLevel cmbANames"), "2 2 289");
        f.List("lstAttack")->setCurrentRow(4);
        f.Click("cmdRemoveAttack");
        QCOMPARE(f.Values("lstAttack lstLevel txtLevel cmbANames"), "3 3 20 7");  // the new last row
        f.Click("cmdSave");
        QVERIFY(f.window().ReportWindow()->Report().endsWith("\nAttack Table Moved To: 1015824 (0xF8010)") &&
                f.Status().endsWith("; Attack Table Moved To: 1015824 (0xF8010)"));
        QCOMPARE(f.Values("txtATable lstLevel") + " " + f.Rows("lstLevel"), "0F8010 0 1|5|5|20");
        QCOMPARE(f.List("lstAttack")->item(0)->text(), f.Combo("cmbANames")->itemText(2));

        OpenTable(f, {{1, 1}});
        const std::vector<uint8_t> original = f.Bytes(path);
        Insert(f, "E800G", "1", "chameleonButton1");
        QVERIFY(f.OneMessage("Nothing was written.") && f.Box("txtATable")->text() == "0E0000" &&
                f.Bytes(path) == original);
        Insert(f, {}, "3", "cmdFindSpace");
        const QString start = f.window().InsertWindow()->StartOffsetText();
        WindowFixture::Press(f.window().InsertWindow(), "chameleonButton1");
        QCOMPARE(f.Values("txtATable") + " " + f.Rows("lstLevel"), start + " 1|1|1");
        QCOMPARE(f.Status(), "Inserted a new attack table of 3 rows at " + start);
        QVERIFY(f.window().InsertWindow()->isHidden() && f.messages.isEmpty() && f.questions.isEmpty());
        // Over data it asks first; only Yes writes.
        for (const bool yes : {false, true}) {
            const std::vector<uint8_t> earlier = f.Bytes(path);
            f.answers = {yes ? Dialogs::Answer::Yes : Dialogs::Answer::No};
            Insert(f, QStringLiteral("e8000"), QStringLiteral("1"), "chameleonButton1");
            QVERIFY(f.questions.takeFirst().startsWith("The 4 bytes at 0E8000 are not free space"));
            QVERIFY((f.Bytes(path) != earlier) == yes && (f.Box("txtATable")->text() == "e8000") == yes);
        }
        // No place for a count that large: a message, and the start stays.
        Insert(f, {}, "20000", "cmdFindSpace");
        QVERIFY(f.OneMessage("") && f.window().InsertWindow()->StartOffsetText() == "e8000");
    }
};

QTEST_MAIN(AttacksTest)
#include "tst_attacks.moc"
