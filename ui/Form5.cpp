#include "Form5.h"

#include <QRegularExpressionValidator>

#include "ChoiceBox.h"
#include "FieldLimitBinder.h"
#include "TextCodec.h"
#include "ui_Form5.h"

namespace {

constexpr int kLargestParameter = 0xFFFF;

QString NameIn(const QStringList& names, int number) {
    return number >= 0 && number < names.size() ? names[number] : ChoiceBox::UnlistedText(number);
}

}  // namespace

void Form5::ShowStatus(QLabel* status, const QString& text) {
    status->setText(text);
    status->setVisible(!text.isEmpty());
}

Form5::Form5(QWidget* parent) : QDialog(parent), ui(new Ui::Form5), limits_(new FieldLimitBinder(this)) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    rows_ = {{ui->cmbEvoMethod1, ui->txtEvoParam1, ui->lblEvoParam1, ui->cmbEvoTarget1},
             {ui->cmbEvoMethod2, ui->txtEvoParam2, ui->lblEvoParam2, ui->cmbEvoTarget2},
             {ui->cmbEvoMethod3, ui->txtEvoParam3, ui->lblEvoParam3, ui->cmbEvoTarget3},
             {ui->cmbEvoMethod4, ui->txtEvoParam4, ui->lblEvoParam4, ui->cmbEvoTarget4},
             {ui->cmbEvoMethod5, ui->txtEvoParam5, ui->lblEvoParam5, ui->cmbEvoTarget5}};
    const QStringList methods = ChoiceBox::Texts(EvolutionMethodNames());
    for (const EvolutionRow& row : rows_) {
        ChoiceBox::Fill(row.method, methods);
        // Digits only; a number beyond 16 bits is refused when the species is saved.
        row.parameter->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), row.parameter));
        connect(row.method, &QComboBox::currentIndexChanged, this, [this, row] {
            ShowParameterMeaning(row);
            ReportEdit();
        });
        connect(row.parameter, &QLineEdit::textChanged, this, [this, row] {
            ShowParameterMeaning(row);
            ReportEdit();
        });
        connect(row.target, &QComboBox::currentIndexChanged, this, &Form5::ReportEdit);
    }
    for (QListWidget* list : {ui->lstTMHM, ui->lstTutor})
        connect(list, &QListWidget::itemChanged, this, &Form5::ReportEdit);
    ConnectEggMoves();
    ConnectPokedex();
    ConnectBattle();
    connect(ui->cmdClose, &QPushButton::clicked, this, &QDialog::hide);
    ShowNoRom();
}

Form5::~Form5() {
    delete ui;
}

void Form5::ReportEdit() {
    if (!filling_) emit edited();
}

void Form5::SetNames(const Names& names) {
    filling_ = true;
    names_ = names;
    for (const EvolutionRow& row : rows_) {
        const int target = ChoiceBox::StoredValue(row.target);
        ChoiceBox::Fill(row.target, names.species);
        ChoiceBox::SelectStored(row.target, target);
        ShowParameterMeaning(row);
    }
    FillEggMoveChoices();
    filling_ = false;
}

void Form5::ShowSpecies(const EditorSession& session, int index, const QString& speciesName) {
    SpeciesTableNotes notes;
    shown_ = ReadSpeciesTableValues(session, index, &notes);
    shownIndex_ = index;
    shownName_ = speciesName;
    gameCode_ = session.GameCode;
    textLanguage_ = session.TextLanguage;
    setWindowTitle(QStringLiteral("More Data - %1").arg(speciesName));
    const SpeciesTables& tables = session.Tables;
    ShowEvolutions(shown_.evolutions, TextCodec::ToDisplay(tables.evolutions.unavailable));
    ShowCompatibility(ui->lstTMHM, ui->lblTMHMStatus, shown_.tmhm,
                      TextCodec::ToDisplay(tables.tmhm.unavailable), true);
    ShowCompatibility(ui->lstTutor, ui->lblTutorStatus, shown_.tutors,
                      TextCodec::ToDisplay(tables.tutors.unavailable), false);
    ShowStatus(ui->lblTutorNote, shown_.tutors ? TextCodec::ToDisplay(tables.tutorsNote) : QString());
    ShowEggMoves(shown_.eggMoves, TextCodec::ToDisplay(notes.eggMoves));
    ShowPokedex(shown_.dex, notes, tables.dex.where && tables.dex.where->twoPages);
    ShowBattle(shown_.battle, TextCodec::ToDisplay(notes.battle),
               tables.battle.where && tables.battle.where->frontAnimIds);
}

void Form5::ShowNoRom() {
    shown_ = {};
    shownIndex_ = -1;
    setWindowTitle(QStringLiteral("More Data"));
    const QString why = QStringLiteral("No ROM is open.");
    ShowEvolutions(std::nullopt, why);
    ShowCompatibility(ui->lstTMHM, ui->lblTMHMStatus, std::nullopt, why, true);
    ShowCompatibility(ui->lstTutor, ui->lblTutorStatus, std::nullopt, why, false);
    ShowStatus(ui->lblTutorNote, QString());
    ShowEggMoves(std::nullopt, why);
    SpeciesTableNotes notes;
    notes.dex = why.toStdString();
    ShowPokedex(std::nullopt, notes, false);
    ShowBattleSprites(QImage(), QImage());
    ShowBattle(std::nullopt, why, false);
}

