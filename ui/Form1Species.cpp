// The shown species: filling the controls from the ROM, and turning them back into bytes on save.

#include <cmath>

#include "ChoiceBox.h"
#include "Dialogs.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "SpritePreview.h"
#include "TextCodec.h"
#include "rom/RomPointer.h"
#include "species/AttackTable.h"
#include "species/AttackTableSave.h"
#include "species/FieldLimits.h"
#include "species/MoreDataSave.h"
#include "species/SpeciesRecord.h"
#include "species/SpeciesSave.h"
#include "species/SpeciesTableValues.h"
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
    const std::optional<int32_t> value = RomPointer::ParseTarget(box->text().toStdString());
    if (!value)
        *problem = QStringLiteral(
                       "\"%1\" must be a hexadecimal number of at most seven digits, up to 1FFFFFF (it reads "
                       "\"%2\").")
                       .arg(label, box->text());
    return value;
}

// The record fields of the window: each box or list with what a species shows in it and what a save takes
// from it.
struct NumberField {
    QLineEdit* box;
    const char* label;
    int SpeciesValues::*shown;
    double SpeciesEdits::*saved;
};
struct YieldField {
    QLineEdit* box;
    const char* label;
    int EvYields::*shown;
    double SpeciesEdits::*saved;
};
struct PointerField {
    QLineEdit* box;
    const char* label;
    std::string SpeciesValues::*shown;
    int32_t SpeciesEdits::*saved;
};
struct ChoiceField {
    QComboBox* box;
    int SpeciesValues::*shown;
    int SpeciesEdits::*saved;
};

struct RecordFields {
    std::vector<NumberField> numbers;
    std::vector<YieldField> yields;
    std::vector<PointerField> pointers;
    std::vector<ChoiceField> choices;
};

RecordFields FieldsOf(Ui::Form1* ui) {
    using V = SpeciesValues;
    using E = SpeciesEdits;
    return {{{ui->txtHP, "HP", &V::hp, &E::hp},
             {ui->txtAttack, "ATTACK", &V::attack, &E::attack},
             {ui->txtDefense, "DEFENSE", &V::defense, &E::defense},
             {ui->txtSpeed, "SPEED", &V::speed, &E::speed},
             {ui->txtSAttack, "S.ATTACK", &V::spAttack, &E::spAttack},
             {ui->txtSDefense, "S.DEFENSE", &V::spDefense, &E::spDefense},
             {ui->txtCatch, "CATCH RATE", &V::catchRate, &E::catchRate},
             {ui->txtXP, "BASE XP", &V::baseXp, &E::baseXp},
             {ui->txtSafari, "Safari Zone (Run Chance)", &V::safari, &E::safari}},
            {{ui->txtEVHP, "HP", &EvYields::hp, &E::evHp},
             {ui->txtEVA, "ATTACK", &EvYields::attack, &E::evAttack},
             {ui->txtEVD, "DEFENSE", &EvYields::defense, &E::evDefense},
             {ui->txtEVS, "SPEED", &EvYields::speed, &E::evSpeed},
             {ui->txtEVSA, "S.ATTACK", &EvYields::spAttack, &E::evSpAttack},
             {ui->txtEVSD, "S.DEFENSE", &EvYields::spDefense, &E::evSpDefense}},
            {{ui->txtSprite, "Sprite Offset:", &V::sprite, &E::sprite},
             {ui->txtBackSprite, "Back Sprite:", &V::backSprite, &E::backSprite},
             {ui->txtPalette, "Norm. Palette:", &V::palette, &E::palette},
             {ui->txtShinyPalette, "Shiny Palette:", &V::shinyPalette, &E::shinyPalette},
             {ui->txtIcon, "Icon Offset:", &V::icon, &E::icon},
             {ui->txtATable, "Offset:", &V::attackTable, &E::attackTable}},
            {{ui->cmbType1, &V::type1, &E::type1},
             {ui->cmbType2, &V::type2, &E::type2},
             {ui->cmbItem1, &V::item1, &E::item1},
             {ui->cmbItem2, &V::item2, &E::item2},
             {ui->cmbGender, &V::gender, &E::gender},
             {ui->cmbSteps, &V::steps, &E::steps},
             {ui->cmbEggType1, &V::eggType1, &E::eggType1},
             {ui->cmbEggType2, &V::eggType2, &E::eggType2},
             {ui->cmbAbility1, &V::ability1, &E::ability1},
             {ui->cmbAbility2, &V::ability2, &E::ability2},
             {ui->cmbPalette, &V::iconPalette, &E::iconPalette}}};
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
    shownIndex_ = index;

    fillingSpecies_ = true;
    // Pictures imported for the species shown before are saved or discarded by now.
    replaced_ = PictureReplacements{};
    ShowReplacements();
    const SpeciesValues species = ReadSpecies(*session_, index);
    const RecordFields fields = FieldsOf(ui);
    for (const NumberField& field : fields.numbers) field.box->setText(Decimal(species.*field.shown));
    for (const ChoiceField& field : fields.choices) ChoiceBox::SelectStored(field.box, species.*field.shown);
    for (const PointerField& field : fields.pointers)
        field.box->setText(QString::fromStdString(species.*field.shown));
    LoadAttackTable(false);
    for (const YieldField& field : fields.yields) field.box->setText(Decimal(species.ev.*field.shown));
    fillingSpecies_ = false;
    UpdatePreview();
    FollowInMoreData();

    if (ui->lstAttack->count() > 0) ShowAttackRow(0);
    setWindowModified(false);
}

