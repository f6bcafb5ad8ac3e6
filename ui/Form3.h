#pragma once

#include "UnloadingDialog.h"

namespace Ui {
class Form3;
}

// Holds the settings: whether a save shows its report, and whether the ROM is backed up before its first
// write. While the program runs, Check1 is where the rest
// of the program reads it.
class Form3 : public UnloadingDialog {
    Q_OBJECT
public:
    Form3(const QString& iniPath, QWidget* parent = nullptr);
    ~Form3() override;

    bool ShowSave() const;
    void SetShowSave(bool on);
    bool BackUpBeforeSave() const;
    void SetBackUpBeforeSave(bool on);
    // Writes the settings to Data.ini.
    void StoreSetting() const;

private:
    void Load();

    Ui::Form3* ui;
    QString iniPath_;
};

// "0" is off; a missing or unreadable value, or any other number, is on, as the program ships.
[[nodiscard]] bool ShowSaveFromIni(const std::string& value);
