// The Pokédex tab of Form5: the species' national number, and the category, height, weight and description of
// its entry. Texts are shown with the games' text characters; a code without one shows as {XX}.

#include <QRegularExpressionValidator>

#include "Form5.h"
#include "TextCodec.h"
#include "species/DescriptionGuide.h"
#include "ui_Form5.h"

namespace {

// The box's text as Windows-1252 bytes; nothing, with *problem set, when a character has no such byte (it
// would be saved as "?" otherwise).
std::optional<std::string> BytesOf(const QString& text, const QString& what, QString* problem) {
    const std::string bytes = TextCodec::FromDisplay(text);
    const QString back = TextCodec::ToDisplay(bytes);
    for (qsizetype k = 0; k < text.size(); ++k) {
        if (k >= back.size() || back[k] != text[k]) {
            *problem = QStringLiteral("The %1 holds \"%2\", a character the game's text does not have.")
                           .arg(what, text.mid(k, 1));
            return std::nullopt;
        }
    }
    return bytes;
}

std::optional<int> NumberIn(const QLineEdit* box, const QString& what, QString* problem) {
    bool isNumber = false;
    const int value = box->text().toInt(&isNumber);
    if (isNumber && value >= 0 && value <= DexLimits::kLargestNumber) return value;
    *problem = QStringLiteral("The %1 must be a whole number from 0 to %2 (it reads \"%3\").")
                   .arg(what)
                   .arg(DexLimits::kLargestNumber)
                   .arg(box->text());
    return std::nullopt;
}

}  // namespace

void Form5::ConnectPokedex() {
    for (QLineEdit* box : {ui->txtHeight, ui->txtWeight}) {
        box->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), box));
        connect(box, &QLineEdit::textChanged, this, [this] {
            ShowNumberMeanings();
            ReportEdit();
        });
    }
    connect(ui->txtCategory, &QLineEdit::textChanged, this, &Form5::ReportEdit);
    for (QPlainTextEdit* box : {ui->txtDescription, ui->txtDescription2}) {
        connect(box, &QPlainTextEdit::textChanged, this, [this] {
            ShowDescriptionGuide();
            ReportEdit();
        });
    }
}

void Form5::ShowPokedex(const std::optional<DexEntryValues>& dex, const SpeciesTableNotes& notes,
                        bool twoPages) {
    filling_ = true;
    QStringList status;
    if (!dex) status << TextCodec::ToDisplay(notes.dex);
    if (dex && !dex->description)
        status << QStringLiteral("The description cannot be shown: ") +
                      TextCodec::ToDisplay(notes.description);
    if (dex && twoPages && !dex->page2)
        status << QStringLiteral("The second page cannot be shown: ") + TextCodec::ToDisplay(notes.page2);
    ShowStatus(ui->lblDexStatus, status.join(QLatin1Char('\n')));
    ui->txtNational->setText(notes.national > 0 ? QString::number(notes.national) : QString());
    ui->txtCategory->setText(dex ? TextCodec::ToDisplay(dex->category) : QString());
    ui->txtHeight->setText(dex ? QString::number(dex->height) : QString());
    ui->txtWeight->setText(dex ? QString::number(dex->weight) : QString());
    const std::pair<QPlainTextEdit*, const std::optional<std::string>*> pages[] = {
        {ui->txtDescription, dex ? &dex->description : nullptr},
        {ui->txtDescription2, dex ? &dex->page2 : nullptr}};
    for (const auto& [box, text] : pages) {
        const bool shown = text && *text;
        box->setPlainText(shown ? TextCodec::ToDisplay(**text) : QString());
        box->setEnabled(shown);
    }
    for (QWidget* page2 :
         {static_cast<QWidget*>(ui->lblDescription2), static_cast<QWidget*>(ui->txtDescription2)})
        page2->setVisible(twoPages);
    ui->txtNational->setEnabled(notes.national > 0);
    for (QWidget* control : {ui->txtCategory, ui->txtHeight, ui->txtWeight})
        control->setEnabled(dex.has_value());
    filling_ = false;
    ShowNumberMeanings();
    ShowDescriptionGuide();
}

