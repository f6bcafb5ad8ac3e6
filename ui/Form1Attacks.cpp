// The attack table frame: loading a table into the two lists, keeping them on one row, adding, changing and
// removing rows, and inserting a new table.

#include <cmath>

#include "ChoiceBox.h"
#include "Dialogs.h"
#include "Form1.h"
#include "Form4.h"
#include "HexFunctions.h"
#include "TextCodec.h"
#include "rom/RomPointer.h"
#include "species/AttackRowOrder.h"
#include "species/AttackTable.h"
#include "species/FieldLimits.h"
#include "species/NewAttackTable.h"
#include "ui_Form1.h"

namespace {

QString AttackName(const QComboBox* names, int number) {
    return number < ChoiceBox::ListedCount(names) ? names->itemText(number) : ChoiceBox::UnlistedText(number);
}

}  // namespace

void Form1::LoadAttackTable(bool userAsked) {
    if (!session_) return;
    const std::optional<int32_t> start = RomPointer::ParseTarget(ui->txtATable->text().toStdString());
    if (!start) {
        if (userAsked)
            Dialogs::ShowCritical(
                this, QStringLiteral("\"%1\" is not an offset: type one to seven hexadecimal digits, up to "
                                     "1FFFFFF.")
                          .arg(ui->txtATable->text()));
        return;
    }

    const std::vector<LevelUpAttackEntry> entries = ::LoadAttackTable(session_->RomPath, *start);
    const QSignalBlocker blockLevels(ui->lstLevel);
    const QSignalBlocker blockAttacks(ui->lstAttack);
    ui->lstLevel->clear();
    ui->lstAttack->clear();
    for (const LevelUpAttackEntry& entry : entries) {
        ui->lstLevel->addItem(QString::number(entry.level));
        auto* row = new QListWidgetItem(AttackName(ui->cmbANames, entry.attack));
        row->setData(Qt::UserRole, entry.attack);
        ui->lstAttack->addItem(row);
    }
}

void Form1::ShowAttackRow(int row) {
    if (row < 0 || row >= ui->lstAttack->count() || row >= ui->lstLevel->count()) return;
    {
        const QSignalBlocker blockLevels(ui->lstLevel);
        const QSignalBlocker blockAttacks(ui->lstAttack);
        ui->lstAttack->setCurrentRow(row);
        ui->lstLevel->setCurrentRow(row);
    }
    ChoiceBox::SelectStored(ui->cmbANames, ui->lstAttack->item(row)->data(Qt::UserRole).toInt());
    ui->txtLevel->setText(ui->lstLevel->item(row)->text());
}

void Form1::ChangeAttackRow() {
    const int row = ui->lstAttack->currentRow();
    if (row < 0 || row >= ui->lstLevel->count() || ui->cmbANames->currentIndex() < 0) return;
    QListWidgetItem* attack = ui->lstAttack->item(row);
    attack->setText(ui->cmbANames->currentText());
    attack->setData(Qt::UserRole, ChoiceBox::StoredValue(ui->cmbANames));
    ui->lstLevel->item(row)->setText(ui->txtLevel->text());
    MarkEdited();
}

void Form1::AddAttackRow() {
    if (ui->cmbANames->currentIndex() < 0) return;
    if (ui->lstAttack->count() >= kMaxAttackRows) {
        Dialogs::ShowCritical(this,
                              QStringLiteral("The table already has %1 attacks, as many as the editor reads "
                                             "back: remove one first.")
                                  .arg(kMaxAttackRows));
        return;
    }
    const auto levelOf = [](const QString& text) {
        return static_cast<int>(std::nearbyint(FieldLimits::NumberValue(text.toStdString())));
    };
    const QString level =
        QString::fromStdString(FieldLimits::LimitCheck(ui->txtLevel->text().toStdString(), 99));
    std::vector<int> levels;
    for (int row = 0; row < ui->lstLevel->count(); ++row)
        levels.push_back(levelOf(ui->lstLevel->item(row)->text()));
    const int row = AddedRowPosition(levels, ui->lstAttack->currentRow(), levelOf(level));
    {
        const QSignalBlocker blockLevels(ui->lstLevel);
        const QSignalBlocker blockAttacks(ui->lstAttack);
        auto* attack = new QListWidgetItem(ui->cmbANames->currentText());
        attack->setData(Qt::UserRole, ChoiceBox::StoredValue(ui->cmbANames));
        ui->lstAttack->insertItem(row, attack);
        ui->lstLevel->insertItem(row, level);
    }
    ShowAttackRow(row);
    MarkEdited();
}

void Form1::RemoveAttackRow() {
    const int row = ui->lstAttack->currentRow();
    if (row < 0 || row >= ui->lstLevel->count()) return;
    {
        const QSignalBlocker blockLevels(ui->lstLevel);
        const QSignalBlocker blockAttacks(ui->lstAttack);
        delete ui->lstAttack->takeItem(row);
        delete ui->lstLevel->takeItem(row);
    }
    // The row below moves up into the selection, so that Remove can be pressed again.
    ShowAttackRow(std::min(row, ui->lstAttack->count() - 1));
    MarkEdited();
}

void Form1::ShowInsertWindow() {
    Dialogs::RunModal(InsertWindow());
}

void Form1::InsertAttackTable() {
    if (!session_ || !insert_) return;
    const QString startText = insert_->StartOffsetText();
    const std::optional<int64_t> romSize = HexFunctions::RomFileSize(session_->RomPath);
    if (!romSize) {
        Dialogs::ShowCritical(this, QStringLiteral("The ROM file \"%1\" cannot be read. Nothing was written.")
                                        .arg(QString::fromStdString(session_->RomPath)));
        return;
    }
    const NewTableCheck check =
        CheckNewTableRequest(startText.toStdString(), insert_->CountText().toStdString(), *romSize);
    if (!check.ok) {
        Dialogs::ShowCritical(insert_,
                              TextCodec::ToDisplay(check.error) + QStringLiteral("\nNothing was written."));
        return;
    }
    const std::string question = OverwriteQuestion(session_->RomPath, check.request);
    if (!question.empty() &&
        Dialogs::Ask(insert_, TextCodec::ToDisplay(question), {Dialogs::Answer::Yes, Dialogs::Answer::No},
                     Dialogs::Answer::No, Dialogs::Answer::No) != Dialogs::Answer::Yes)
        return;
    if (!ApplyWrite(PlanNewAttackTable(check.request), insert_)) return;
    ui->txtATable->setText(startText);
    LoadAttackTable(false);
    // The table is in the file; the species points at it once it is saved.
    MarkEdited();
    insert_->hide();
    ShowStatus(
        QStringLiteral("Inserted a new attack table of %1 rows at %2")
            .arg(check.request.count)
            .arg(QString::number(check.request.start, 16).toUpper().rightJustified(6, QLatin1Char('0'))));
}

void Form1::FindSpaceForInsert() {
    if (!session_ || !insert_) return;
    const FreeSpaceFound found = FindSpaceForNewTable(*session_, insert_->CountText().toStdString());
    if (!found.offset) {
        Dialogs::ShowCritical(insert_, TextCodec::ToDisplay(found.error));
        return;
    }
    insert_->SetStartOffsetText(QStringLiteral("%1").arg(*found.offset, 6, 16, QLatin1Char('0')).toUpper());
}