void Form1::SelectSilently(int row) {
    const QSignalBlocker blocker(ui->lstPokemon);
    ui->lstPokemon->setCurrentRow(row);
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
    sources.replaced = replaced_.empty() ? nullptr : &replaced_;
    ui->preview->Show(sources);
    ShowSpritesInMoreData();
}

std::optional<SpeciesEdits> Form1::GatherEdits(QString* problem) const {
    SpeciesEdits edits;
    edits.name = TextCodec::FromDisplay(ui->txtName->text());
    const RecordFields fields = FieldsOf(ui);
    for (const NumberField& field : fields.numbers) {
        const std::optional<double> value = NumberIn(field.box, QLatin1String(field.label), problem);
        if (!value) return std::nullopt;
        edits.*field.saved = *value;
    }
    for (const YieldField& field : fields.yields) {
        const std::optional<double> value = YieldIn(field.box, QLatin1String(field.label), problem);
        if (!value) return std::nullopt;
        edits.*field.saved = *value;
    }
    for (const PointerField& field : fields.pointers) {
        // The box of a replaced picture is read-only: the save points it at the picture's new place.
        if (field.box->isReadOnly()) continue;
        const std::optional<int32_t> value = PointerIn(field.box, QLatin1String(field.label), problem);
        if (!value) return std::nullopt;
        edits.*field.saved = *value;
    }
    for (const ChoiceField& field : fields.choices) edits.*field.saved = ChoiceBox::StoredValue(field.box);

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

bool Form1::SaveSpecies() {
    const int index = shownIndex_;
    if (!session_ || !writer_ || index < 0) return false;

    QString problem;
    std::optional<SpeciesEdits> edits = GatherEdits(&problem);
    if (!edits) {
        ShowStatus(QStringLiteral("Save refused: ") + problem);
        Dialogs::ShowCritical(this, problem + QStringLiteral("\nNothing was saved."));
        return false;
    }

    const QString typedName = ui->txtName->text();
    // One map of free space for the whole save, so that the pictures and the tables it moves never get the
    // same bytes. The pictures come first: the species' pointers are then pointed at them.
    FreeSpaceMap space(*session_);
    PicturesPlan pictures;
    if (!replaced_.empty()) {
        pictures = PlanPictureReplacements(
            *session_, index, replaced_, [&space](int64_t length) { return space.Take(length); }, *edits);
    }
    SpeciesTablePlan planned;
    if (pictures.error.empty()) planned = PlanSpeciesWithAttackTable(*session_, index, *edits, space);
    if (!pictures.error.empty() || !planned.ok) {
        const std::string changed = writer_->ChangedSinceOpening();
        const QString message =
            TextCodec::ToDisplay(!changed.empty()         ? changed
                                 : !planned.error.empty() ? planned.error
                                                          : pictures.error + " Nothing was saved.");
        ShowStatus(QStringLiteral("Save refused: ") + message);
        Dialogs::ShowCritical(this, message);
        return false;
    }
    const std::optional<MoreDataPlan> more = PlanMoreData(index, space, &problem);
    if (!more) {
        if (problem.isEmpty()) {
            ShowStatus(QStringLiteral("Not saved."));
            return false;
        }
        ShowStatus(QStringLiteral("Save refused: ") + problem);
        Dialogs::ShowCritical(this, problem + QStringLiteral("\nNothing was saved."));
        return false;
    }
    // The tables of the More Data window and the pictures go out in the same step, so one undo takes the
    // whole save back.
    std::vector<PlannedByte> extra = more->bytes;
    extra.insert(extra.end(), pictures.bytes.begin(), pictures.bytes.end());
    planned.planned.plan.Append(extra);
    for (const std::string& line : pictures.reportLines) planned.planned.report += "\r\n" + line;
    // The window keeps the user's edits when the write fails, so that the save can be tried again.
    if (!ApplyWrite(planned.planned.plan, this)) return false;
    if (more->eggMovesMovedTo && session_->Tables.eggMoves.where)
        session_->Tables.eggMoves.where->table = *more->eggMovesMovedTo;
    // Said here too, so that a save with the report off is still confirmed.
    const std::string parts = PlannedPartsText(extra);
    QString status = parts.empty()
                         ? QStringLiteral("Saved %1").arg(typedName)
                         : QStringLiteral("Saved %1 with its %2").arg(typedName, TextCodec::ToDisplay(parts));
    status += QStringLiteral(": %1 bytes").arg(planned.planned.plan.bytes.size());
    if (planned.movedTo)
        status += QStringLiteral("; ") + TextCodec::ToDisplay(AttackTableMovedLine(*planned.movedTo));
    for (const std::string& moved : more->moved) status += QStringLiteral("; ") + TextCodec::ToDisplay(moved);
    ShowStatus(status);

    Form2* report = ReportWindow();
    report->SetConfirmation(typedName);
    report->SetReport(TextCodec::ToDisplay(planned.planned.report));

    // Reading the species back shows what the file now holds.
    LoadNameList();
    SelectSilently(index);
    ShowSpecies();

    if (SettingsWindow()->ShowSave()) Dialogs::RunModal(report);
    return true;
}
