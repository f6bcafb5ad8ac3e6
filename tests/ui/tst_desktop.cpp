#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>
#include <QUrl>
#include <filesystem>

#include "Form3.h"
#include "UserState.h"
#include "WindowFixture.h"

namespace {

QAction* Entry(WindowFixture& f, const QString& name) {
    return f.Find<QAction>(name);
}

QString Status(WindowFixture& f, const char* label = "lblStatus") {
    return f.Find<QLabel>(label)->text();
}

// The menu entries that can be chosen, in menu order, submenus by their own name.
QStringList EnabledEntries(WindowFixture& f) {
    QStringList names;
    for (QMenu* menu : {f.Find<QMenu>("mnuFile"), f.Find<QMenu>("mnuEdit"), f.Find<QMenu>("mnuHelp")})
        for (QAction* action : menu->actions())
            if (!action->isSeparator() && action->isEnabled())
                names << (action->menu() ? action->menu()->objectName() : action->objectName());
    return names;
}

// Sends a drag of one file over target and, when it is taken, the drop; true when the drag was taken.
bool DragAndDrop(QWidget* target, const std::string& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return true;
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void dropsRecentRomsAndTheLastFolderOpenLikeTheButton() {
        WindowFixture f;
        const std::string a = f.WriteRom(RomBuilder(DemoLayout()), "a.gba");
        const std::string b = f.WriteRom(RomBuilder(DemoLayout()), "b.gba");
        // Only a .gba is taken; dropped over a text box it opens instead of becoming the box's text.
        QVERIFY(!DragAndDrop(&f.window(), f.WriteFile("notes.txt", "x")));
        QVERIFY(DragAndDrop(f.Box("txtHP"), b));
        QVERIFY(f.window().Session() && f.window().Session()->RomPath == b);
        QVERIFY(!f.Box("txtHP")->text().contains(".gba"));
        QVERIFY(DragAndDrop(&f.window(), a));
        QVERIFY(f.window().OpenRomPath(QString::fromStdString(b)));

        // Most recent first, no repeats, at most eight.
        QCOMPARE(UserState::RecentRoms(),
                 (QStringList{QString::fromStdString(b), QString::fromStdString(a)}));
        QVERIFY(Entry(f, "mnuRecent1")->text().startsWith("&1 b.gba"));
        for (int i = 0; i < 9; ++i)
            f.window().OpenRomPath(QString::fromStdString(
                f.WriteRom(RomBuilder(DemoLayout()), "r" + std::to_string(i) + ".gba")));
        QCOMPARE(UserState::RecentRoms().size(), 8);
        QVERIFY(UserState::RecentRoms().first().endsWith("r8.gba"));
        QVERIFY(Entry(f, "mnuRecent8")->isVisible() && !f.window().findChild<QAction*>("mnuRecent9"));

        // A file that is gone: the opener's message, and it leaves the list; the open ROM stays.
        std::filesystem::remove(f.TempFile("r5.gba"));
        Entry(f, "mnuRecent4")->trigger();
        QVERIFY(f.messages.size() == 1 &&
                f.messages.takeFirst().contains(QString::fromStdString(f.TempFile("r5.gba"))));
        QVERIFY(Status(f).startsWith("Open refused: "));
        QVERIFY(!UserState::RecentRoms().join('|').contains("r5.gba") && UserState::RecentRoms().size() == 7);
        QVERIFY(f.window().Session()->RomPath == f.TempFile("r8.gba"));
        Entry(f, "mnuRecent2")->trigger();
        QVERIFY(f.window().Session()->RomPath == f.TempFile("r7.gba"));
        Entry(f, "mnuClearRecent")->trigger();
        QVERIFY(UserState::RecentRoms().isEmpty() && !f.Find<QMenu>("mnuRecent")->menuAction()->isEnabled());
        QVERIFY(!Entry(f, "mnuRecent1")->isVisible());

        // The next run's "Open ROM..." starts in the folder of the last ROM.
        Form1 next(QString::fromStdString(f.DataFolder()));
        Dialogs::QueueFileAnswer({});
        WindowFixture::Press(&next, "cmdOpen");
        QCOMPARE(Dialogs::LastFileRequest().folder,
                 QString::fromStdString(std::filesystem::path(a).parent_path().string()));
        QVERIFY(f.messages.isEmpty());
    }

    void menuEntriesFollowTheirButtonsAndShortcutsReachThem() {
        WindowFixture f;
        f.window().SettingsWindow()->SetShowSave(false);
        const QStringList always = {"mnuOpen", "mnuSettings", "mnuQuit", "mnuAbout"};
        QCOMPARE(EnabledEntries(f), always);
        const std::string path = f.OpenDemo(3);
        QCOMPARE(EnabledEntries(f),
                 (QStringList{"mnuOpen", "mnuRecent", "mnuSave", "mnuDataExport", "mnuDataImport",
                              "mnuNamesExport", "mnuSettings", "mnuQuit", "mnuAbout"}));
        for (const auto& [entry, button] : {std::pair{"mnuOpen", "cmdOpen"},
                                            {"mnuSave", "cmdSave"},
                                            {"mnuDataExport", "cmdNameEx"},
                                            {"mnuDataImport", "cmdNameIm"},
                                            {"mnuNamesExport", "cmdExport"},
                                            {"mnuSettings", "cmdSettings"}}) {
            f.Find<QPushButton>(button)->setEnabled(false);
            QVERIFY2(!Entry(f, entry)->isEnabled(), entry);
            f.Find<QPushButton>(button)->setEnabled(true);
            QVERIFY2(Entry(f, entry)->isEnabled(), entry);
        }

        for (const auto& [entry, keys] : {std::pair{"mnuOpen", QKeySequence(QKeySequence::Open)},
                                          {"mnuSave", QKeySequence::Save},
                                          {"mnuQuit", QKeySequence("Ctrl+Q")},
                                          {"mnuUndo", QKeySequence::Undo},
                                          {"mnuRedo", QKeySequence::Redo}})
            QCOMPARE(Entry(f, entry)->shortcut(), keys);
        f.window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window()));
        // Ctrl+S while typing in a box with a leave check: the check runs first, as a click would make it.
        f.Box("txtHP")->setFocus();
        f.Box("txtHP")->setText("300");
        QTest::keyClick(f.Box("txtHP"), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(f.Bytes(path)[DemoLayout().DataOffset + 28 * 3], uint8_t{255});
        Dialogs::QueueFileAnswer(
            QString::fromStdString(f.WriteRom(RomBuilder(FireRedLayout(), 7), "fr.gba")));
        QTest::keyClick(&f.window(), Qt::Key_O, Qt::ControlModifier);
        QVERIFY(f.window().Session()->GameCode == "BPRE");

        Entry(f, "mnuAbout")->trigger();
        QVERIFY(f.messages.size() == 1 &&
                f.messages[0].contains(QStringLiteral("Vornhal " VORNHAL_VERSION)) &&
                f.messages[0].contains(qVersion()) && f.messages[0].contains("MIT License"));
        QTest::keyClick(&f.window(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!f.window().isVisible());
    }

    void theStatusLineTellsTheOutcome() {
        WindowFixture f;
        f.window().SettingsWindow()->SetShowSave(false);
        QCOMPARE(Status(f, "lblRom"), "No ROM open");
        RomBuilder rom(DemoLayout());
        rom.SetName(5, "CHARIZARD");
        f.OpenDemo(5, rom);
        QCOMPARE(Status(f), "Opened test.gba");
        QCOMPARE(Status(f, "lblRom"), QStringLiteral("test.gba  \u00b7  Demo (generated)  \u00b7  1 MiB"));
        // Name (11 bytes), record (23), five pointers (15), icon palette (1), table pointer (3), two per row.
        f.Click("cmdSave");
        QCOMPARE(Status(f),
                 QStringLiteral("Saved CHARIZARD: %1 bytes").arg(53 + 2 * f.List("lstAttack")->count()));
        f.Box("txtSprite")->setText("XYZ");
        f.Click("cmdSave");
        QVERIFY(Status(f).startsWith("Save refused: \"Sprite Offset:\""));

        f.ClickWithFile("cmdExport", f.TempFile("names.txt"));
        QCOMPARE(Status(f), QStringLiteral("Exported 412 names to %1").arg(f.TempFile("names.txt").c_str()));
        f.ClickWithFile("cmdExport", f.TempFile("no/such/folder.txt"));
        QVERIFY(Status(f).startsWith("Export failed: "));
        f.Open(f.TempFile(std::string(200, 'm') + ".gba"));
        QVERIFY(Status(f).startsWith("Open refused: ") && Status(f).contains("mmm.gba"));
        // A long message is cut at the edge; it does not make the window wider.
        QApplication::processEvents();
        QVERIFY(f.window().statusBar()->minimumSizeHint().width() < f.window().width());
        QCOMPARE(f.messages.size(), 3);
        // The ROM line stays with the ROM that is still open.
        QVERIFY(Status(f, "lblRom").startsWith("test.gba"));
    }
};

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
