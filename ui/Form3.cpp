#include "Form3.h"

#include "FieldLimits.h"
#include "ReadINI.h"
#include "ui_Form3.h"

bool ShowSaveFromIni(const std::string& value) {
    if (!FieldLimits::IsNumberText(value)) return true;
    return FieldLimits::NumberValue(value) != 0;
}

Form3::Form3(const QString& iniPath, QWidget* parent)
    : UnloadingDialog(parent), ui(new Ui::Form3), iniPath_(iniPath) {
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
    const std::string value = ReadINI::ReadIniValue(iniPath_.toStdString(), "Main", "ShowSave");
    ui->Check1->setChecked(ShowSaveFromIni(value));
    // The same rule: only "0" turns the backup off.
    ui->chkBackup->setChecked(
        ShowSaveFromIni(ReadINI::ReadIniValue(iniPath_.toStdString(), "Main", "BackupBeforeSave")));
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

void Form3::StoreSetting() const {
    // The setting is not the user's data: a Data.ini that cannot be written keeps its old value quietly.
    (void)ReadINI::WriteIniValue(iniPath_.toStdString(), "Main", "ShowSave", ShowSave() ? "1" : "0");
    (void)ReadINI::WriteIniValue(iniPath_.toStdString(), "Main", "BackupBeforeSave",
                                 BackUpBeforeSave() ? "1" : "0");
}