void Form5::ShowNumberMeanings() {
    const auto meaning = [](const QLineEdit* box, const char* unit) {
        bool isNumber = false;
        const int value = box->text().toInt(&isNumber);
        return isNumber ? QStringLiteral("= %1 %2").arg(value / 10.0, 0, 'f', 1).arg(QLatin1String(unit))
                        : QString();
    };
    ui->lblHeightMeaning->setText(meaning(ui->txtHeight, "m (in decimetres)"));
    ui->lblWeightMeaning->setText(meaning(ui->txtWeight, "kg (in hectograms)"));
}

void Form5::ShowDescriptionGuide() {
    if (!ui->txtDescription->isEnabled()) {
        ui->lblDescriptionGuide->clear();
        return;
    }
    const DescriptionShape shape = DescriptionShapeOf(gameCode_);
    QString guide = QStringLiteral("The game shows %1 lines of about %2 characters.")
                        .arg(shape.lines)
                        .arg(shape.longestLine);
    const bool twoPages = !ui->txtDescription2->isHidden();
    for (QPlainTextEdit* box : {ui->txtDescription, ui->txtDescription2}) {
        if (!box->isEnabled() || box->isHidden()) continue;
        const std::string warning = DescriptionWarning(gameCode_, textLanguage_, TextCodec::FromDisplay(box->toPlainText()));
        if (warning.empty()) continue;
        const QString page =
            box == ui->txtDescription ? QStringLiteral("Page 1: ") : QStringLiteral("Page 2: ");
        guide += QLatin1Char('\n') + (twoPages ? page : QString()) + QString::fromStdString(warning);
    }
    ui->lblDescriptionGuide->setText(guide);
}

std::optional<DexEntryValues> Form5::PokedexToSave(QString* problem) const {
    DexEntryValues values;
    const std::optional<std::string> category =
        BytesOf(ui->txtCategory->text(), QStringLiteral("category"), problem);
    const std::optional<int> height =
        category ? NumberIn(ui->txtHeight, QStringLiteral("height"), problem) : std::nullopt;
    const std::optional<int> weight =
        height ? NumberIn(ui->txtWeight, QStringLiteral("weight"), problem) : std::nullopt;
    if (!weight) return std::nullopt;
    values.category = *category;
    values.height = *height;
    values.weight = *weight;
    const std::pair<QPlainTextEdit*, std::optional<std::string>*> pages[] = {
        {ui->txtDescription, &values.description}, {ui->txtDescription2, &values.page2}};
    const std::optional<std::string>* shown[] = {&shown_.dex->description, &shown_.dex->page2};
    for (size_t page = 0; page < 2; ++page) {
        if (!*shown[page]) continue;
        *pages[page].second =
            BytesOf(pages[page].first->toPlainText(),
                    page == 0 ? QStringLiteral("description") : QStringLiteral("second page"), problem);
        if (!*pages[page].second) return std::nullopt;
    }
    return values;
}

QString Form5::DescriptionWarnings(int index) const {
    std::optional<SpeciesTableValues> values;
    QString ignored;
    if (index != shownIndex_ || !shown_.dex || !(values = ValuesToSave(index, &ignored)) || !values->dex)
        return {};
    QStringList warnings;
    const std::pair<const std::optional<std::string>&, const std::optional<std::string>&> pages[] = {
        {values->dex->description, shown_.dex->description}, {values->dex->page2, shown_.dex->page2}};
    for (size_t page = 0; page < 2; ++page) {
        const auto& [text, old] = pages[page];
        if (!text || text == old) continue;
        const std::string warning = DescriptionWarning(gameCode_, textLanguage_, *text);
        if (!warning.empty())
            warnings << (page == 0 ? QStringLiteral("The description: ")
                                   : QStringLiteral("The second page: ")) +
                            QString::fromStdString(warning);
    }
    return warnings.join(QLatin1Char('\n'));
}
