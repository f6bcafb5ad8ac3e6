#pragma once

#include "MainSettings.h"
#include "UnloadingDialog.h"

namespace Ui {
class Form3;
}

// Holds the settings: whether a save shows its report, and whether the ROM is backed up before its first
// write. While the program runs, Check1 is where the rest of the program reads the first. The settings live
// in [Main] of Data.ini, or in the user's copy of that section where Data.ini cannot be written.
class Form3 : public UnloadingDialog {
    Q_OBJECT
public:
    Form3(const QString& iniPath, const QString& userCopyPath, QWidget* parent = nullptr);
    ~Form3() override;

    bool ShowSave() const;
    void SetShowSave(bool on);
    bool BackUpBeforeSave() const;
    void SetBackUpBeforeSave(bool on);
    // Writes the settings; a setting that can be written nowhere is reported.
    void StoreSetting();

private:
    void Load();

    Ui::Form3* ui;
    MainSettings settings_;
};

// "0" is off; a missing or unreadable value, or any other number, is on, as the program ships.
[[nodiscard]] bool ShowSaveFromIni(const std::string& value);
