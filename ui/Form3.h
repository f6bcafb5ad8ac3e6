#pragma once

#include "UnloadingDialog.h"
#include "text/MainSettings.h"

namespace Ui {
class Form3;
}

// Holds the settings: whether a save shows its report (Check1), whether the ROM is backed up before its first
// write (chkBackup) and whether the names lists come from the ROM (chkNamesFromRom). While the program runs,
// the check boxes are where the rest of the program reads them. The settings live in [Main] of Data.ini, or
// in the user's copy of that section where Data.ini cannot be written.
class Form3 : public UnloadingDialog {
    Q_OBJECT
public:
    Form3(const QString& iniPath, const QString& userCopyPath, QWidget* parent = nullptr);
    ~Form3() override;

    bool ShowSave() const;
    void SetShowSave(bool on);
    bool BackUpBeforeSave() const;
    void SetBackUpBeforeSave(bool on);
    // Read when a ROM is opened, so a change counts from the next opening.
    bool NamesFromRom() const;
    void SetNamesFromRom(bool on);
    // Writes the settings; a setting that can be written nowhere is reported.
    void StoreSetting();

private:
    void Load();

    Ui::Form3* ui;
    MainSettings settings_;
};

// "0" is off; a missing or unreadable value, or any other number, is on, as the program ships.
[[nodiscard]] bool ShowSaveFromIni(const std::string& value);
// The same rule for NamesFromRom.
[[nodiscard]] inline bool NamesFromRomFromIni(const std::string& value) {
    return ShowSaveFromIni(value);
}
