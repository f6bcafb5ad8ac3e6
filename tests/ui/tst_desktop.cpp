#include <QCheckBox>
#include <QMimeData>
#include <QStatusBar>

#include "UserState.h"
#include "WindowFixture.h"

namespace {

// The menu entries that can be chosen, in menu order, a submenu by its own name.
QStringList EnabledEntries(WindowFixture& f) {
    QStringList names;
    for (const char* menu : {"mnuFile", "mnuEdit", "mnuHelp"})
        for (QAction* action : f.Find<QMenu>(menu)->actions())
            if (!action->isSeparator() && action->isEnabled())
                names << (action->menu() ? action->menu()->objectName() : action->objectName());
    return names;
}

// A drag of one file over target, dropped when target takes it; true when it was taken.
bool DragAndDrop(QWidget* target, const std::string& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    if (enter.isAccepted()) QCoreApplication::sendEvent(target, &drop);
    return enter.isAccepted();
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void dropsRecentRomsAndTheLastFolderOpenLikeTheButton() {
        WindowFixture f;
        const auto rom = [&f](const std::string& name) { return f.WriteRom(RomBuilder(DemoLayout()), name); };
        // Only a .gba is taken; over a text box it opens instead of becoming the box's text.
        QVERIFY(!DragAndDrop(&f.window(), f.WriteFile("notes.txt", "x")));
        QVERIFY(DragAndDrop(f.Box("txtHP"), rom("b.gba")) &&
                f.window().Session()->RomPath == f.TempFile("b.gba") &&
                !f.Box("txtHP")->text().contains("gba"));
        QVERIFY(DragAndDrop(&f.window(), rom("a.gba")));
        QVERIFY(f.window().OpenRomPath(QString::fromStdString(f.TempFile("b.gba"))));
        QCOMPARE(UserState::RecentRoms(),
                 QStringList({f.TempFile("b.gba").c_str(), f.TempFile("a.gba").c_str()}));
        QVERIFY(f.Find<QAction>("mnuRecent1")->text().startsWith("&1 b.gba"));
        // At most eight, the latest first; a file that is gone leaves the list, and the open ROM stays.
        for (char c = '0'; c <= '8'; ++c) f.window().OpenRomPath(rom(std::string("r") + c + ".gba").c_str());
        QVERIFY(UserState::RecentRoms().size() == 8 && UserState::RecentRoms()[0].endsWith("r8.gba"));
        std::filesystem::remove(f.TempFile("r5.gba"));
        f.Trigger("mnuRecent4");
        QVERIFY(f.OneMessage(f.TempFile("r5.gba").c_str()) && UserState::RecentRoms().size() == 7 &&
                !UserState::RecentRoms().join('|').contains("r5") &&
                !f.Find<QAction>("mnuRecent8")->isVisible() &&
                f.window().Session()->RomPath == f.TempFile("r8.gba"));
        f.Trigger("mnuRecent2");
        QVERIFY(f.window().Session()->RomPath == f.TempFile("r7.gba"));
        f.Trigger("mnuClearRecent");
        QVERIFY(UserState::RecentRoms().isEmpty() && !f.Find<QMenu>("mnuRecent")->menuAction()->isEnabled());
        // The next run's "Open ROM..." starts in the folder of the last ROM.
        Form1 next(QString::fromStdString(f.DataFolder()));
        Dialogs::QueueFileAnswer({});
        WindowFixture::Press(&next, "cmdOpen");
        QCOMPARE(Dialogs::LastFileRequest().folder, QFileInfo(f.TempFile("r7.gba").c_str()).absolutePath());
    }

    // Menu entries follow their buttons and keys reach them; the status bar tells the ROM and each outcome.
    void menusKeysAndTheStatusBar() {
        WindowFixture f;
        f.window().SettingsWindow()->SetShowSave(false);
        QCOMPARE(EnabledEntries(f), QStringList({"mnuOpen", "mnuSettings", "mnuQuit", "mnuAbout"}));
        QCOMPARE(f.Find<QLabel>("lblRom")->text(), "No ROM open");
        const std::string path = f.OpenDemo(3);
        QCOMPARE(EnabledEntries(f),
                 QStringList({"mnuOpen", "mnuRecent", "mnuSave", "mnuDataExport", "mnuDataImport",
                              "mnuNamesExport", "mnuRomInfo", "mnuSettings", "mnuQuit", "mnuAbout"}));
        for (const bool on : {false, true}) {
            f.Find<QPushButton>("cmdNameIm")->setEnabled(on);
            QCOMPARE(f.Find<QAction>("mnuDataImport")->isEnabled(), on);
        }
        QCOMPARE(f.Status() + " / " + f.Find<QLabel>("lblRom")->text(),
                 QStringLiteral("Opened test.gba / test.gba  \u00b7  Demo (generated)  \u00b7  1 MiB"));
        QVERIFY(f.Activate());
        // Ctrl+S in a box with a leave check runs the check first, as a click does.
        f.Box("txtHP")->setFocus();
        f.Box("txtHP")->setText("300");
        QTest::keyClick(f.Box("txtHP"), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(f.Bytes(path)[DemoLayout().DataOffset + 28 * 3] == 255 &&
                f.Status().startsWith("Saved " + f.Box("txtName")->text() + ": "));
        f.Trigger("mnuUndo");
        QVERIFY(f.Status().startsWith("Undone: Save "));
        f.Box("txtSprite")->setText("XYZ");
        f.Click("cmdSave");
        QVERIFY(f.Status().startsWith("Save refused: \"Sprite Offset:\""));
        f.ClickWithFile("cmdExport", f.TempFile("names.txt"));
        QCOMPARE(f.Status(), QStringLiteral("Exported 412 names to %1").arg(f.TempFile("names.txt").c_str()));
        f.ClickWithFile("cmdExport", f.TempFile("no/such/folder.txt"));
        QVERIFY(f.Status().startsWith("Export failed: "));
        f.Open(f.TempFile(std::string(200, 'm') + ".gba"));
        QVERIFY(f.Status().startsWith("Open refused: ") && f.Status().contains("mmm.gba"));
        // The ROM still open keeps its line, and a long message is cut instead of widening the window.
        QVERIFY(f.Find<QLabel>("lblRom")->text().startsWith("test.gba") && f.messages.size() == 3);
        QApplication::processEvents();
        QVERIFY(f.window().statusBar()->minimumSizeHint().width() < f.window().width());
        Dialogs::QueueFileAnswer(f.WriteRom(RomBuilder(FireRedLayout(), 7), "fr.gba").c_str());
        QTest::keyClick(&f.window(), Qt::Key_O, Qt::ControlModifier);
        QVERIFY(f.window().Session()->GameCode == "BPRE");
        f.Trigger("mnuAbout");
        QVERIFY(f.messages.size() == 4 && f.messages[3].contains("Vornhal " VORNHAL_VERSION) &&
                f.messages[3].contains(qVersion()));
        QTest::keyClick(&f.window(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!f.window().isVisible());
    }

    // Kept only by Close or by closing the main window; where they are stored is MainSettingsTest's.
    void theSettingIsKeptOnlyByCloseOrClosingTheMainWindow() {
        WindowFixture f;
        const auto stored = [&f](const char* key) { return ReadINI::ReadIniValue(f.IniPath(), "Main", key); };
        f.window().SettingsWindow()->SetShowSave(false);
        f.window().SettingsWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(f.window().SettingsWindow()->ShowSave() && stored("ShowSave") == "1");
        f.Click("cmdSettings");
        Form3* settings = f.window().SettingsWindow();
        QCOMPARE(f.shownModal, QList<QDialog*>{settings});
        settings->findChild<QCheckBox*>("Check1")->setChecked(false);
        settings->findChild<QCheckBox*>("chkNamesFromRom")->setChecked(false);
        QVERIFY(stored("ShowSave") == "1" && stored("NamesFromRom") == "1");
        WindowFixture::Press(settings, "cmdClose");
        QVERIFY(settings->isHidden() && !settings->ShowSave() && stored("ShowSave") == "0" &&
                !settings->NamesFromRom() && stored("NamesFromRom") == "0");
        settings->SetShowSave(true);
        f.window().close();
        QCOMPARE(stored("ShowSave"), "1");
        // Only a stored 0 turns the report off.
        for (const char* value : {"1", "", "2", "yes", "0"})
            QVERIFY2(ShowSaveFromIni(value) != (*value == '0'), value);
    }

    // Data.ini is a folder, and a file stands where the user's settings folder would be.
    void aSettingStoredNowhereIsReported() {
        WindowFixture f([](const std::string& data) {
            std::filesystem::remove(data + "/Data.ini");
            std::filesystem::create_directory(data + "/Data.ini");
        });
        QVERIFY(ReadINI::WriteTextFile(f.ConfigFolder() + "/Vornhal", "x"));
        f.Click("cmdSettings");
        WindowFixture::Press(f.window().SettingsWindow(), "cmdClose");
        QVERIFY(f.OneMessage("could not be stored"));
    }
};

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
