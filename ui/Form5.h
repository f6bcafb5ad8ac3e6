#pragma once

#include <QDialog>
#include <QStringList>
#include <optional>

#include "species/SpeciesTableValues.h"

namespace Ui {
class Form5;
}
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

// The species' tables beyond its record, in a window beside the main one that follows the selected species:
// evolutions, TM/HM and move tutor compatibility, egg moves and the Pokédex entry. It reads through editor/
// and hands back values to save. The tabs of egg moves and the Pokédex live in Form5EggMoves.cpp and
// Form5Pokedex.cpp.
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
    // The values a save of species index writes: empty parts for a species not shown here, and the egg moves
    // and the Pokédex entry only when they were edited; nothing, with *problem set, when a box holds what
    // cannot be saved (a parameter or number beyond 0 to 65535, a character outside the game's text).
    [[nodiscard]] std::optional<SpeciesTableValues> ValuesToSave(int index, QString* problem) const;
    // How the edited descriptions of species index may not show whole in the game; empty when none does.
    [[nodiscard]] QString DescriptionWarnings(int index) const;

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

    // A part the game or Data.ini does not offer shows its reason above its controls, which stay off and
    // empty.
    static void ShowStatus(QLabel* status, const QString& text);

    // Egg moves (Form5EggMoves.cpp).
    void ConnectEggMoves();
    void FillEggMoveChoices();
    void ShowEggMoves(const std::optional<std::vector<int>>& moves, const QString& unavailable);
    void AddEggMove();
    void RemoveEggMove();
    void AddEggMoveRow(int move);
    [[nodiscard]] std::vector<int> ListedEggMoves() const;

    // The Pokédex entry (Form5Pokedex.cpp).
    void ConnectPokedex();
    void ShowPokedex(const std::optional<DexEntryValues>& dex, const SpeciesTableNotes& notes, bool twoPages);
    void ShowNumberMeanings();
    void ShowDescriptionGuide();
    [[nodiscard]] std::optional<DexEntryValues> PokedexToSave(QString* problem) const;

    Ui::Form5* ui;
    std::vector<EvolutionRow> rows_;
    Names names_;
    int shownIndex_ = -1;
    SpeciesTableValues shown_;  // as read: the bits of the masks beyond their lists come from here
    std::string gameCode_;      // of the shown ROM, for the description guide
    GameText::Language textLanguage_ = GameText::Language::English;
    bool filling_ = false;
};