void Form5::ShowEvolutions(const std::optional<Evolutions>& evolutions, const QString& unavailable) {
    filling_ = true;
    ShowStatus(ui->lblEvoStatus, evolutions ? QString() : unavailable);
    for (size_t k = 0; k < rows_.size(); ++k) {
        const EvolutionRow& row = rows_[k];
        const EvolutionEntry entry = evolutions ? (*evolutions)[k] : EvolutionEntry{};
        ChoiceBox::SelectStored(row.method, evolutions ? entry.method : -1);
        row.parameter->setText(evolutions ? QString::number(entry.parameter) : QString());
        ChoiceBox::SelectStored(row.target, evolutions ? entry.target : -1);
        ShowParameterMeaning(row);
        for (QWidget* control : {static_cast<QWidget*>(row.method), static_cast<QWidget*>(row.parameter),
                                 static_cast<QWidget*>(row.target)})
            control->setEnabled(evolutions.has_value());
    }
    filling_ = false;
}

void Form5::ShowCompatibility(QListWidget* list, QLabel* status, const std::optional<Compatibility>& read,
                              const QString& unavailable, bool tmhm) {
    filling_ = true;
    ShowStatus(status, read ? QString() : unavailable);
    list->setEnabled(read.has_value());
    const int count = read ? static_cast<int>(read->moves.size()) : 0;
    // The rows are kept from one species to the next; only a changed move list changes their texts.
    while (list->count() > count) delete list->takeItem(list->count() - 1);
    while (list->count() < count) {
        auto* item = new QListWidgetItem(list);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    for (int n = 0; n < count; ++n) {
        QListWidgetItem* item = list->item(n);
        const QString move = NameIn(names_.moves, read->moves[static_cast<size_t>(n)]);
        const QString text = tmhm ? QString::fromStdString(TmHmName(n)) + QLatin1Char(' ') + move : move;
        if (item->text() != text) item->setText(text);
        item->setCheckState(read->mask >> n & 1 ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
}

void Form5::ShowParameterMeaning(const EvolutionRow& row) {
    QString meaning;
    bool isNumber = false;
    const int parameter = row.parameter->text().toInt(&isNumber);
    switch (ParameterOf(ChoiceBox::StoredValue(row.method))) {
        case EvolutionParameter::Level:
            meaning = QStringLiteral("level");
            break;
        case EvolutionParameter::Item:
            if (isNumber) meaning = NameIn(names_.items, parameter);
            break;
        case EvolutionParameter::Beauty:
            meaning = QStringLiteral("beauty");
            break;
        case EvolutionParameter::Unused:
            if (isNumber && parameter != 0) meaning = QStringLiteral("(not used)");
            break;
    }
    row.meaning->setText(meaning);
}

std::optional<SpeciesTableValues> Form5::ValuesToSave(int index, QString* problem) const {
    SpeciesTableValues values;
    if (index != shownIndex_) return values;
    if (shown_.evolutions) {
        Evolutions evolutions;
        for (size_t k = 0; k < rows_.size(); ++k) {
            const EvolutionRow& row = rows_[k];
            bool isNumber = false;
            const int parameter = row.parameter->text().toInt(&isNumber);
            if (!isNumber || parameter < 0 || parameter > kLargestParameter) {
                *problem = QStringLiteral(
                               "The parameter of evolution %1 must be a whole number from 0 to %2 "
                               "(it reads \"%3\").")
                               .arg(k + 1)
                               .arg(kLargestParameter)
                               .arg(row.parameter->text());
                return std::nullopt;
            }
            evolutions[k] = {ChoiceBox::StoredValue(row.method), parameter,
                             ChoiceBox::StoredValue(row.target)};
        }
        values.evolutions = evolutions;
    }
    const auto checked = [](const QListWidget* list) {
        std::vector<bool> rows;
        for (int n = 0; n < list->count(); ++n) rows.push_back(list->item(n)->checkState() == Qt::Checked);
        return rows;
    };
    if (shown_.tmhm) values.tmhm = Compatibility{MaskWithRows(shown_.tmhm->mask, checked(ui->lstTMHM)), {}};
    if (shown_.tutors)
        values.tutors = Compatibility{MaskWithRows(shown_.tutors->mask, checked(ui->lstTutor)), {}};
    if (shown_.eggMoves && ListedEggMoves() != *shown_.eggMoves) values.eggMoves = ListedEggMoves();
    if (shown_.dex) {
        values.dex = PokedexToSave(problem);
        if (!values.dex) return std::nullopt;
        if (*values.dex == *shown_.dex) values.dex.reset();
    }
    if (shown_.battle) {
        values.battle = BattleToSave(problem);
        if (!values.battle) return std::nullopt;
        if (*values.battle == *shown_.battle) values.battle.reset();
    }
    return values;
}
