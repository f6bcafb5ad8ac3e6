#pragma once

#include <QDialog>
#include <QStringList>
#include <optional>

#include "SpeciesTableValues.h"

namespace Ui {
class Form5;
}
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

// The species' tables beyond its record, in a window beside the main one that follows the selected species:
// evolutions, TM/HM and move tutor compatibility. It reads through editor/ and hands back values to save.
class Form5 : public QDialog {
    Q_OBJECT
public:
    // The names its lists show: species for the evolution targets, moves for the TM/HM and tutor rows, items
    // for the parameters of item methods; position n names number n.
    struct Names {
        QStringList species, moves, items;
    };

    explicit Form5(QWidget* parent = nullptr);
    ~Form5() override;

    void SetNames(const Names& names);
    // Reads species index and shows it; what it shows is what an unedited save writes back.
    void ShowSpecies(const EditorSession& session, int index, const QString& speciesName);
    // No ROM open: every part empty and off.
    void ShowNoRom();
    // The values a save of species index writes: empty parts for a species not shown here; nothing, with
    // *problem set, when a parameter box does not hold a number from 0 to 65535.
    [[nodiscard]] std::optional<SpeciesTableValues> ValuesToSave(int index, QString* problem) const;

signals:
    // The user changed a value of the shown species (values the window sets itself do not count).
    void edited();

private:
    struct EvolutionRow {
        QComboBox* method;
        QLineEdit* parameter;
        QLabel* meaning;
        QComboBox* target;
    };

    void ShowEvolutions(const std::optional<Evolutions>& evolutions, const QString& unavailable);
    void ShowCompatibility(QListWidget* list, QLabel* status, const std::optional<Compatibility>& read,
                           const QString& unavailable, bool tmhm);
    void ShowParameterMeaning(const EvolutionRow& row);
    void ReportEdit();

    Ui::Form5* ui;
    std::vector<EvolutionRow> rows_;
    Names names_;
    int shownIndex_ = -1;
    SpeciesTableValues shown_;  // as read: the bits of the masks beyond their lists come from here
    bool filling_ = false;
};
