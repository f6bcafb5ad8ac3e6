// The shown species: filling the controls from the ROM, and turning them back into bytes on save.

#include <cmath>

#include "AttackTable.h"
#include "ChoiceBox.h"
#include "Dialogs.h"
#include "FieldLimits.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "SpeciesRecord.h"
#include "SpeciesSave.h"
#include "SpritePreview.h"
#include "TextCodec.h"
#include "ui_Form1.h"

namespace {

QString Decimal(int value) {
    return QString::number(value);
}

// A number box as the save takes it: the whole text must be a number.
std::optional<double> NumberIn(const QLineEdit* box, const QString& label, QString* problem) {
    const std::string text = box->text().toStdString();
    if (!FieldLimits::IsNumberText(text)) {
        *problem = QStringLiteral("\"%1\" does not hold a number (it reads \"%2\").").arg(label, box->text());
        return std::nullopt;
    }
    return FieldLimits::NumberValue(text);
}

std::optional<double> YieldIn(const QLineEdit* box, const QString& label, QString* problem) {
    const std::string text = box->text().toStdString();
    const double value = FieldLimits::NumberValue(text);
    if (!FieldLimits::IsNumberText(text) || value < 0 || value > 3) {
        *problem = QStringLiteral("The EV yield \"%1\" must be a whole number from 0 to 3 (it reads \"%2\").")
                       .arg(label, box->text());
        return std::nullopt;
    }
    return value;
}

std::optional<int32_t> PointerIn(const QLineEdit* box, const QString& label, QString* problem) {
    const std::optional<int32_t> value = ParseHexOffset(box->text().toStdString(), 6);
    if (!value)
        *problem =
            QStringLiteral("\"%1\" must be a hexadecimal number of at most six digits (it reads \"%2\").")
                .arg(label, box->text());
    return value;
}

}  // namespace

void Form1::ShowSpecies() {
    const int index = ui->lstPokemon->currentRow();
    if (!session_ || index < 0) return;

    ui->cmdSave->setEnabled(true);
    ui->txtName->setEnabled(true);
    ui->cmdNameEx->setEnabled(true);
    ui->cmdNameIm->setEnabled(true);
    ui->txtName->setText(ui->lstPokemon->item(index)->text());

    fillingSpecies_ = true;
    const SpeciesValues species = ReadSpecies(*session_, index);
    ui->txtHP->setText(Decimal(species.hp));
    ui->txtAttack->setText(Decimal(species.attack));
    ui->txtDefense->setText(Decimal(species.defense));
    ui->txtSpeed->setText(Decimal(species.speed));
    ui->txtSAttack->setText(Decimal(species.spAttack));
    ui->txtSDefense->setText(Decimal(species.spDefense));
    ChoiceBox::SelectStored(ui->cmbType1, species.type1);
    ChoiceBox::SelectStored(ui->cmbType2, species.type2);
    ui->txtCatch->setText(Decimal(species.catchRate));
    ui->txtXP->setText(Decimal(species.baseXp));
    ChoiceBox::SelectStored(ui->cmbItem1, species.item1);
    ChoiceBox::SelectStored(ui->cmbItem2, species.item2);
    ChoiceBox::SelectStored(ui->cmbGender, species.gender);
    ChoiceBox::SelectStored(ui->cmbSteps, species.steps);
    ChoiceBox::SelectStored(ui->cmbEggType1, species.eggType1);
    ChoiceBox::SelectStored(ui->cmbEggType2, species.eggType2);
    ChoiceBox::SelectStored(ui->cmbAbility1, species.ability1);
    ChoiceBox::SelectStored(ui->cmbAbility2, species.ability2);
    ui->txtSafari->setText(Decimal(species.safari));

    ui->txtATable->setText(QString::fromStdString(species.attackTable));
    LoadAttackTable(false);

    ui->txtSprite->setText(QString::fromStdString(species.sprite));
    ui->txtBackSprite->setText(QString::fromStdString(species.backSprite));
    ui->txtPalette->setText(QString::fromStdString(species.palette));
    ui->txtShinyPalette->setText(QString::fromStdString(species.shinyPalette));
    ui->txtIcon->setText(QString::fromStdString(species.icon));
    ChoiceBox::SelectStored(ui->cmbPalette, species.iconPalette);
    fillingSpecies_ = false;
    UpdatePreview();

    ui->txtEVS->setText(Decimal(species.ev.speed));
    ui->txtEVD->setText(Decimal(species.ev.defense));
    ui->txtEVA->setText(Decimal(species.ev.attack));
    ui->txtEVHP->setText(Decimal(species.ev.hp));
    ui->txtEVSD->setText(Decimal(species.ev.spDefense));
    ui->txtEVSA->setText(Decimal(species.ev.spAttack));

    if (ui->lstAttack->count() > 0) ShowAttackRow(0);
}

void Form1::UpdatePreview() {
    if (fillingSpecies_ || !session_) return;
    SpritePreview::Sources sources;
    sources.romPath = session_->RomPath;
    sources.sprite = ui->txtSprite->text();
    sources.backSprite = ui->txtBackSprite->text();
    sources.palette = ui->txtPalette->text();
    sources.shinyPalette = ui->txtShinyPalette->text();
    sources.icon = ui->txtIcon->text();
    sources.iconPalette = ChoiceBox::StoredValue(ui->cmbPalette);
    sources.iconPaletteTable = session_->IconPaletteTable;
    ui->preview->Show(sources);
}

