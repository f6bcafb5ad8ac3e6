// Species data files, the name list export and the name field's symbol menu, through the main window.

#include <QMenu>
#include <QTest>

#include "Dialogs.h"
#include "TestFiles.h"
#include "TextCodec.h"
#include "WindowFixture.h"

using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

QStringList Snapshot(WindowFixture& f) {
    QStringList values;
    for (QLineEdit* box : f.window().findChildren<QLineEdit*>()) values << box->objectName() + "=" + box->text();
    for (QComboBox* box : f.window().findChildren<QComboBox*>())
        values << box->objectName() + "=" + QString::number(box->currentIndex());
    return values;
}

}  // namespace

class FilesTest : public QObject {
    Q_OBJECT
private slots:
    void exportThenImportIntoAnotherSpecies() {
        WindowFixture f;
        f.Open(f.WriteRom(RomBuilder(DemoLayout())));
        f.SelectSpecies(10);
        f.Box("txtHP")->setText("300");
        const QStringList from = Snapshot(f);
        const std::string file = f.TempFile("ten.pkmn");
        Dialogs::QueueFileAnswer(QString::fromStdString(file));
        f.Click("cmdNameEx");
        QCOMPARE(Dialogs::LastFileRequest().title, QStringLiteral("Save Pokemon Data File..."));
        const std::vector<uint8_t> written = ReadFileBytes(file);
        QCOMPARE(std::count(written.begin(), written.end(), '|'), 19);
        QVERIFY(written.size() > 2 && written[written.size() - 2] == '\r' && written.back() == '\n');

        f.SelectSpecies(11);
        const QStringList before = Snapshot(f);
        Dialogs::QueueFileAnswer(QString::fromStdString(file));
        f.Click("cmdNameIm");
        QCOMPARE(Dialogs::LastFileRequest().title, QStringLiteral("Load Pokemon Data File..."));
        const QStringList after = Snapshot(f);
        const QStringList taken = {"txtName", "txtHP",     "txtAttack", "txtDefense", "txtSpeed",
                                   "txtSAttack", "txtSDefense", "txtXP", "txtCatch", "txtSafari",
                                   "cmbType1", "cmbType2", "cmbItem1", "cmbItem2", "cmbAbility1",
                                   "cmbAbility2", "cmbEggType1", "cmbEggType2", "cmbSteps", "cmbGender"};
        for (int i = 0; i < after.size(); ++i) {
            const QString name = after[i].section('=', 0, 0);
            if (taken.contains(name))
                QCOMPARE(after[i], from[i]);
            else if (name != "cmbANames" && name != "txtLevel")
                QCOMPARE(after[i], before[i]);
        }
        QCOMPARE(f.Box("txtHP")->text(), QStringLiteral("300"));
    }

    void importCorrectsOnlyTheChangeCheckedBoxes() {
        WindowFixture f;
        f.Open(f.WriteRom(RomBuilder(DemoLayout())));
        const std::string file = f.TempFile("in.pkmn");
        QVERIFY(WriteFileBytes(file, Bytes("ABC|300|20|30|300|50|60|70|80|1|2|0|5|3|4|200|6|7|8|9\r\n")));
        Dialogs::QueueFileAnswer(QString::fromStdString(file));
        f.Click("cmdNameIm");
        QCOMPARE(f.Box("txtHP")->text(), QStringLiteral("300"));
        QCOMPARE(f.Box("txtSpeed")->text(), QStringLiteral("255"));
        QCOMPARE(f.Box("txtSafari")->text(), QStringLiteral("200"));
        QCOMPARE(f.Combo("cmbItem2")->currentIndex(), 5);
        QCOMPARE(f.Combo("cmbGender")->currentIndex(), 9);
    }

