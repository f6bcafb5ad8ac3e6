// The window of evolutions, TM/HM and tutor compatibility: it follows the selected species and takes its
// names from the main window's lists, so names read from the ROM reach it the same way.

#include "ChoiceBox.h"
#include "Form1.h"
#include "Form5.h"
#include "SpeciesTableValues.h"
#include "ui_Form1.h"

namespace {

QStringList ListedTexts(const QComboBox* box) {
    QStringList texts;
    const int count = ChoiceBox::ListedCount(box);
    texts.reserve(count);
    for (int n = 0; n < count; ++n) texts << box->itemText(n);
    return texts;
}

}  // namespace

Form5* Form1::MoreDataWindow() {
    if (!moreData_) {
        moreData_ = new Form5(this);
        connect(moreData_, &Form5::edited, this, &Form1::MarkEdited);
        RefreshMoreDataNames();
        FollowInMoreData();
    }
    return moreData_;
}

void Form1::RefreshMoreDataNames() {
    if (!moreData_) return;
    Form5::Names names;
    for (int row = 0; row < ui->lstPokemon->count(); ++row)
        names.species << ui->lstPokemon->item(row)->text();
    names.moves = ListedTexts(ui->cmbANames);
    names.items = ListedTexts(ui->cmbItem1);
    moreData_->SetNames(names);
}

void Form1::FollowInMoreData() {
    if (!moreData_) return;
    const int index = ui->lstPokemon->currentRow();
    if (session_ && index >= 0)
        moreData_->ShowSpecies(*session_, index, ui->lstPokemon->item(index)->text());
    else
        moreData_->ShowNoRom();
}

std::optional<std::vector<PlannedByte>> Form1::PlanMoreData(int index, QString* problem) const {
    // A window never opened shows nothing, so a save leaves its tables as they are.
    if (!moreData_ || !session_) return std::vector<PlannedByte>{};
    const std::optional<SpeciesTableValues> values = moreData_->ValuesToSave(index, problem);
    if (!values) return std::nullopt;
    return PlanSpeciesTableWrites(*session_, index, *values);
}
