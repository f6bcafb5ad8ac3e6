// The settings window and where its one setting is kept.

#include <QCheckBox>
#include <QTest>

#include "Form3.h"
#include "ReadINI.h"
#include "WindowFixture.h"

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void closeStoresTheSettingAndHides() {
        WindowFixture f;
        f.Click("cmdSettings");
        QCOMPARE(f.shownModal.size(), 1);
        Form3* settings = f.window().SettingsWindow();
        QCOMPARE(f.shownModal[0], settings);
        QVERIFY(settings->ShowSave());
        auto* language = settings->findChild<QComboBox*>("Combo1");
        QVERIFY(!language->isEnabled());
        QCOMPARE(language->currentText(), QStringLiteral("English (UK)"));
        settings->findChild<QCheckBox*>("Check1")->setChecked(false);
        QTest::mouseClick(settings->findChild<QPushButton*>("cmdClose"), Qt::LeftButton);
        QCOMPARE(ReadINI::ReadIniValue(f.IniPath(), "Main", "ShowSave"), std::string("0"));
        QVERIFY(!f.window().SettingsWindow()->ShowSave());
    }

    void closingOtherwiseForgetsTheChange() {
        WindowFixture f;
        Form3* settings = f.window().SettingsWindow();
        settings->SetShowSave(false);
        settings->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(f.window().SettingsWindow()->ShowSave());
        QCOMPARE(ReadINI::ReadIniValue(f.IniPath(), "Main", "ShowSave"), std::string("1"));
    }

    void closingTheMainWindowStoresTheSetting() {
        WindowFixture f;
        f.window().SettingsWindow()->SetShowSave(false);
        f.window().close();
        QCOMPARE(ReadINI::ReadIniValue(f.IniPath(), "Main", "ShowSave"), std::string("0"));
    }

    void unusualStoredValues_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("on");
        QTest::newRow("0") << "0" << false;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("missing") << "" << true;
        QTest::newRow("2") << "2" << true;
        QTest::newRow("text") << "yes" << true;
    }

    void unusualStoredValues() {
        QFETCH(QString, stored);
        QFETCH(bool, on);
        QCOMPARE(ShowSaveFromIni(stored.toStdString()), on);
    }
};

QTEST_MAIN(SettingsTest)
#include "tst_settings.moc"