    void aFileThatIsNoSpeciesFileChangesNothing_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("named");
        QTest::newRow("empty") << "" << "field";
        QTest::newRow("19 fields") << "A|1|2|3|4|5|6|7|8|1|2|0|5|3|4|0|6|7|8\r\n" << "19";
        QTest::newRow("list not a number") << "A|1|2|3|4|5|6|7|8|x|2|0|5|3|4|0|6|7|8|9" << "10";
        QTest::newRow("outside its list") << "A|1|2|3|4|5|6|7|8|1|2|0|5|3|4|0|6|7|8|400" << "20";
    }

    void aFileThatIsNoSpeciesFileChangesNothing() {
        QFETCH(QString, content);
        QFETCH(QString, named);
        WindowFixture f;
        f.Open(f.WriteRom(RomBuilder(DemoLayout())));
        const QStringList before = Snapshot(f);
        const std::string file = f.TempFile("bad.pkmn");
        QVERIFY(WriteFileBytes(file, Bytes(content.toStdString())));
        Dialogs::QueueFileAnswer(QString::fromStdString(file));
        f.Click("cmdNameIm");
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages[0].contains(named), qPrintable(f.messages[0]));
        QCOMPARE(Snapshot(f), before);
    }

    void speciesFileButtonsWaitForASpecies() {
        WindowFixture f;
        QVERIFY(!f.Find<QPushButton>("cmdNameEx")->isEnabled());
        f.Open(f.WriteRom(RomBuilder(DemoLayout())));
        QVERIFY(f.Find<QPushButton>("cmdNameEx")->isEnabled());
        QVERIFY(f.Find<QPushButton>("cmdNameIm")->isEnabled());
    }

    void theNameListIsWrittenByteForByte() {
        WindowFixture f;
        RomBuilder rom(DemoLayout());
        rom.SetName(0, "");
        rom.SetName(1, std::string("NIDORAN") + '\x0C');
        f.Open(f.WriteRom(rom));
        const std::string file = f.TempFile("names.txt");
        Dialogs::QueueFileAnswer(QString::fromStdString(file));
        f.Click("cmdExport");
        QCOMPARE(Dialogs::LastFileRequest().filter,
                 QStringLiteral("Text Files (*.txt)|*.txt|INI Files (*.ini)|*.ini|All Files (*.*)|*.*"));
        std::string expected;
        for (int i = 0; i < 412; ++i)
            expected += TextCodec::FromDisplay(f.List("lstPokemon")->item(i)->text()) + "\r\n";
        expected += "\r\n";
        const std::vector<uint8_t> written = ReadFileBytes(file);
        QCOMPARE(std::string(written.begin(), written.end()), expected);
        QCOMPARE(expected.substr(0, 12), std::string("\r\nNIDORAN\x0C\r\n"));
    }

    void cancellingTheNameExportWritesNothing() {
        WindowFixture f;
        f.Open(f.WriteRom(RomBuilder(DemoLayout())));
        Dialogs::QueueFileAnswer(QString());
        f.Click("cmdExport");
        QVERIFY(f.messages.isEmpty());
    }

    void theSymbolMenuAppendsAtTheEnd_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("female") << "mnuFemale" << "ABC" << QStringLiteral("ABC\u2640");
        QTest::newRow("male to ten letters") << "mnuMale" << "ABCDEFGHIJ" << QStringLiteral("ABCDEFGHIJ\u2642");
        QTest::newRow("dismissed") << "" << "ABC" << "ABC";
    }

    void theSymbolMenuAppendsAtTheEnd() {
        QFETCH(QString, entry);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        WindowFixture f;
        f.Open(f.WriteRom(RomBuilder(DemoLayout())));
        QLineEdit* box = f.Box("txtName");
        box->setText(name);
        box->setCursorPosition(0);
        QStringList shown;
        bool enabledDuringMenu = true;
        Dialogs::SetMenuHook([&](QMenu* menu) {
            enabledDuringMenu = box->isEnabled();
            for (QAction* action : menu->actions())
                if (action->isEnabled()) shown << action->text();
            if (!entry.isEmpty()) menu->findChild<QAction*>(entry)->trigger();
        });
        QTest::mouseClick(box, Qt::RightButton);
        QCOMPARE(shown, (QStringList{"Add Male Symbol", "Add Female Symbol"}));
        QVERIFY(!enabledDuringMenu);
        QVERIFY(box->isEnabled());
        QVERIFY(box->updatesEnabled());
        QCOMPARE(box->text(), expected);
    }

    void theSymbolsAreSavedAsTheirGameCodes() {
        WindowFixture f;
        RomBuilder rom(DemoLayout());
        const std::string path = f.WriteRom(rom);
        f.Open(path);
        f.SelectSpecies(32);
        f.Box("txtName")->setText(QStringLiteral("NIDORAN\u2642"));
        f.Click("cmdSave");
        const std::vector<uint8_t> after = ReadFileBytes(path);
        const int32_t entry = DemoLayout().NameOffset + 11 * 32;
        QCOMPARE(int(after[entry + 7]), 0xB5);
        QCOMPARE(int(after[entry + 8]), 0xFF);
        QCOMPARE(f.List("lstPokemon")->item(32)->text(), QStringLiteral("NIDORAN\u2642"));
    }

};

QTEST_MAIN(FilesTest)
#include "tst_files.moc"
