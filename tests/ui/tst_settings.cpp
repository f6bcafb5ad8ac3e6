#include <QCheckBox>
#include <filesystem>

#include "Form3.h"
#include "ReadINI.h"
#include "WindowFixture.h"

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void theSettingIsKeptOnlyByCloseOrClosingTheMainWindow() {
        WindowFixture f;
        const auto stored = [&f] { return ReadINI::ReadIniValue(f.IniPath(), "Main", "ShowSave"); };
        const auto names = [&f] { return ReadINI::ReadIniValue(f.IniPath(), "Main", "NamesFromRom"); };
        f.window().SettingsWindow()->SetShowSave(false);
        f.window().SettingsWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(f.window().SettingsWindow()->ShowSave() && stored() == "1");

        f.Click("cmdSettings");
        Form3* settings = f.window().SettingsWindow();
        QCOMPARE(f.shownModal, QList<QDialog*>{settings});
        settings->findChild<QCheckBox*>("Check1")->setChecked(false);
        QVERIFY(settings->NamesFromRom() && names() == "1");
        settings->findChild<QCheckBox*>("chkNamesFromRom")->setChecked(false);
        WindowFixture::Press(settings, "cmdClose");
        QVERIFY(settings->isHidden() && !f.window().SettingsWindow()->ShowSave() && stored() == "0");
        QVERIFY(!f.window().SettingsWindow()->NamesFromRom() && names() == "0");

        f.window().SettingsWindow()->SetShowSave(true);
        f.window().close();
        QCOMPARE(stored(), "1");
        // Only a stored 0 turns the report off.
        for (const char* stored : {"1", "", "2", "yes"}) QVERIFY2(ShowSaveFromIni(stored), stored);
        QVERIFY(!ShowSaveFromIni("0"));
    }

    void aSettingStoredNowhereIsReported() {
        // Data.ini is a folder, and a file stands where the user's settings folder would be.
        WindowFixture f([](const std::string& data) {
            std::filesystem::remove(data + "/Data.ini");
            std::filesystem::create_directory(data + "/Data.ini");
        });
        QVERIFY(ReadINI::WriteTextFile(f.ConfigFolder() + "/Vornhal", "x"));
        f.Click("cmdSettings");
        WindowFixture::Press(f.window().SettingsWindow(), "cmdClose");
        QCOMPARE(f.messages.size(), 1);
        QVERIFY(f.messages[0].startsWith(
            "The settings ShowSave, BackupBeforeSave and NamesFromRom could not be stored: neither"));
    }
};

QTEST_MAIN(SettingsTest)
#include "tst_settings.moc"
