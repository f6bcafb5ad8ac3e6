// The Egg Moves tab of Form5: the species' egg moves as a list of move names, each row carrying its number,
// so a number without a name is kept and written back as it was.

#include "ChoiceBox.h"
#include "Dialogs.h"
#include "Form5.h"
#include "species/EggMoveTable.h"
#include "ui_Form5.h"

void Form5::ConnectEggMoves() {
    connect(ui->cmdAddEggMove, &QPushButton::clicked, this, &Form5::AddEggMove);
    connect(ui->cmdRemoveEggMove, &QPushButton::clicked, this, &Form5::RemoveEggMove);
    connect(ui->lstEggMoves, &QListWidget::currentRowChanged, this,
            [this](int row) { ui->cmdRemoveEggMove->setEnabled(ui->lstEggMoves->isEnabled() && row >= 0); });
}

void Form5::FillEggMoveChoices() {
    const int chosen = ChoiceBox::StoredValue(ui->cmbEggMove);
    ChoiceBox::Fill(ui->cmbEggMove, names_.moves);
    ChoiceBox::SelectStored(ui->cmbEggMove, chosen >= 0 ? chosen : (names_.moves.size() > 1 ? 1 : -1));
    for (int row = 0; row < ui->lstEggMoves->count(); ++row) {
        QListWidgetItem* item = ui->lstEggMoves->item(row);
        const int move = item->data(Qt::UserRole).toInt();
        item->setText(move >= 0 && move < names_.moves.size() ? names_.moves[move]
                                                              : ChoiceBox::UnlistedText(move));
    }
}

void Form5::AddEggMoveRow(int move) {
    auto* item = new QListWidgetItem(ui->lstEggMoves);
    item->setData(Qt::UserRole, move);
    item->setText(move >= 0 && move < names_.moves.size() ? names_.moves[move]
                                                          : ChoiceBox::UnlistedText(move));
}

void Form5::ShowEggMoves(const std::optional<std::vector<int>>& moves, const QString& unavailable) {
    ShowStatus(ui->lblEggStatus, moves ? QString() : unavailable);
    ui->lstEggMoves->clear();
    if (moves) {
        for (const int move : *moves) AddEggMoveRow(move);
    }
    for (QWidget* control : {static_cast<QWidget*>(ui->lstEggMoves), static_cast<QWidget*>(ui->cmbEggMove),
                             static_cast<QWidget*>(ui->cmdAddEggMove)})
        control->setEnabled(moves.has_value());
    ui->cmdRemoveEggMove->setEnabled(false);
}

void Form5::AddEggMove() {
    const int move = ChoiceBox::StoredValue(ui->cmbEggMove);
    if (move < 0) return;
    if (ui->lstEggMoves->count() >= EggMoveLimits::kMostPerSpecies) {
        Dialogs::ShowCritical(this,
                              QStringLiteral("A species can have at most %1 egg moves: the game reads no "
                                             "more. Remove one before adding another.")
                                  .arg(EggMoveLimits::kMostPerSpecies));
        return;
    }
    AddEggMoveRow(move);
    ui->lstEggMoves->setCurrentRow(ui->lstEggMoves->count() - 1);
    ReportEdit();
}

void Form5::RemoveEggMove() {
    const int row = ui->lstEggMoves->currentRow();
    if (row < 0) return;
    delete ui->lstEggMoves->takeItem(row);
    ReportEdit();
}

std::vector<int> Form5::ListedEggMoves() const {
    std::vector<int> moves;
    for (int row = 0; row < ui->lstEggMoves->count(); ++row)
        moves.push_back(ui->lstEggMoves->item(row)->data(Qt::UserRole).toInt());
    return moves;
}
