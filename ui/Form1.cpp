#include "Form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyle>
#include <QUrl>

#include "ChoiceBox.h"
#include "Dialogs.h"
#include "FieldLimitBinder.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "Form5.h"
#include "SpritePreview.h"
#include "TextCodec.h"
#include "UserState.h"
#include "modConv.h"
#include "rom/RomOpener.h"
#include "rom/RomPointer.h"
#include "text/NameList.h"
#include "text/ReferenceLists.h"
#include "ui_Form1.h"
#include "write/RomWriter.h"

namespace {

char LocaleDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 0x80 ? static_cast<char>(point[0].unicode()) : '.';
}

// A window unloaded by its close box is destroyed and its pointer cleared, so the next use makes it afresh.
template <class Window>
Window* Forgotten(Window* window, Window** slot) {
    QObject::connect(window, &UnloadingDialog::unloaded, window, [window, slot] {
        window->deleteLater();
        *slot = nullptr;
    });
    return window;
}

}  // namespace

Form1::Form1(const QString& dataFolder, QWidget* parent)
    : QMainWindow(parent), ui(new Ui::Form1), dataFolder_(dataFolder), limits_(new FieldLimitBinder(this)) {
    ui->setupUi(this);
    ui->cmdChangeOffset->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));

    mnuName = new QMenu(this);
    mnuName->setObjectName(QStringLiteral("mnuName"));
    QAction* male = mnuName->addAction(QStringLiteral("Add Male Symbol"), this,
                                       [this] { AppendToName(QChar(u'\u2642')); });
    male->setObjectName(QStringLiteral("mnuMale"));
    QAction* female = mnuName->addAction(QStringLiteral("Add Female Symbol"), this,
                                         [this] { AppendToName(QChar(u'\u2640')); });
    female->setObjectName(QStringLiteral("mnuFemale"));
    // Export and import are offered by their buttons; the menu keeps the two entries unavailable.
    QAction* exportData = mnuName->addAction(QStringLiteral("Export Data..."));
    exportData->setObjectName(QStringLiteral("mnuExport"));
    exportData->setEnabled(false);
    QAction* importData = mnuName->addAction(QStringLiteral("Import Data..."));
    importData->setObjectName(QStringLiteral("mnuImport"));
    importData->setEnabled(false);
    ui->txtName->setContextMenuPolicy(Qt::PreventContextMenu);
    ui->txtName->installEventFilter(this);

    // A ROM dropped anywhere opens, also over a text box, which would otherwise take the path as text.
    setAcceptDrops(true);
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->installEventFilter(this);

    modConv::SetMessageSink(
        [this](const std::string& message) { Dialogs::ShowCritical(this, TextCodec::ToDisplay(message)); });

    // Start-up: the setting, the gender ratios, then the five name files.
    SettingsWindow();
    LoadReferenceLists();
    BindFieldLimits();
    ConnectHandlers();
    TrackEdits();
    CreateHistoryActions();
    SetUpMenus();
    SetUpStatusBar();
    SetEditingEnabled(false);
    ui->cmdSave->setEnabled(false);
    ui->txtName->setEnabled(false);
    restoreGeometry(UserState::WindowGeometry());
}

Form1::~Form1() {
    writer_.reset();
    modConv::SetMessageSink(nullptr);
    delete ui;
}

QString Form1::DefaultDataFolder() {
    const QDir program(QCoreApplication::applicationDirPath());
    const QString beside = program.filePath(QStringLiteral("Data"));
    const QString installed = QDir::cleanPath(program.filePath(QStringLiteral(VORNHAL_INSTALLED_DATA)));
    // Without either, the folder beside the program is the one the messages name.
    return QFileInfo::exists(beside) || !QFileInfo::exists(installed) ? beside : installed;
}

std::string Form1::DataPath(const char* fileName) const {
    return QFile::encodeName(dataFolder_ + QLatin1Char('/') + QLatin1String(fileName)).toStdString();
}

