// The Battle tab of Form5: the y offsets of the species' sprites, its elevation, Emerald's front animation
// number and its footprint, with the battle screen they make drawn beside them as the numbers change.

#include <QFileInfo>
#include <QImage>
#include <functional>

#include "Dialogs.h"
#include "FieldLimitBinder.h"
#include "Form5.h"
#include "PixelView.h"
#include "PngFile.h"
#include "TextCodec.h"
#include "pictures/BattleScene.h"
#include "ui_Form5.h"

namespace {

constexpr uint32_t kPrint = 0xFF000000, kGround = 0xFFFFFFFF;
constexpr int kFootprintZoom = 4;

QImage FootprintImage(const Footprint::Bytes& bytes) {
    const Footprint::Pixels pixels = Footprint::Decode(bytes);
    QImage image(Footprint::kSide, Footprint::kSide, QImage::Format_ARGB32);
    for (int y = 0; y < Footprint::kSide; ++y) {
        for (int x = 0; x < Footprint::kSide; ++x)
            image.setPixel(x, y,
                           pixels[static_cast<std::size_t>(y * Footprint::kSide + x)] ? kPrint : kGround);
    }
    return image;
}

// The box's number, held to one byte as the change check holds it while typing.
int ByteIn(const QLineEdit* box) {
    return std::clamp(box->text().toInt(), 0, BattleLimits::kLargestNumber);
}

}  // namespace

void Form5::ConnectBattle() {
    for (QLineEdit* box : {ui->txtFrontY, ui->txtBackY, ui->txtElevation, ui->txtFrontAnim}) {
        FieldLimitBinder::LimitTypedLength(box, 3);
        limits_->AddChangeCheck(box, BattleLimits::kLargestNumber);
        connect(box, &QLineEdit::textChanged, this, [this] {
            RedrawBattle();
            ReportEdit();
        });
    }
    ui->lblFootprintNote->setTextFormat(Qt::PlainText);
    ui->picFootprint->setFixedSize(Footprint::kSide * kFootprintZoom + 2,
                                   Footprint::kSide * kFootprintZoom + 2);
    connect(ui->cmdReplaceFootprint, &QPushButton::clicked, this, &Form5::ReplaceFootprint);
    connect(ui->cmdSaveFootprint, &QPushButton::clicked, this, &Form5::SaveFootprint);
}

void Form5::ShowBattle(const std::optional<BattleValues>& battle, const QString& unavailable,
                       bool frontAnimKept) {
    filling_ = true;
    ShowStatus(ui->lblBattleStatus, battle ? QString() : unavailable);
    const struct {
        QLineEdit* box;
        std::optional<int> value;
    } boxes[] = {{ui->txtFrontY, battle ? std::optional(battle->frontY) : std::nullopt},
                 {ui->txtBackY, battle ? std::optional(battle->backY) : std::nullopt},
                 {ui->txtElevation, battle ? std::optional(battle->elevation) : std::nullopt},
                 {ui->txtFrontAnim, battle ? battle->frontAnim : std::nullopt}};
    for (const auto& [box, value] : boxes) {
        box->setText(value ? QString::number(*value) : QString());
        box->setEnabled(value.has_value());
    }
    // Only Emerald keeps a front animation number; its species 0 has none.
    ui->lblFrontAnim->setVisible(frontAnimKept);
    ui->txtFrontAnim->setVisible(frontAnimKept);
    footprint_ = battle ? battle->footprint : std::nullopt;
    ui->cmdReplaceFootprint->setEnabled(battle.has_value());
    ui->lblFootprintNote->setText(battle && !battle->footprint
                                      ? QStringLiteral("The footprint pointer leads outside the file; a "
                                                       "replaced footprint gives the species one.")
                                      : QString());
    ShowFootprint();
    RedrawBattle();
    filling_ = false;
}

