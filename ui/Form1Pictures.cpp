// Pictures replaced from PNG files: read, checked and held as edits of the shown species until it is saved.

#include <QFileInfo>
#include <QLineEdit>

#include "ChoiceBox.h"
#include "Dialogs.h"
#include "Form1.h"
#include "PngFile.h"
#include "SpritePreview.h"
#include "TextCodec.h"
#include "rom/RomPointer.h"
#include "ui_Form1.h"

namespace {

QString Capitalised(const char* text) {
    QString name = QString::fromLatin1(text);
    name[0] = name[0].toUpper();
    return name;
}

}  // namespace

void Form1::ReplacePicture(PictureImport::Kind kind) {
    if (!session_ || shownIndex_ < 0) return;
    const QString what = QString::fromLatin1(PictureImport::KindName(kind));
    const QString path =
        Dialogs::AskFileName(this, Dialogs::FileMode::Open,
                             QStringLiteral("Replace %1...").arg(Capitalised(PictureImport::KindName(kind))),
                             QStringLiteral("PNG Images (*.png)|*.png"));
    if (path.isEmpty()) return;

    const QString name = ui->lstPokemon->item(shownIndex_)->text();
    const QString file = QFileInfo(path).fileName();
    const bool twoFrames = session_->AnimatedImageOffset.has_value();
    const PngFile::Read read = PngFile::FromFile(path, [kind, twoFrames](int64_t width, int64_t height) {
        return PictureImport::SizeProblem(kind, twoFrames, width, height);
    });
    // Built on a copy, so that a refusal leaves the species' earlier replacements as they were.
    PictureReplacements replaced = replaced_;
    ReplaceOutcome outcome;
    if (read.error.empty()) {
        const auto offset = [](const QLineEdit* box) {
            return RomPointer::ParseTarget(box->text().toStdString());
        };
        const ShownPictures shown{offset(ui->txtSprite), offset(ui->txtPalette), offset(ui->txtShinyPalette)};
        outcome = ::ReplacePicture(kind, read.image, *session_, shownIndex_, shown, replaced);
    }
    const std::string error = read.error.empty() ? outcome.error : read.error;
    if (!error.empty()) {
        const QString reason = TextCodec::ToDisplay(error);
        ShowStatus(QStringLiteral("Replace refused: ") + reason);
        Dialogs::ShowCritical(this,
                              QStringLiteral("\"%1\" cannot replace the %2 of %3.\n%4\nNothing was changed.")
                                  .arg(file, what, name, reason));
        return;
    }

    replaced_ = std::move(replaced);
    if (outcome.iconPalette) ChoiceBox::SelectStored(ui->cmbPalette, *outcome.iconPalette);
    ShowReplacements();
    UpdatePreview();
    MarkEdited();
    QString detail;
    if (outcome.colours > 0) detail = QStringLiteral(" (%1 colours)").arg(outcome.colours);
    if (outcome.iconPalette) detail = QStringLiteral(" (in Pal %1)").arg(*outcome.iconPalette + 1);
    if (outcome.rounded) detail += QStringLiteral("; colours were rounded to the game's 15-bit colours");
    ShowStatus(QStringLiteral("Replaced the %1 of %2 with %3%4: saved with the species")
                   .arg(what, name, file, detail));
}

void Form1::ShowReplacements() {
    // A replaced picture gets a new place when it is saved, so its pointer box has nothing to edit until
    // then.
    const struct {
        QLineEdit* box;
        bool replaced;
    } boxes[] = {{ui->txtSprite, replaced_.front.has_value()},
                 {ui->txtPalette, replaced_.palette.has_value()},
                 {ui->txtBackSprite, replaced_.back.has_value()},
                 {ui->txtShinyPalette, replaced_.shinyPalette.has_value()},
                 {ui->txtIcon, replaced_.icon.has_value()}};
    for (const auto& [box, replaced] : boxes) {
        box->setReadOnly(replaced);
        box->setToolTip(replaced ? QStringLiteral("Replaced: the new data goes into free space when you save")
                                 : QString());
    }
}
