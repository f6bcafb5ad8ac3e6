// Species data files, the name list export and the name field's symbol menu.

#include <QFile>
#include <QMenu>

#include "ChoiceBox.h"
#include "Dialogs.h"
#include "Form1.h"
#include "NameList.h"
#include "ReadINI.h"
#include "SpeciesDataFile.h"
#include "TextCodec.h"
#include "ui_Form1.h"

namespace {

const QString kSpeciesFilter = QStringLiteral(
    "Pokemon Data File (*.pkmn)|*.pkmn|Text Files (*.txt)|*.txt|INI Files (*.ini)|*.ini|All Files (*.*)|*.*");

std::string Bytes(const QLineEdit* box) { return TextCodec::FromDisplay(box->text()); }

std::string PathOf(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

void Form1::ExportSpeciesFile() {
    const QString path =
        Dialogs::AskFileName(this, Dialogs::FileMode::Save, QStringLiteral("Save Pokemon Data File..."), kSpeciesFilter);
    if (path.isEmpty()) return;

    SpeciesFileValues values;
    values.name = Bytes(ui->txtName);
    values.hp = Bytes(ui->txtHP);
    values.attack = Bytes(ui->txtAttack);
    values.defense = Bytes(ui->txtDefense);
    values.speed = Bytes(ui->txtSpeed);
    values.spAttack = Bytes(ui->txtSAttack);
    values.spDefense = Bytes(ui->txtSDefense);
    values.baseXp = Bytes(ui->txtXP);
    values.catchRate = Bytes(ui->txtCatch);
    values.type1 = ChoiceBox::StoredValue(ui->cmbType1);
    values.type2 = ChoiceBox::StoredValue(ui->cmbType2);
    values.item1 = ChoiceBox::StoredValue(ui->cmbItem1);
    values.item2 = ChoiceBox::StoredValue(ui->cmbItem2);
    values.ability1 = ChoiceBox::StoredValue(ui->cmbAbility1);
    values.ability2 = ChoiceBox::StoredValue(ui->cmbAbility2);
    values.safari = Bytes(ui->txtSafari);
    values.eggType1 = ChoiceBox::StoredValue(ui->cmbEggType1);
    values.eggType2 = ChoiceBox::StoredValue(ui->cmbEggType2);
    values.steps = ChoiceBox::StoredValue(ui->cmbSteps);
    values.gender = ChoiceBox::StoredValue(ui->cmbGender);

    if (!ReadINI::WriteTextFile(PathOf(path), FormatSpeciesLine(values)))
        Dialogs::ShowCritical(this, QStringLiteral("The file \"%1\" could not be written.").arg(path));
}

void Form1::ImportSpeciesFile() {
    const QString path =
        Dialogs::AskFileName(this, Dialogs::FileMode::Open, QStringLiteral("Load Pokemon Data File..."), kSpeciesFilter);
    if (path.isEmpty()) return;

    SpeciesListSizes sizes;
    sizes.types = ChoiceBox::ListedCount(ui->cmbType1);
    sizes.items = ChoiceBox::ListedCount(ui->cmbItem1);
    sizes.abilities = ChoiceBox::ListedCount(ui->cmbAbility1);
    sizes.eggTypes = ChoiceBox::ListedCount(ui->cmbEggType1);
    sizes.steps = ChoiceBox::ListedCount(ui->cmbSteps);
    sizes.gender = ChoiceBox::ListedCount(ui->cmbGender);
    const SpeciesFileParse parsed = ParseSpeciesFile(ReadINI::ReadTextFile(PathOf(path)), sizes);
    if (!parsed.values) {
        Dialogs::ShowCritical(this, QStringLiteral("\"%1\" is not a species data file: %2\nNothing was changed.")
                                        .arg(path, TextCodec::ToDisplay(parsed.error)));
        return;
    }

    // Texts go in as they are: the change checks correct some boxes at once, the leave checks wait for the user.
    const SpeciesFileValues& values = *parsed.values;
    ui->txtName->setText(TextCodec::ToDisplay(values.name));
    ui->txtHP->setText(TextCodec::ToDisplay(values.hp));
    ui->txtAttack->setText(TextCodec::ToDisplay(values.attack));
    ui->txtDefense->setText(TextCodec::ToDisplay(values.defense));
    ui->txtSpeed->setText(TextCodec::ToDisplay(values.speed));
    ui->txtSAttack->setText(TextCodec::ToDisplay(values.spAttack));
    ui->txtSDefense->setText(TextCodec::ToDisplay(values.spDefense));
    ui->txtXP->setText(TextCodec::ToDisplay(values.baseXp));
    ui->txtCatch->setText(TextCodec::ToDisplay(values.catchRate));
    ChoiceBox::SelectStored(ui->cmbType1, values.type1);
    ChoiceBox::SelectStored(ui->cmbType2, values.type2);
    ChoiceBox::SelectStored(ui->cmbItem1, values.item1);
    ChoiceBox::SelectStored(ui->cmbItem2, values.item2);
    ChoiceBox::SelectStored(ui->cmbAbility1, values.ability1);
    ChoiceBox::SelectStored(ui->cmbAbility2, values.ability2);
    ui->txtSafari->setText(TextCodec::ToDisplay(values.safari));
    ChoiceBox::SelectStored(ui->cmbEggType1, values.eggType1);
    ChoiceBox::SelectStored(ui->cmbEggType2, values.eggType2);
    ChoiceBox::SelectStored(ui->cmbSteps, values.steps);
    ChoiceBox::SelectStored(ui->cmbGender, values.gender);
}

void Form1::ExportNameList() {
    const QString path =
        Dialogs::AskFileName(this, Dialogs::FileMode::Save, QStringLiteral("Save Pokemon Name List..."),
                             QStringLiteral("Text Files (*.txt)|*.txt|INI Files (*.ini)|*.ini|All Files (*.*)|*.*"));
    if (path.isEmpty()) return;

    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(ui->lstPokemon->count()));
    for (int i = 0; i < ui->lstPokemon->count(); ++i)
        names.push_back(TextCodec::FromDisplay(ui->lstPokemon->item(i)->text()));
    if (!ReadINI::WriteTextFile(PathOf(path), NameListText(names)))
        Dialogs::ShowCritical(this, QStringLiteral("The file \"%1\" could not be written.").arg(path));
}

void Form1::ShowNameMenu(const QPoint& globalPosition) {
    // The box is disabled while the menu is open and its drawing suspended, so only the menu is seen; the
    // guard gives both back however the menu ends.
    struct Restore {
        QLineEdit* box;
        ~Restore() {
            box->setEnabled(true);
            box->setUpdatesEnabled(true);
        }
    } restore{ui->txtName};
    ui->txtName->setUpdatesEnabled(false);
    ui->txtName->setEnabled(false);
    Dialogs::RunMenu(mnuName, globalPosition);
}

void Form1::AppendToName(QChar symbol) { ui->txtName->setText(ui->txtName->text() + symbol); }
