// The safety net around the user's work: edits not yet saved are asked about before they would be lost,
// every write goes through the ROM's writer (journal, backup, history), and completed writes can be undone.

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>

#include "Dialogs.h"
#include "Form1.h"
#include "Form3.h"
#include "TextCodec.h"
#include "species/EggMoveLocator.h"
#include "ui_Form1.h"
#include "write/RomJournal.h"
#include "write/RomWriter.h"

void Form1::TrackEdits() {
    // Only what the user does counts: textEdited and activated are not raised when the program sets a value
    // (showing a species, or a field limit correcting a box).
    for (QLineEdit* box :
         {ui->txtName,    ui->txtHP,       ui->txtAttack,     ui->txtDefense, ui->txtSpeed,
          ui->txtSAttack, ui->txtSDefense, ui->txtXP,         ui->txtCatch,   ui->txtSafari,
          ui->txtEVHP,    ui->txtEVA,      ui->txtEVD,        ui->txtEVS,     ui->txtEVSA,
          ui->txtEVSD,    ui->txtSprite,   ui->txtBackSprite, ui->txtPalette, ui->txtShinyPalette,
          ui->txtIcon,    ui->txtATable})
        connect(box, &QLineEdit::textEdited, this, &Form1::MarkEdited);
    for (QComboBox* box :
         {ui->cmbType1, ui->cmbType2, ui->cmbItem1, ui->cmbItem2, ui->cmbGender, ui->cmbSteps,
          ui->cmbEggType1, ui->cmbEggType2, ui->cmbAbility1, ui->cmbAbility2, ui->cmbPalette})
        connect(box, &QComboBox::activated, this, &Form1::MarkEdited);
}

void Form1::MarkEdited() {
    if (shownIndex_ >= 0) setWindowModified(true);
}

bool Form1::ResolveUnsavedEdits() {
    if (!isWindowModified() || !session_ || shownIndex_ < 0) return true;
    const QString name = ui->lstPokemon->item(shownIndex_)->text();
    const Dialogs::Answer answer =
        Dialogs::Ask(this, QStringLiteral("Save the changes to %1?").arg(name),
                     {Dialogs::Answer::Save, Dialogs::Answer::Discard, Dialogs::Answer::Cancel},
                     Dialogs::Answer::Save, Dialogs::Answer::Cancel);
    if (answer == Dialogs::Answer::Cancel) return false;
    if (answer == Dialogs::Answer::Save) return SaveSpecies();
    setWindowModified(false);
    return true;
}

void Form1::SpeciesSelected(int row) {
    if (row == shownIndex_ || row < 0) return;
    if (!ResolveUnsavedEdits()) {
        SelectSilently(shownIndex_);
        return;
    }
    SelectSilently(row);
    ShowSpecies();
}

bool Form1::SettleInterruptedWrite(const std::string& romPath) {
    const RomJournal::Inspection found = RomJournal::Inspect(romPath);
    const QString journal = QString::fromStdString(RomJournal::PathFor(romPath));
    const QString rom = QFileInfo(QString::fromStdString(romPath)).fileName();
    if (found.state == RomJournal::State::None) return true;
    if (found.state == RomJournal::State::DoesNotFit) {
        Dialogs::ShowCritical(this,
                              QStringLiteral("The journal \"%1\" of an interrupted write lies beside %2, but "
                                             "it does not fit the ROM: %3. It was left where it is, and "
                                             "the ROM opens as it is.")
                                  .arg(journal, rom, TextCodec::ToDisplay(found.problem)));
        return true;
    }
    const Dialogs::Answer answer = Dialogs::Ask(
        this,
        QStringLiteral(
            "An earlier write to %1 was interrupted before it was complete (%2 bytes).\n\n"
            "Restore puts back the bytes the file held before that write. Keep leaves the file as it "
            "is now.")
            .arg(rom)
            .arg(found.journal.entries.size()),
        {Dialogs::Answer::Restore, Dialogs::Answer::Keep, Dialogs::Answer::Cancel}, Dialogs::Answer::Restore,
        Dialogs::Answer::Cancel);
    if (answer == Dialogs::Answer::Cancel) return false;
    const std::string problem = answer == Dialogs::Answer::Restore
                                    ? RomJournal::Restore(romPath, found.journal)
                                    : RomJournal::Discard(romPath);
    if (!problem.empty()) {
        Dialogs::ShowCritical(this, TextCodec::ToDisplay(problem));
        return false;
    }
    return true;
}

