#include <QAction>
#include <QLabel>

#include "Form2.h"
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
        // Free space is found for the count typed; a table there asks nothing.
        for (int count : {0, 1, 3}) {
            f.Click("cmdNewTable");
            f.window().InsertWindow()->findChild<QLineEdit*>("Text2")->setText(QString::number(count));
            WindowFixture::Press(f.window().InsertWindow(), "cmdFindSpace");
            const QString start = f.window().InsertWindow()->StartOffsetText();
            WindowFixture::Press(f.window().InsertWindow(), "chameleonButton1");
            const int at = start.toInt(nullptr, 16);
            QVERIFY2(at >= 0xF8010 && at % 4 == 0 && f.questions.isEmpty(), qPrintable(start));
            for (int k = 0; k < count; ++k) expected[at + 2 * k] = 1, expected[at + 2 * k + 1] = 2;
            expected[at + 2 * count] = expected[at + 2 * count + 1] = 0xFF;
            QCOMPARE(f.Bytes(path), expected);
            QCOMPARE(f.Box("txtATable")->text() + " " + Column(f, "lstLevel"),
                     start + " " + QStringList(count, "1").join('|'));
            QVERIFY(f.window().InsertWindow()->isHidden() && f.messages.isEmpty());
        }
        // Over data it asks first, No being the default; only Yes writes.
        for (const Dialogs::Answer answer : {Dialogs::Answer::No, Dialogs::Answer::Yes}) {
            f.answers = {answer};
            Insert(f, QStringLiteral("e8000"), QStringLiteral("1"));
            QCOMPARE(f.questions.takeFirst(),
                     QStringLiteral("The 4 bytes at 0E8000 are not free space: they may hold "
                                    "other data. Write the table there anyway?"));
            if (answer == Dialogs::Answer::Yes)
                std::copy_n("\x01\x02\xFF\xFF", 4, expected.begin() + 0xE8000);
            QCOMPARE(f.Bytes(path), expected);
            QCOMPARE(f.Box("txtATable")->text() == "e8000", answer == Dialogs::Answer::Yes);
        }
        // No place for a count that large, and no count at all: a message, and the start stays.
        for (const char* count : {"20000", "x"}) {
            f.Click("cmdNewTable");
            f.window().InsertWindow()->findChild<QLineEdit*>("Text2")->setText(count);
            WindowFixture::Press(f.window().InsertWindow(), "cmdFindSpace");
            QVERIFY2(f.messages.size() == 1 && f.window().InsertWindow()->StartOffsetText() == "e8000",
                     count);
            f.messages.clear();
        }
        // The texts survive for the next insert; the species keeps its own table until it is saved.
        f.SelectSpecies(3);
        f.SelectSpecies(2);
        QCOMPARE(f.Box("txtATable")->text(), QStringLiteral("0E0000"));
    }

    // Rows added in level order and removed; a longer table moves on save, as one step Undo takes back.
    void addAndRemoveRowsThenSaveAMovedTable() {
        WindowFixture f;
        const std::string path = OpenTable(f, {{33, 5}, {289, 5}, {7, 20}});
        const std::vector<uint8_t> before = f.Bytes(path);
        const QComboBox* names = f.Combo("cmbANames");
        const auto add = [&f](int attack, const char* level) {
            f.Combo("cmbANames")->setCurrentIndex(attack);
            f.Box("txtLevel")->setText(level);
            f.Click("cmdAddAttack");
        };
        add(40, "5");  // after the selected first row, among its level
        QCOMPARE(Column(f, "lstLevel"), "5|5|5|20");
        QCOMPARE(f.Values("lstAttack txtLevel cmbANames"), "1 5 40");
        QVERIFY(f.Caption().endsWith('*'));
        add(2, "1");  // before every higher level
        add(3, "50");
        QCOMPARE(Column(f, "lstLevel"), "1|5|5|5|20|50");
        QCOMPARE(f.List("lstAttack")->item(0)->text(), names->itemText(2));
        f.List("lstAttack")->setCurrentRow(2);
        f.Click("cmdRemoveAttack");
        QCOMPARE(Column(f, "lstLevel"), "1|5|5|20|50");
        QCOMPARE(f.Values("lstAttack lstLevel cmbANames"), "2 2 289");

        f.Click("cmdSave");
        std::vector<uint8_t> expected = before;
        const uint8_t pointer[] = {0x10, 0x80, 0x0F, 0x08};
        const uint8_t table[] = {0x02, 0x02, 0x21, 0x0A, 0x21, 0x0B, 0x07, 0x28, 0x03, 0x64, 0xFF, 0xFF};
        std::copy_n(pointer, 4, expected.begin() + DemoLayout().AttackTable + 4 * 2);
        std::fill_n(expected.begin() + kTable, 8, 0xFF);
        std::copy_n(table, 12, expected.begin() + 0xF8010);
        // A save clears bits 12 to 15 of the EV word.
        expected[DemoLayout().DataOffset + 28 * 2 + 11] &= 0x0F;
        const std::string differences = testsupport::Differences(expected, f.Bytes(path));
        QVERIFY2(differences.empty(), differences.c_str());
        QVERIFY(f.window().ReportWindow()->Report().endsWith("\nAttack Table Moved To: 1015824 (0xF8010)"));
        QVERIFY(f.Find<QLabel>("lblStatus")->text().endsWith("; Attack Table Moved To: 1015824 (0xF8010)"));
        QCOMPARE(f.Values("txtATable lstLevel"), "0F8010 0");
        f.window().findChild<QAction*>("mnuUndo")->trigger();
        QCOMPARE(f.Bytes(path), before);
    }
};

QTEST_MAIN(AttacksTest)
#include "tst_attacks.moc"