std::optional<SpeciesEdits> Form1::GatherEdits(QString* problem) const {
    SpeciesEdits edits;
    edits.name = TextCodec::FromDisplay(ui->txtName->text());

    const struct {
        const QLineEdit* box;
        const char* label;
        double SpeciesEdits::*field;
    } numbers[] = {{ui->txtHP, "HP", &SpeciesEdits::hp},
                   {ui->txtAttack, "ATTACK", &SpeciesEdits::attack},
                   {ui->txtDefense, "DEFENSE", &SpeciesEdits::defense},
                   {ui->txtSpeed, "SPEED", &SpeciesEdits::speed},
                   {ui->txtSAttack, "S.ATTACK", &SpeciesEdits::spAttack},
                   {ui->txtSDefense, "S.DEFENSE", &SpeciesEdits::spDefense},
                   {ui->txtCatch, "CATCH RATE", &SpeciesEdits::catchRate},
                   {ui->txtXP, "BASE XP", &SpeciesEdits::baseXp},
                   {ui->txtSafari, "Safari Zone (Run Chance)", &SpeciesEdits::safari}};
    for (const auto& number : numbers) {
        const std::optional<double> value = NumberIn(number.box, QLatin1String(number.label), problem);
        if (!value) return std::nullopt;
        edits.*number.field = *value;
    }

    const struct {
        const QLineEdit* box;
        const char* label;
        double SpeciesEdits::*field;
    } yields[] = {{ui->txtEVHP, "HP", &SpeciesEdits::evHp},
                  {ui->txtEVA, "ATTACK", &SpeciesEdits::evAttack},
                  {ui->txtEVD, "DEFENSE", &SpeciesEdits::evDefense},
                  {ui->txtEVS, "SPEED", &SpeciesEdits::evSpeed},
                  {ui->txtEVSA, "S.ATTACK", &SpeciesEdits::evSpAttack},
                  {ui->txtEVSD, "S.DEFENSE", &SpeciesEdits::evSpDefense}};
    for (const auto& yield : yields) {
        const std::optional<double> value = YieldIn(yield.box, QLatin1String(yield.label), problem);
        if (!value) return std::nullopt;
        edits.*yield.field = *value;
    }

    const struct {
        const QLineEdit* box;
        const char* label;
        int32_t SpeciesEdits::*field;
    } pointers[] = {{ui->txtSprite, "Sprite Offset:", &SpeciesEdits::sprite},
                    {ui->txtBackSprite, "Back Sprite:", &SpeciesEdits::backSprite},
                    {ui->txtPalette, "Norm. Palette:", &SpeciesEdits::palette},
                    {ui->txtShinyPalette, "Shiny Palette:", &SpeciesEdits::shinyPalette},
                    {ui->txtIcon, "Icon Offset:", &SpeciesEdits::icon},
                    {ui->txtATable, "Offset:", &SpeciesEdits::attackTable}};
    for (const auto& pointer : pointers) {
        const std::optional<int32_t> value = PointerIn(pointer.box, QLatin1String(pointer.label), problem);
        if (!value) return std::nullopt;
        edits.*pointer.field = *value;
    }

    edits.type1 = ChoiceBox::StoredValue(ui->cmbType1);
    edits.type2 = ChoiceBox::StoredValue(ui->cmbType2);
    edits.item1 = ChoiceBox::StoredValue(ui->cmbItem1);
    edits.item2 = ChoiceBox::StoredValue(ui->cmbItem2);
    edits.gender = ChoiceBox::StoredValue(ui->cmbGender);
    edits.steps = ChoiceBox::StoredValue(ui->cmbSteps);
    edits.eggType1 = ChoiceBox::StoredValue(ui->cmbEggType1);
    edits.eggType2 = ChoiceBox::StoredValue(ui->cmbEggType2);
    edits.ability1 = ChoiceBox::StoredValue(ui->cmbAbility1);
    edits.ability2 = ChoiceBox::StoredValue(ui->cmbAbility2);
    edits.iconPalette = ChoiceBox::StoredValue(ui->cmbPalette);

    // Each row carries its own attack number, so a name without an entry or listed twice keeps its number.
    // The level passes the level box's check, so a level above 99 is written as 99.
    for (int row = 0; row < ui->lstAttack->count(); ++row) {
        const int attack = ui->lstAttack->item(row)->data(Qt::UserRole).toInt();
        const std::string levelText =
            FieldLimits::LimitCheck(ui->lstLevel->item(row)->text().toStdString(), 99);
        const int level = static_cast<int>(std::nearbyint(FieldLimits::NumberValue(levelText)));
        edits.rows.push_back(LevelUpAttackEntry{attack, level});
    }
    return edits;
}

void Form1::SaveSpecies() {
    const int index = ui->lstPokemon->currentRow();
    if (!session_ || index < 0) return;

    QString problem;
    const std::optional<SpeciesEdits> edits = GatherEdits(&problem);
    if (!edits) {
        Dialogs::ShowCritical(this, problem + QStringLiteral("\nNothing was saved."));
        return;
    }

    const QString typedName = ui->txtName->text();
    const SaveOutcome outcome = ::SaveSpecies(*session_, index, *edits);
    if (!outcome.complete) {
        // The window keeps the user's edits so that the save can be tried again.
        Dialogs::ShowCritical(this, TextCodec::ToDisplay(outcome.error));
        return;
    }

    Form2* report = ReportWindow();
    report->SetConfirmation(typedName);
    report->SetReport(TextCodec::ToDisplay(outcome.report));

    // Reselecting reads the species back, so the window shows what the file now holds.
    LoadNameList();
    ui->lstPokemon->setCurrentRow(index);

    if (SettingsWindow()->ShowSave()) Dialogs::RunModal(report);
}