void Form1::LoadReferenceLists() {
    ChoiceBox::Fill(ui->cmbGender, GenderRatioList(LocaleDecimalSeparator()));
    ChoiceBox::Fill(ui->cmbSteps, StepsList());
    ChoiceBox::Fill(ui->cmbPalette, IconPaletteList());
    for (int k = 0; k < RomNames::kListCount; ++k)
        listFiles_[k] =
            ChoiceBox::Texts(LoadListFile(DataPath(RomNames::Format(RomNames::List(k)).listFile)));
    const QStringList eggTypes = ChoiceBox::Texts(LoadListFile(DataPath("EggTypes.txt")));
    ChoiceBox::Fill(ui->cmbEggType1, eggTypes);
    ChoiceBox::Fill(ui->cmbEggType2, eggTypes);
    FillNamedLists();
}

void Form1::FillNamedLists() {
    std::array<QStringList, RomNames::kListCount> texts = listFiles_;
    if (session_) {
        const RomNames::Names names = RomNames::ReadNames(*session_, SettingsWindow()->NamesFromRom());
        for (int k = 0; k < RomNames::kListCount; ++k) {
            if (names.lists[k].FromRom()) texts[k] = ChoiceBox::Texts(names.lists[k].names);
        }
        ui->lblNameSource->setText(TextCodec::ToDisplay(RomNames::SourceText(names)));
    }
    ChoiceBox::Fill(ui->cmbANames, texts[RomNames::kMoves]);
    for (QComboBox* box : {ui->cmbAbility1, ui->cmbAbility2})
        ChoiceBox::Fill(box, texts[RomNames::kAbilities]);
    for (QComboBox* box : {ui->cmbType1, ui->cmbType2}) ChoiceBox::Fill(box, texts[RomNames::kTypes]);
    for (QComboBox* box : {ui->cmbItem1, ui->cmbItem2}) ChoiceBox::Fill(box, texts[RomNames::kItems]);
}

void Form1::BindFieldLimits() {
    for (QLineEdit* box : {ui->txtHP, ui->txtAttack, ui->txtDefense, ui->txtSafari, ui->txtSpeed,
                           ui->txtSAttack, ui->txtSDefense, ui->txtXP, ui->txtCatch})
        FieldLimitBinder::LimitTypedLength(box, 3);
    FieldLimitBinder::LimitTypedLength(ui->txtLevel, 2);
    FieldLimitBinder::LimitTypedLength(ui->txtEVS, 1);
    FieldLimitBinder::LimitTypedLength(ui->txtName, 10);
    for (QLineEdit* box :
         {ui->txtSprite, ui->txtBackSprite, ui->txtPalette, ui->txtShinyPalette, ui->txtIcon, ui->txtATable})
        FieldLimitBinder::LimitTypedLength(box, RomPointer::kMaxDigits);

    limits_->AddLeaveCheck(ui->txtHP, 255, true);
    limits_->AddLeaveCheck(ui->txtAttack, 255);
    limits_->AddLeaveCheck(ui->txtDefense, 255);
    limits_->AddLeaveCheck(ui->txtSafari, 175);
    for (QLineEdit* box : {ui->txtSpeed, ui->txtSAttack, ui->txtSDefense, ui->txtXP, ui->txtCatch})
        limits_->AddChangeCheck(box, 255);
    limits_->AddChangeCheck(ui->txtLevel, 99);
    for (QLineEdit* box : {ui->txtEVHP, ui->txtEVA, ui->txtEVD, ui->txtEVS, ui->txtEVSA, ui->txtEVSD})
        limits_->AddYieldCheck(box);
}

