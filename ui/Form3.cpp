#include "Form3.h"

#include <QFile>

#include "Dialogs.h"
#include "species/FieldLimits.h"
#include "ui_Form3.h"

bool ShowSaveFromIni(const std::string& value) {
    if (!FieldLimits::IsNumberText(value)) return true;
    return FieldLimits::NumberValue(value) != 0;
}

Form3::Form3(const QString& iniPath, const QString& userCopyPath, QWidget* parent)
    : UnloadingDialog(parent),
      ui(new Ui::Form3),
      settings_(QFile::encodeName(iniPath).toStdString(), QFile::encodeName(userCopyPath).toStdString()) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    Load();
    connect(ui->cmdClose, &QPushButton::clicked, this, [this] {
        StoreSetting();
        hide();
    });
}

Form3::~Form3() {
    delete ui;
}

void Form3::Load() {
    ui->Check1->setChecked(ShowSaveFromIni(settings_.Read("ShowSave")));
    // The same rule: only "0" turns the backup off.
    ui->chkBackup->setChecked(ShowSaveFromIni(settings_.Read("BackupBeforeSave")));
    ui->chkNamesFromRom->setChecked(NamesFromRomFromIni(settings_.Read("NamesFromRom")));
    ui->Combo1->setCurrentIndex(1);
}

bool Form3::ShowSave() const {
    return ui->Check1->isChecked();
}
void Form3::SetShowSave(bool on) {
    ui->Check1->setChecked(on);
}

bool Form3::BackUpBeforeSave() const {
    return ui->chkBackup->isChecked();
}
void Form3::SetBackUpBeforeSave(bool on) {
    ui->chkBackup->setChecked(on);
}

bool Form3::NamesFromRom() const {
    return ui->chkNamesFromRom->isChecked();
}
void Form3::SetNamesFromRom(bool on) {
    ui->chkNamesFromRom->setChecked(on);
}

void Form3::StoreSetting() {
    const SettingsStored stored = settings_.Store({{"ShowSave", ShowSave() ? "1" : "0"},
                                                   {"BackupBeforeSave", BackUpBeforeSave() ? "1" : "0"},
                                                   {"NamesFromRom", NamesFromRom() ? "1" : "0"}});
    if (!stored.ok)
        Dialogs::ShowCritical(isVisible() ? this : parentWidget(), QString::fromStdString(stored.error));
}