bool Form1::ApplyWrite(const WritePlan& plan, QWidget* parent) {
    if (!writer_) return false;
    writer_->SetBackupsEnabled(SettingsWindow()->BackUpBeforeSave());
    const WriteOutcome outcome = writer_->Apply(plan);
    UpdateHistoryActions();
    if (!outcome.complete) {
        const QString error = TextCodec::ToDisplay(outcome.error);
        ShowStatus(QStringLiteral("Write failed: ") + error);
        Dialogs::ShowCritical(parent, error);
        return false;
    }
    if (!outcome.warning.empty()) Dialogs::ShowCritical(parent, TextCodec::ToDisplay(outcome.warning));
    return true;
}

void Form1::CreateHistoryActions() {
    undoAction_ = new QAction(QStringLiteral("Undo"), this);
    undoAction_->setObjectName(QStringLiteral("mnuUndo"));
    undoAction_->setShortcut(QKeySequence::Undo);
    connect(undoAction_, &QAction::triggered, this, [this] { WriteBackStep(true); });
    redoAction_ = new QAction(QStringLiteral("Redo"), this);
    redoAction_->setObjectName(QStringLiteral("mnuRedo"));
    redoAction_->setShortcut(QKeySequence::Redo);
    connect(redoAction_, &QAction::triggered, this, [this] { WriteBackStep(false); });
    addAction(undoAction_);
    addAction(redoAction_);
    UpdateHistoryActions();
}

void Form1::UpdateHistoryActions() {
    const HistoryStep* undo = writer_ ? writer_->History().NextUndo() : nullptr;
    const HistoryStep* redo = writer_ ? writer_->History().NextRedo() : nullptr;
    undoAction_->setEnabled(undo != nullptr);
    undoAction_->setText(undo ? QStringLiteral("Undo ") + TextCodec::ToDisplay(undo->label)
                              : QStringLiteral("Undo"));
    redoAction_->setEnabled(redo != nullptr);
    redoAction_->setText(redo ? QStringLiteral("Redo ") + TextCodec::ToDisplay(redo->label)
                              : QStringLiteral("Redo"));
}

void Form1::WriteBackStep(bool undo) {
    if (!writer_) return;
    if (isWindowModified()) {
        const size_t steps = writer_->History().UndoCount();
        if (!ResolveUnsavedEdits()) return;
        // A Save made a new newest step: undoing it at once would take back what the user chose to keep.
        if (writer_->History().UndoCount() != steps) return;
    }
    const HistoryStep* step = undo ? writer_->History().NextUndo() : writer_->History().NextRedo();
    if (!step) return;
    const int species = step->species;
    const QString done =
        (undo ? QStringLiteral("Undone: ") : QStringLiteral("Redone: ")) + TextCodec::ToDisplay(step->label);
    writer_->SetBackupsEnabled(SettingsWindow()->BackUpBeforeSave());
    const WriteOutcome outcome = undo ? writer_->Undo() : writer_->Redo();
    UpdateHistoryActions();
    if (!outcome.complete) {
        const QString error = TextCodec::ToDisplay(outcome.error);
        ShowStatus((undo ? QStringLiteral("Undo failed: ") : QStringLiteral("Redo failed: ")) + error);
        Dialogs::ShowCritical(this, error);
        return;
    }
    // An undone or redone move of the egg move table takes it back to where it was.
    if (session_) FollowEggMoveTable(session_->Tables.eggMoves, session_->RomPath);
    // The window shows what the file now holds, at the species of the step.
    LoadNameList();
    SelectSilently(species >= 0 && species < ui->lstPokemon->count() ? species : std::max(shownIndex_, 0));
    ShowSpecies();
    ShowStatus(done);
}