void Form1::ConnectHandlers() {
    connect(ui->cmdOpen, &QPushButton::clicked, this, &Form1::OpenRom);
    connect(ui->cmdSave, &QPushButton::clicked, this, &Form1::SaveSpecies);
    connect(ui->cmdSettings, &QPushButton::clicked, this, [this] { Dialogs::RunModal(SettingsWindow()); });
    connect(ui->cmdMoreData, &QPushButton::clicked, this, [this] {
        MoreDataWindow()->show();
        moreData_->raise();
        moreData_->activateWindow();
    });
    connect(ui->cmdExport, &QPushButton::clicked, this, &Form1::ExportNameList);
    connect(ui->cmdNameEx, &QPushButton::clicked, this, &Form1::ExportSpeciesFile);
    connect(ui->cmdNameIm, &QPushButton::clicked, this, &Form1::ImportSpeciesFile);
    connect(ui->lstPokemon, &QListWidget::currentRowChanged, this, &Form1::SpeciesSelected);

    for (QLineEdit* pointer :
         {ui->txtSprite, ui->txtBackSprite, ui->txtPalette, ui->txtShinyPalette, ui->txtIcon})
        connect(pointer, &QLineEdit::textChanged, this, &Form1::UpdatePreview);
    connect(ui->cmbPalette, &QComboBox::currentIndexChanged, this, &Form1::UpdatePreview);
    connect(ui->preview, &SpritePreview::replaceRequested, this, &Form1::ReplacePicture);

    connect(ui->cmdChangeOffset, &QToolButton::clicked, this, [this] { LoadAttackTable(true); });
    connect(ui->cmdChange, &QPushButton::clicked, this, &Form1::ChangeAttackRow);
    connect(ui->cmdAddAttack, &QPushButton::clicked, this, &Form1::AddAttackRow);
    connect(ui->cmdRemoveAttack, &QPushButton::clicked, this, &Form1::RemoveAttackRow);
    connect(ui->cmdNewTable, &QPushButton::clicked, this, &Form1::ShowInsertWindow);
    // A press over a row shows it again even when it is already selected.
    for (QListWidget* list : {ui->lstAttack, ui->lstLevel}) {
        connect(list, &QListWidget::currentRowChanged, this, &Form1::ShowAttackRow);
        connect(list, &QListWidget::itemPressed, this,
                [this, list](QListWidgetItem* item) { ShowAttackRow(list->row(item)); });
    }
}

void Form1::SetEditingEnabled(bool enabled) {
    const QList<QWidget*> controls = {
        ui->lstPokemon,  ui->txtHP,        ui->txtAttack,      ui->txtDefense,  ui->txtSpeed,
        ui->txtSAttack,  ui->txtSDefense,  ui->cmbType1,       ui->cmbType2,    ui->txtXP,
        ui->txtCatch,    ui->cmbItem1,     ui->cmbItem2,       ui->cmbGender,   ui->cmbSteps,
        ui->cmbEggType1, ui->cmbEggType2,  ui->cmbAbility1,    ui->cmbAbility2, ui->txtSafari,
        ui->cmdExport,   ui->txtSprite,    ui->txtBackSprite,  ui->txtPalette,  ui->txtShinyPalette,
        ui->txtIcon,     ui->txtEVHP,      ui->txtEVA,         ui->txtEVD,      ui->txtEVS,
        ui->txtEVSA,     ui->txtEVSD,      ui->cmbPalette,     ui->txtLevel,    ui->cmbANames,
        ui->lstAttack,   ui->lstLevel,     ui->txtATable,      ui->cmdChange,   ui->cmdChangeOffset,
        ui->cmdNewTable, ui->cmdAddAttack, ui->cmdRemoveAttack};
    for (QWidget* control : controls) control->setEnabled(enabled);
    ui->cmdMoreData->setEnabled(enabled);
    if (romInfoAction_) romInfoAction_->setEnabled(enabled);
    ui->preview->SetReplaceable(enabled);
    if (!enabled) {
        ui->cmdNameEx->setEnabled(false);
        ui->cmdNameIm->setEnabled(false);
    }
}

void Form1::OpenRom() {
    if (!ResolveUnsavedEdits()) return;
    QString path =
        Dialogs::AskFileName(this, Dialogs::FileMode::Open, QStringLiteral("Open Pokemon GBA ROM..."),
                             QStringLiteral("GBA ROMs (*.gba)|*.gba"), UserState::LastRomFolder());
    // Cancelling with a ROM open reads that ROM again, discarding unsaved edits.
    if (path.isEmpty() && session_) path = QFile::decodeName(session_->RomPath.c_str());
    if (path.isEmpty()) {
        SetEditingEnabled(false);
        return;
    }
    // The folder the user went to is offered next time, even when the file there is refused.
    UserState::SetLastRomFolder(QFileInfo(path).absolutePath());
    OpenRomPath(path);
}

