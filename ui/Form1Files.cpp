// Species data files, the name list export and the name field's symbol menu.

#include <QFile>
#include <QMenu>

#include "ChoiceBox.h"
#include "Dialogs.h"
#include "Form1.h"
#include "ReadINI.h"
#include "TextCodec.h"
#include "text/NameList.h"
#include "text/SpeciesDataFile.h"
#include "ui_Form1.h"

namespace {

const QString kSpeciesFilter = QStringLiteral(
    "Pokemon Data File (*.pkmn)|*.pkmn|Text Files (*.txt)|*.txt|INI Files (*.ini)|*.ini|All Files (*.*)|*.*");

std::string PathOf(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The 20 fields of a species data file in file order: a text box taken as typed, or a list's position.
struct FileField {
    QLineEdit* box = nullptr;
    std::string SpeciesFileValues::*text = nullptr;
    QComboBox* list = nullptr;
    int SpeciesFileValues::*position = nullptr;
};

std::vector<FileField> SpeciesFileFields(Ui::Form1* ui) {
    using V = SpeciesFileValues;
    const auto text = [](QLineEdit* box, std::string V::*field) {
        return FileField{box, field, nullptr, nullptr};
    };
    const auto list = [](QComboBox* box, int V::*field) { return FileField{nullptr, nullptr, box, field}; };
    return {text(ui->txtName, &V::name),          text(ui->txtHP, &V::hp),
            text(ui->txtAttack, &V::attack),      text(ui->txtDefense, &V::defense),
            text(ui->txtSpeed, &V::speed),        text(ui->txtSAttack, &V::spAttack),
            text(ui->txtSDefense, &V::spDefense), text(ui->txtXP, &V::baseXp),
            text(ui->txtCatch, &V::catchRate),    list(ui->cmbType1, &V::type1),
            list(ui->cmbType2, &V::type2),        list(ui->cmbItem1, &V::item1),
            list(ui->cmbItem2, &V::item2),        list(ui->cmbAbility1, &V::ability1),
            list(ui->cmbAbility2, &V::ability2),  text(ui->txtSafari, &V::safari),
            list(ui->cmbEggType1, &V::eggType1),  list(ui->cmbEggType2, &V::eggType2),
            list(ui->cmbSteps, &V::steps),        list(ui->cmbGender, &V::gender)};
}

}  // namespace

void Form1::ExportSpeciesFile() {
    const QString path = Dialogs::AskFileName(this, Dialogs::FileMode::Save,
                                              QStringLiteral("Save Pokemon Data File..."), kSpeciesFilter);
    if (path.isEmpty()) return;

    SpeciesFileValues values;
    for (const FileField& field : SpeciesFileFields(ui)) {
        if (field.box)
            values.*field.text = TextCodec::FromDisplay(field.box->text());
        else
            values.*field.position = ChoiceBox::StoredValue(field.list);
    }
    if (!ReadINI::WriteTextFile(PathOf(path), FormatSpeciesLine(values))) {
        ReportUnwritten(path);
        return;
    }
    ShowStatus(QStringLiteral("Exported %1 to %2").arg(ui->txtName->text(), path));
}

void Form1::ImportSpeciesFile() {
    const QString path = Dialogs::AskFileName(this, Dialogs::FileMode::Open,
                                              QStringLiteral("Load Pokemon Data File..."), kSpeciesFilter);
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
        const QString error = QStringLiteral("\"%1\" is not a species data file: %2")
                                  .arg(path, TextCodec::ToDisplay(parsed.error));
        ShowStatus(QStringLiteral("Import refused: ") + error);
        Dialogs::ShowCritical(this, error + QStringLiteral("\nNothing was changed."));
        return;
    }

    // Texts go in as they are: the change checks correct some boxes at once, the leave checks wait for the
    // user.
    for (const FileField& field : SpeciesFileFields(ui)) {
        if (field.box)
            field.box->setText(TextCodec::ToDisplay((*parsed.values).*field.text));
        else
            ChoiceBox::SelectStored(field.list, (*parsed.values).*field.position);
    }
    MarkEdited();
    ShowStatus(QStringLiteral("Imported %1 from %2, not saved yet").arg(ui->txtName->text(), path));
}

void Form1::ExportNameList() {
    const QString path = Dialogs::AskFileName(
        this, Dialogs::FileMode::Save, QStringLiteral("Save Pokemon Name List..."),
        QStringLiteral("Text Files (*.txt)|*.txt|INI Files (*.ini)|*.ini|All Files (*.*)|*.*"));
    if (path.isEmpty()) return;

    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(ui->lstPokemon->count()));
    for (int i = 0; i < ui->lstPokemon->count(); ++i)
        names.push_back(TextCodec::FromDisplay(ui->lstPokemon->item(i)->text()));
    if (!ReadINI::WriteTextFile(PathOf(path), NameListText(names))) {
        ReportUnwritten(path);
        return;
    }
    ShowStatus(QStringLiteral("Exported %1 names to %2").arg(names.size()).arg(path));
}

void Form1::ReportUnwritten(const QString& path) {
    const QString error = QStringLiteral("The file \"%1\" could not be written.").arg(path);
    ShowStatus(QStringLiteral("Export failed: ") + error);
    Dialogs::ShowCritical(this, error);
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

void Form1::AppendToName(QChar symbol) {
    ui->txtName->setText(ui->txtName->text() + symbol);
    MarkEdited();
}
