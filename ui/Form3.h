#pragma once

#include "UnloadingDialog.h"

namespace Ui {
class Form3;
}

// Holds the one setting: whether a save shows its report. While the program runs, Check1 is where the rest
// of the program reads it.
class Form3 : public UnloadingDialog {
    Q_OBJECT
public:
    Form3(const QString& iniPath, QWidget* parent = nullptr);
    ~Form3() override;

    bool ShowSave() const;
    void SetShowSave(bool on);
    // Writes the setting to Data.ini.
    void StoreSetting() const;

private:
    void Load();

    Ui::Form3* ui;
    QString iniPath_;
};

// "0" is off; a missing or unreadable value, or any other number, is on, as the program ships.
[[nodiscard]] bool ShowSaveFromIni(const std::string& value);
