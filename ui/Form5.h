#pragma once

#include <QDialog>
#include <QStringList>
#include <optional>

#include "pictures/SpritePictures.h"
#include "species/SpeciesTableValues.h"

namespace Ui {
class Form5;
}
class FieldLimitBinder;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

// The species' tables beyond its record, in a window beside the main one that follows the selected species:
// evolutions, TM/HM and move tutor compatibility, egg moves, the Pokédex entry and how it stands in battle.
// It reads through editor/ and hands back values to save. The tabs of egg moves, the Pokédex and the battle
// live in Form5EggMoves.cpp, Form5Pokedex.cpp and Form5Battle.cpp.
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
    // The shown species' front and back sprites as the main window's preview shows them (imported pictures
    // included), for the battle preview; null images leave their places empty.
    void ShowBattleSprites(const QImage& front, const QImage& back);
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

    // How the species stands in battle (Form5Battle.cpp).
    void ConnectBattle();
    void ShowBattle(const std::optional<BattleValues>& battle, const QString& unavailable,
                    bool frontAnimKept);
    void ShowFootprint();
    void RedrawBattle();
    void ReplaceFootprint();
    void SaveFootprint();
    [[nodiscard]] std::optional<BattleValues> BattleToSave(QString* problem) const;

    Ui::Form5* ui;
    FieldLimitBinder* limits_;
    std::vector<EvolutionRow> rows_;
    Names names_;
    int shownIndex_ = -1;
    SpeciesTableValues shown_;  // as read: the bits of the masks beyond their lists come from here
    std::string gameCode_;      // of the shown ROM, for the description guide
    GameText::Language textLanguage_ = GameText::Language::English;
    QString shownName_;
    std::optional<Footprint::Bytes> footprint_;  // as shown: read, or replaced from a picture
    Picture battleFront_, battleBack_;
    bool filling_ = false;
};
