#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <filesystem>

#include "Form3.h"
#include "UserState.h"
#include "WindowFixture.h"

namespace {

QString Shown(WindowFixture& f, const char* label = "lblStatus") {
    return f.Find<QLabel>(label)->text();
}

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
        QVERIFY(DragAndDrop(f.Box("txtHP"), rom("b.gba")));
        QVERIFY(f.window().Session()->RomPath == f.TempFile("b.gba") &&
                !f.Box("txtHP")->text().contains("gba"));
        QVERIFY(DragAndDrop(&f.window(), rom("a.gba")));
        QVERIFY(f.window().OpenRomPath(QString::fromStdString(f.TempFile("b.gba"))));
        QCOMPARE(UserState::RecentRoms(),
                 QStringList({f.TempFile("b.gba").c_str(), f.TempFile("a.gba").c_str()}));
        QVERIFY(f.Find<QAction>("mnuRecent1")->text().startsWith("&1 b.gba"));
        // At most eight, the latest first.
        for (char c = '0'; c <= '8'; ++c) f.window().OpenRomPath(rom(std::string("r") + c + ".gba").c_str());
        QVERIFY(UserState::RecentRoms().size() == 8 && UserState::RecentRoms()[0].endsWith("r8.gba"));

        // A file that is gone: the opener's message, and it leaves the list; the open ROM stays.
        std::filesystem::remove(f.TempFile("r5.gba"));
        f.Find<QAction>("mnuRecent4")->trigger();
        QVERIFY(f.messages.size() == 1 && f.messages.takeFirst().contains(f.TempFile("r5.gba").c_str()));
        QVERIFY(UserState::RecentRoms().size() == 7 && !UserState::RecentRoms().join('|').contains("r5"));
        QVERIFY(f.window().Session()->RomPath == f.TempFile("r8.gba") &&
                !f.Find<QAction>("mnuRecent8")->isVisible());
        f.Find<QAction>("mnuRecent2")->trigger();
        QVERIFY(f.window().Session()->RomPath == f.TempFile("r7.gba"));
        f.Find<QAction>("mnuClearRecent")->trigger();
        QVERIFY(UserState::RecentRoms().isEmpty() && !f.Find<QMenu>("mnuRecent")->menuAction()->isEnabled());

        // The next run's "Open ROM..." starts in the folder of the last ROM.
        Form1 next(QString::fromStdString(f.DataFolder()));
        Dialogs::QueueFileAnswer({});
        WindowFixture::Press(&next, "cmdOpen");
        QCOMPARE(Dialogs::LastFileRequest().folder, QFileInfo(f.TempFile("r7.gba").c_str()).absolutePath());
    }

    void menuEntriesFollowTheirButtonsAndShortcutsReachThem() {
        WindowFixture f;
        f.window().SettingsWindow()->SetShowSave(false);
        QCOMPARE(EnabledEntries(f), QStringList({"mnuOpen", "mnuSettings", "mnuQuit", "mnuAbout"}));
        const std::string path = f.OpenDemo(3);
        QCOMPARE(EnabledEntries(f),
                 QStringList({"mnuOpen", "mnuRecent", "mnuSave", "mnuDataExport", "mnuDataImport",
                              "mnuNamesExport", "mnuSettings", "mnuQuit", "mnuAbout"}));
        for (const auto& [entry, button] : {std::pair{"mnuOpen", "cmdOpen"},
                                            {"mnuSave", "cmdSave"},
                                            {"mnuDataExport", "cmdNameEx"},
                                            {"mnuDataImport", "cmdNameIm"},
                                            {"mnuNamesExport", "cmdExport"},
                                            {"mnuSettings", "cmdSettings"}}) {
            f.Find<QPushButton>(button)->setEnabled(false);
            QVERIFY2(!f.Find<QAction>(entry)->isEnabled(), entry);
            f.Find<QPushButton>(button)->setEnabled(true);
            QVERIFY2(f.Find<QAction>(entry)->isEnabled(), entry);
        }
        for (const auto& [entry, keys] : {std::pair{"mnuOpen", QKeySequence(QKeySequence::Open)},
                                          {"mnuSave", QKeySequence::Save},
                                          {"mnuQuit", QKeySequence("Ctrl+Q")},
                                          {"mnuUndo", QKeySequence::Undo},
                                          {"mnuRedo", QKeySequence::Redo}})
            QCOMPARE(f.Find<QAction>(entry)->shortcut(), keys);

        f.window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window()));
        // Ctrl+S while typing in a box with a leave check: the check runs first, as with a click.
        f.Box("txtHP")->setFocus();
        f.Box("txtHP")->setText("300");
        QTest::keyClick(f.Box("txtHP"), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(f.Bytes(path)[DemoLayout().DataOffset + 28 * 3], uint8_t{255});
        f.Find<QAction>("mnuUndo")->trigger();
        QVERIFY(Shown(f).startsWith("Undone: Save "));
        Dialogs::QueueFileAnswer(f.WriteRom(RomBuilder(FireRedLayout(), 7), "fr.gba").c_str());
        QTest::keyClick(&f.window(), Qt::Key_O, Qt::ControlModifier);
        QVERIFY(f.window().Session()->GameCode == "BPRE");
        f.Find<QAction>("mnuAbout")->trigger();
        QVERIFY(f.messages.size() == 1 && f.messages[0].contains("Vornhal " VORNHAL_VERSION) &&
                f.messages[0].contains(qVersion()) && f.messages[0].contains("MIT License"));
        QTest::keyClick(&f.window(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!f.window().isVisible());
    }

    void theStatusBarTellsTheRomAndTheOutcome() {
        WindowFixture f;
        f.window().SettingsWindow()->SetShowSave(false);
        QCOMPARE(Shown(f, "lblRom"), "No ROM open");
        RomBuilder rom(DemoLayout());
        rom.SetName(5, "CHARIZARD");
        f.OpenDemo(5, rom);
        QCOMPARE(Shown(f), "Opened test.gba");
        QCOMPARE(Shown(f, "lblRom"), QStringLiteral("test.gba  \u00b7  Demo (generated)  \u00b7  1 MiB"));
        // Name (11 bytes), record (23), five pointers (15), icon palette (1), table pointer (3), two per row and
        // two for the terminator.
        f.Click("cmdSave");
        QCOMPARE(Shown(f),
                 QStringLiteral("Saved CHARIZARD: %1 bytes").arg(55 + 2 * f.List("lstAttack")->count()));
        f.Box("txtSprite")->setText("XYZ");
        f.Click("cmdSave");
        QVERIFY(Shown(f).startsWith("Save refused: \"Sprite Offset:\""));
        f.ClickWithFile("cmdExport", f.TempFile("names.txt"));
        QCOMPARE(Shown(f), QStringLiteral("Exported 412 names to %1").arg(f.TempFile("names.txt").c_str()));
        f.ClickWithFile("cmdExport", f.TempFile("no/such/folder.txt"));
        QVERIFY(Shown(f).startsWith("Export failed: "));
        f.Open(f.TempFile(std::string(200, 'm') + ".gba"));
        QVERIFY(Shown(f).startsWith("Open refused: ") && Shown(f).contains("mmm.gba"));
        QCOMPARE(f.messages.size(), 3);
        // The ROM still open keeps its line, and a long message is cut instead of widening the window.
        QVERIFY(Shown(f, "lblRom").startsWith("test.gba"));
        QApplication::processEvents();
        QVERIFY(f.window().statusBar()->minimumSizeHint().width() < f.window().width());
    }
};

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