void Form5::ShowBattleSprites(const QImage& front, const QImage& back) {
    battleFront_ = PixelView::ToPicture(front);
    battleBack_ = PixelView::ToPicture(back);
    RedrawBattle();
}

void Form5::ShowFootprint() {
    ui->cmdSaveFootprint->setEnabled(footprint_.has_value());
    ui->picFootprint->setPixmap(
        footprint_ ? QPixmap::fromImage(PixelView::Zoomed(FootprintImage(*footprint_), kFootprintZoom))
                   : QPixmap());
}

void Form5::RedrawBattle() {
    if (!shown_.battle) {
        ui->picBattle->Clear();
        return;
    }
    const BattleScreen::Placement placement = BattleScreen::PlaceSingleBattle(
        ByteIn(ui->txtBackY), ByteIn(ui->txtFrontY), ByteIn(ui->txtElevation));
    ui->picBattle->Show(BattleScene::DrawSingleBattle(placement, battleFront_, battleBack_));
}

void Form5::ReplaceFootprint() {
    if (!shown_.battle) return;
    const QString path =
        Dialogs::AskFileName(this, Dialogs::FileMode::Open, QStringLiteral("Replace Footprint..."),
                             QStringLiteral("PNG Images (*.png)|*.png"));
    if (path.isEmpty()) return;
    const QString file = QFileInfo(path).fileName();
    const PngFile::Read read = PngFile::FromFile(path, &Footprint::SizeProblem);
    const Footprint::FromPixelsResult made =
        read.error.empty() ? Footprint::FromPixels(read.image) : Footprint::FromPixelsResult{};
    const std::string error = read.error.empty() ? made.error : read.error;
    if (!error.empty()) {
        Dialogs::ShowCritical(this, QStringLiteral("\"%1\" cannot replace the footprint of %2.\n%3\nNothing "
                                                   "was changed.")
                                        .arg(file, shownName_, TextCodec::ToDisplay(error)));
        return;
    }
    footprint_ = made.bytes;
    ui->lblFootprintNote->setText(QStringLiteral("Replaced with %1: saved with the species").arg(file));
    ShowFootprint();
    ReportEdit();
}

void Form5::SaveFootprint() {
    if (!footprint_) return;
    const QString path =
        Dialogs::AskFileName(this, Dialogs::FileMode::Save, QStringLiteral("Save Footprint as PNG..."),
                             QStringLiteral("PNG Images (*.png)|*.png"));
    if (path.isEmpty()) return;
    if (!FootprintImage(*footprint_).save(path, "PNG"))
        Dialogs::ShowCritical(this, QStringLiteral("The footprint could not be saved as \"%1\".").arg(path));
}

std::optional<BattleValues> Form5::BattleToSave(QString* problem) const {
    BattleValues values = *shown_.battle;
    const struct {
        QLineEdit* box;
        const char* what;  // for a refusal: "The <what> must be ..."
        std::function<void(int)> put;
    } boxes[] = {{ui->txtFrontY, "front sprite's y offset", [&values](int n) { values.frontY = n; }},
                 {ui->txtBackY, "back sprite's y offset", [&values](int n) { values.backY = n; }},
                 {ui->txtElevation, "elevation", [&values](int n) { values.elevation = n; }},
                 {ui->txtFrontAnim, "front animation number", [&values](int n) { values.frontAnim = n; }}};
    for (const auto& [box, what, put] : boxes) {
        // A number the species does not have (Emerald's species 0 has no animation) keeps its box off.
        if (!box->isEnabled()) continue;
        bool isNumber = false;
        const int value = box->text().toInt(&isNumber);
        if (!isNumber || value < 0 || value > BattleLimits::kLargestNumber) {
            *problem = QStringLiteral("The %1 must be a whole number from 0 to %2 (it reads \"%3\").")
                           .arg(QLatin1String(what))
                           .arg(BattleLimits::kLargestNumber)
                           .arg(box->text());
            return std::nullopt;
        }
        put(value);
    }
    values.footprint = footprint_;
    return values;
}
