#include <QCheckBox>

#include "WindowFixture.h"

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
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
        QVERIFY(settings->NamesFromRom() && stored("NamesFromRom") == "1");
        settings->findChild<QCheckBox*>("chkNamesFromRom")->setChecked(false);
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

    void aSettingStoredNowhereIsReported() {
        // Data.ini is a folder, and a file stands where the user's settings folder would be.
        WindowFixture f([](const std::string& data) {
            std::filesystem::remove(data + "/Data.ini");
            std::filesystem::create_directory(data + "/Data.ini");
        });
        QVERIFY(ReadINI::WriteTextFile(f.ConfigFolder() + "/Vornhal", "x"));
        f.Click("cmdSettings");
        WindowFixture::Press(f.window().SettingsWindow(), "cmdClose");
        QVERIFY(f.OneMessage(
            "The settings ShowSave, BackupBeforeSave and NamesFromRom could not be stored: neither"));
    }
};

QTEST_MAIN(SettingsTest)
#include "tst_settings.moc"
