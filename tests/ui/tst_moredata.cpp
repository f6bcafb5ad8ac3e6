#include <QAction>
#include <QLabel>
#include <QSignalSpy>

#include "Form5.h"
#include "ReadINI.h"
#include "WindowFixture.h"

namespace {

void SetEvolution(RomBuilder& rom, int species, int k, std::vector<uint8_t> bytes) {
    rom.Fill(rom.layout().EvolutionTable + 40 * species + 8 * k, bytes);
}

QStringList Checked(QListWidget* list) {
    QStringList rows;
    for (int n = 0; n < list->count(); ++n)
        if (list->item(n)->checkState() == Qt::Checked) rows << QString::number(n);
    return rows;
}

}  // namespace

class MoreDataTest : public QObject {
    Q_OBJECT
private slots:
    void followsTheSelectionAndReportsOnlyTheUsersEdits() {
        WindowFixture f;
        RomBuilder rom(DemoLayout());
        const RomLayout& l = rom.layout();
        SetEvolution(rom, 40, 0, {7, 0, 95, 0, 41, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        SetEvolution(rom, 41, 0, {99, 0, 8, 0, 0x60, 0xEA});  // method 99, target 60000
        rom.Fill(l.TMHMTable + 8 * 40, {0x01, 0, 0, 0, 0, 0, 0x06, 0x02});
        rom.Fill(l.TMHMMoves, {92, 0});
        f.OpenDemo(40, rom);
        QVERIFY(!f.window().findChild<Form5*>());
        f.Click("cmdMoreData");
        Form5* more = f.window().findChild<Form5*>();
        QVERIFY(more && more->isVisible() && !more->isModal() && f.shownModal.isEmpty());
        QSignalSpy edits(more, &Form5::edited);

        const auto label = [more](const char* name) { return more->findChild<QLabel*>(name)->text(); };
        QListWidget* tmhm = f.List("lstTMHM");
        QCOMPARE(f.Values("cmbEvoMethod1 txtEvoParam1 cmbEvoTarget1 cmbEvoMethod2", true),
                 "Use an item 95 " + f.List("lstPokemon")->item(41)->text() + " None");
        QCOMPARE(label("lblEvoParam1"), f.Combo("cmbItem1")->itemText(95));
        QCOMPARE(tmhm->count(), 58);
        QCOMPARE(tmhm->item(0)->text(), "TM01 " + f.Combo("cmbANames")->itemText(92));
        QVERIFY(tmhm->item(57)->text().startsWith("HM08 "));
        QCOMPARE(Checked(tmhm), QStringList({"0", "49", "50", "57"}));
        QCOMPARE(f.List("lstTutor")->count(), 30);

        f.SelectSpecies(41);
        QCOMPARE(f.Values("cmbEvoMethod1 txtEvoParam1 cmbEvoTarget1", true),
                 "#99 (not in list) 8 #60000 (not in list)");
        QCOMPARE(edits.count(), 0);
        f.Combo("cmbEvoMethod2")->setCurrentIndex(4);
        QCOMPARE(label("lblEvoParam2"), QStringLiteral("level"));
        QListWidgetItem* row = tmhm->item(3);
        row->setCheckState(row->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        QTest::keyClicks(f.Box("txtEvoParam3"), "x7");
        QCOMPARE(f.Box("txtEvoParam3")->text(), QStringLiteral("07"));
        QCOMPARE(edits.count(), 3);
        f.Click("cmdMoreData");
        QCOMPARE(f.window().findChildren<Form5*>().size(), 1);
    }

    void partsWithoutTheirTablesAreOffWithAWordOfWhy() {
        WindowFixture f([](const std::string& data) {
            QVERIFY(ReadINI::WriteIniValue(data + "/Data.ini", "VRNH", "EvolutionTable", ""));
        });
        Form5* more = f.window().MoreDataWindow();
        const auto status = [more](const char* name) {
            auto* label = more->findChild<QLabel*>(name);
            return label->isHidden() ? QString() : label->text();
        };
        const auto on = [more](const char* name) { return more->findChild<QWidget*>(name)->isEnabled(); };
        QCOMPARE(status("lblEvoStatus"), QStringLiteral("No ROM is open."));
        QVERIFY(!on("cmbEvoMethod1") && !on("lstTMHM") && !on("lstTutor"));

        f.OpenDemo(3);
        QCOMPARE(status("lblEvoStatus"),
                 QStringLiteral("Data.ini's section [VRNH] has no EvolutionTable key."));
        QVERIFY(!on("cmbEvoMethod5") && !on("txtEvoParam5") && on("lstTMHM") && on("lstTutor"));
        QCOMPARE(status("lblTutorNote"), QString());

        f.Open(f.WriteRom(RomBuilder(RubyLayout()), "ruby.gba"));
        QCOMPARE(f.messages, QStringList());
        QCOMPARE(status("lblTutorStatus"), QStringLiteral("This game has no move tutors."));
        QVERIFY(on("cmbEvoMethod5") && !on("lstTutor"));
        f.Open(f.WriteRom(RomBuilder(FireRedLayout()), "firered.gba"));
        QVERIFY(on("lstTutor") && status("lblTutorNote").contains("three tutors"));
        QCOMPARE(more->findChild<QListWidget*>("lstTutor")->count(), 15);
    }

    // The window's values go out with the species as one step: unedited they change no byte, edited exactly
    // their own, and one undo takes the whole save back.
    void saveWritesTheTablesWithTheSpecies() {
        WindowFixture f;
        const std::string path = f.OpenDemo(40);
        const RomLayout l = DemoLayout();
        const std::vector<uint8_t> before = f.Bytes(path);
        f.Click("cmdMoreData");
        f.Click("cmdSave");
        QCOMPARE(testsupport::Differences(before, f.Bytes(path)), std::string());
        QVERIFY(f.Find<QLabel>("lblStatus")
                    ->text()
                    .startsWith("Saved " + f.Box("txtName")->text() +
                                " with its evolutions, TM/HM compatibility and tutor compatibility: "));

        f.Combo("cmbEvoMethod5")->setCurrentIndex(15);
        f.Box("txtEvoParam5")->setText("300");
        f.Combo("cmbEvoTarget5")->setCurrentIndex(411);
        for (const char* name : {"lstTMHM", "lstTutor"}) {
            QListWidgetItem* last = f.List(name)->item(f.List(name)->count() - 1);
            last->setCheckState(last->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        }
        QVERIFY(f.Caption().endsWith('*'));
        const QString parameter = f.Box("txtEvoParam4")->text();
        f.Box("txtEvoParam4")->setText("65536");
        f.Click("cmdSave");
        QVERIFY(f.messages.size() == 1 && f.messages.takeFirst().contains("parameter of evolution 4"));
        f.Box("txtEvoParam4")->setText(parameter);
        f.Click("cmdSave");
        std::vector<uint8_t> expected = before;
        const uint8_t fifth[] = {15, 0, 0x2C, 1, 0x9B, 1};  // method, parameter 300, target 411
        std::copy(std::begin(fifth), std::end(fifth), expected.begin() + l.EvolutionTable + 40 * 40 + 32);
        expected[size_t(l.TMHMTable + 8 * 40 + 7)] ^= 0x02;   // HM08
        expected[size_t(l.TutorTable + 4 * 40 + 3)] ^= 0x20;  // the 30th tutor
        QCOMPARE(testsupport::Differences(expected, f.Bytes(path)), std::string());
        QCOMPARE(f.Combo("cmbEvoMethod5")->currentIndex(), 15);
        f.window().findChild<QAction*>("mnuUndo")->trigger();
        QCOMPARE(testsupport::Differences(before, f.Bytes(path)), std::string());
    }
};

QTEST_MAIN(MoreDataTest)
#include "tst_moredata.moc"