bool Form1::OpenRomPath(const QString& path) {
    // The button asked before its dialog; a drop, a recent ROM or the command line ask here.
    if (!ResolveUnsavedEdits()) return false;
    const std::string romPath = QFile::encodeName(path).toStdString();
    if (!SettleInterruptedWrite(romPath)) return false;
    OpenRomResult opened = OpenRomFile(romPath, DataPath("Data.ini"));
    // The search reads the whole file and its offsets are its judgement, so the user decides.
    if (opened.searchOffered &&
        Dialogs::Ask(this, TextCodec::ToDisplay(opened.error),
                     {Dialogs::Answer::Search, Dialogs::Answer::Cancel}, Dialogs::Answer::Search,
                     Dialogs::Answer::Cancel) == Dialogs::Answer::Search) {
        opened = OpenRomFile(romPath, DataPath("Data.ini"), UnknownRelease::Search);
    } else if (opened.searchOffered) {
        return false;
    }
    if (!opened.session) {
        // The editor stays as it was: a ROM already open keeps its offsets, its list and its edits.
        const QString error = TextCodec::ToDisplay(opened.error);
        ShowStatus(QStringLiteral("Open refused: ") + error);
        Dialogs::ShowCritical(this, error);
        return false;
    }
    session_ = std::move(opened.session);
    // A new writer for every opening: the history belongs to the ROM as it was opened.
    writer_ = std::make_unique<RomWriter>(*session_);
    UpdateHistoryActions();
    setWindowModified(false);
    setWindowTitle(TextCodec::ToDisplay(WindowCaption(*session_)) + QStringLiteral("[*]"));
    SetEditingEnabled(true);
    FillNamedLists();
    LoadNameList();
    shownIndex_ = -1;
    SelectSilently(0);
    ShowSpecies();

    UserState::RememberRom(path);
    UserState::SetLastRomFolder(QFileInfo(path).absolutePath());
    UpdateRecentMenu();
    ShowRomInStatus();
    ShowStatus(QStringLiteral("Opened ") + QFileInfo(path).fileName() +
               QString::fromStdString(session_->Located.MovedText()));
    return true;
}

QString Form1::DroppedRom(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl& url = data->urls().constFirst();
    const QString path = url.toLocalFile();
    return url.isLocalFile() && path.endsWith(QStringLiteral(".gba"), Qt::CaseInsensitive) ? path : QString();
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedRom(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
    const QString path = DroppedRom(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    OpenRomPath(path);
}

void Form1::LoadNameList() {
    const std::vector<std::string> names = ::LoadNameList(*session_);
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names) texts << TextCodec::ToDisplay(name);
    const QSignalBlocker blocker(ui->lstPokemon);
    ui->lstPokemon->clear();
    ui->lstPokemon->addItems(texts);
    RefreshMoreDataNames();
}

Form2* Form1::ReportWindow() {
    if (!report_) report_ = new Form2(this);
    return report_;
}

Form3* Form1::SettingsWindow() {
    if (!settings_)
        settings_ = Forgotten(
            new Form3(QString::fromStdString(DataPath("Data.ini")), UserState::SettingsCopyPath(), this),
            &settings_);
    return settings_;
}

Form4* Form1::InsertWindow() {
    if (!insert_) {
        insert_ = Forgotten(new Form4(this), &insert_);
        connect(insert_, &Form4::insertRequested, this, &Form1::InsertAttackTable);
        connect(insert_, &Form4::findSpaceRequested, this, &Form1::FindSpaceForInsert);
    }
    return insert_;
}

void Form1::closeEvent(QCloseEvent* event) {
    if (!ResolveUnsavedEdits()) {
        event->ignore();
        return;
    }
    SettingsWindow()->StoreSetting();
    UserState::SetWindowGeometry(saveGeometry());
    event->accept();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) &&
        !DroppedRom(static_cast<QDropEvent*>(event)->mimeData()).isEmpty()) {
        if (type == QEvent::Drop)
            dropEvent(static_cast<QDropEvent*>(event));
        else
            static_cast<QDropEvent*>(event)->acceptProposedAction();
        return true;
    }
    if (watched == ui->txtName && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        if (press->buttons() == Qt::RightButton) {
            ShowNameMenu(press->globalPosition().toPoint());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
