// The window of evolutions, TM/HM and tutor compatibility, egg moves, the Pokédex and the battle: it follows
// the selected species and takes its names from the main window's lists and its sprites from the main
// window's preview, so names read from the ROM and imported pictures reach it the same way.

#include "ChoiceBox.h"
#include "Dialogs.h"
#include "Form1.h"
#include "Form5.h"
#include "SpritePreview.h"
#include "TextCodec.h"
#include "species/MoreDataSave.h"
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
        ShowSpritesInMoreData();
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

void Form1::ShowSpritesInMoreData() {
    if (!moreData_ || !session_) return;
    moreData_->ShowBattleSprites(ui->preview->Image(SpritePreview::View::Front),
                                 ui->preview->Image(SpritePreview::View::Back));
}

std::optional<MoreDataPlan> Form1::PlanMoreData(int index, FreeSpaceMap& space, QString* problem) {
    // A window never opened shows nothing, so a save leaves its tables as they are.
    MoreDataPlan nothing;
    nothing.ok = true;
    if (!moreData_ || !session_) return nothing;
    const std::optional<SpeciesTableValues> values = moreData_->ValuesToSave(index, problem);
    if (!values) return std::nullopt;
    // The lengths are a guide (the game's font is proportional), so the user decides; the text is never cut.
    if (const QString warnings = moreData_->DescriptionWarnings(index); !warnings.isEmpty()) {
        const Dialogs::Answer answer = Dialogs::Ask(
            this,
            QStringLiteral(
                "The game may not show the whole description:\n%1\n\nThe game's font is proportional, "
                "so this is a guide, not a rule. Save the description as it is?")
                .arg(warnings),
            {Dialogs::Answer::Save, Dialogs::Answer::Cancel}, Dialogs::Answer::Save, Dialogs::Answer::Cancel);
        if (answer != Dialogs::Answer::Save) {
            problem->clear();
            return std::nullopt;
        }
    }
    MoreDataPlan plan = PlanMoreDataSave(*session_, index, *values, space);
    if (!plan.ok) {
        *problem = TextCodec::ToDisplay(plan.error);
        return std::nullopt;
    }
    return plan;
}
