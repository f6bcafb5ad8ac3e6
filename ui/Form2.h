#pragma once

#include <QDialog>

namespace Ui {
class Form2;
}

// Confirms a save and, on request, unfolds the report of where every field was written. Hidden, never
// destroyed, so its height, button caption and report survive from one save to the next.
class Form2 : public QDialog {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);
    ~Form2() override;

    void SetConfirmation(const QString& speciesName);
    void SetReport(const QString& report);
    QString Confirmation() const;
    QString Report() const;
    bool IsUnfolded() const;

private:
    void ToggleReport();

    Ui::Form2* ui;
};
