// The menu bar, the status bar and the About box. A menu entry that stands for a button presses that button,
// so both do the same and the entry is enabled exactly when the button is.

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "Dialogs.h"
#include "Form1.h"
#include "HexFunctions.h"
#include "RomInfoDialog.h"
#include "TextCodec.h"
#include "UserState.h"
#include "ui_Form1.h"

namespace {

// Keeps an action's enabled state on its button's, whatever enables or disables the button.
class EnabledMirror : public QObject {
public:
    EnabledMirror(QAction* action, QAbstractButton* button)
        : QObject(action), action_(action), button_(button) {
        action->setEnabled(button->isEnabled());
        button->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) action_->setEnabled(button_->isEnabled());
        return QObject::eventFilter(watched, event);
    }

private:
    QAction* action_;
    QAbstractButton* button_;
};

QAction* AddEntry(QMenu* menu, const char* name, const QString& text, const QKeySequence& keys = {}) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(keys);
    return action;
}

QString SizeText(int64_t bytes) {
    // ROMs are mostly whole mebibytes; other sizes keep two decimals.
    const bool whole = bytes % (1024 * 1024) == 0;
    return QLocale().formattedDataSize(bytes, whole ? 0 : 2);
}

}  // namespace

void Form1::SetUpMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    MirrorButton(AddEntry(file, "mnuOpen", QStringLiteral("&Open ROM..."), QKeySequence::Open), ui->cmdOpen);
    mnuRecent = file->addMenu(QStringLiteral("&Recent ROMs"));
    mnuRecent->setObjectName(QStringLiteral("mnuRecent"));
    UpdateRecentMenu();
    file->addSeparator();
    MirrorButton(AddEntry(file, "mnuSave", QStringLiteral("&Save ROM"), QKeySequence::Save), ui->cmdSave);
    file->addSeparator();
    MirrorButton(AddEntry(file, "mnuDataExport", QStringLiteral("&Export Poke Data...")), ui->cmdNameEx);
    MirrorButton(AddEntry(file, "mnuDataImport", QStringLiteral("&Import Poke Data...")), ui->cmdNameIm);
    MirrorButton(AddEntry(file, "mnuNamesExport", QStringLiteral("Export &Names...")), ui->cmdExport);
    file->addSeparator();
    romInfoAction_ = AddEntry(file, "mnuRomInfo", QStringLiteral("ROM &Information..."));
    romInfoAction_->setEnabled(false);
    connect(romInfoAction_, &QAction::triggered, this, &Form1::ShowRomInfo);
    MirrorButton(AddEntry(file, "mnuSettings", QStringLiteral("Se&ttings...")), ui->cmdSettings);
    file->addSeparator();
    // Ctrl+Q on every system; QKeySequence::Quit has no key on some.
    QAction* quit = AddEntry(file, "mnuQuit", QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    edit->addActions({undoAction_, redoAction_});

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    connect(AddEntry(help, "mnuAbout", QStringLiteral("&About Vornhal")), &QAction::triggered, this,
            &Form1::ShowAbout);
}

void Form1::MirrorButton(QAction* action, QAbstractButton* button) {
    new EnabledMirror(action, button);
    connect(action, &QAction::triggered, button, [button] {
        // The focus moves as a click would move it, so the box being typed in runs its leave check first.
        button->setFocus(Qt::ShortcutFocusReason);
        button->click();
    });
}

void Form1::UpdateRecentMenu() {
    // The entries are made once and only changed afterwards: an entry may be the one whose trigger is
    // running, and deleting it there would pull the action from under its own signal.
    if (mnuRecent->isEmpty()) {
        for (int i = 1; i <= UserState::kMaxRecentRoms; ++i) {
            QAction* entry = mnuRecent->addAction(QString());
            entry->setObjectName(QStringLiteral("mnuRecent%1").arg(i));
            connect(entry, &QAction::triggered, this,
                    [this, entry] { OpenRecentRom(entry->data().toString()); });
        }
        mnuRecent->addSeparator();
        QAction* clear = mnuRecent->addAction(QStringLiteral("&Clear List"), this, [this] {
            UserState::ClearRecentRoms();
            UpdateRecentMenu();
        });
        clear->setObjectName(QStringLiteral("mnuClearRecent"));
    }
    const QStringList recent = UserState::RecentRoms();
    const QList<QAction*> entries = mnuRecent->actions();
    for (qsizetype i = 0; i < UserState::kMaxRecentRoms; ++i) {
        QAction* entry = entries[i];
        entry->setVisible(i < recent.size());
        if (i >= recent.size()) continue;
        const QFileInfo file(recent[i]);
        QString name = file.fileName();
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        const QString folder = fontMetrics().elidedText(file.absolutePath(), Qt::ElideMiddle, 320);
        entry->setText(QStringLiteral("&%1 %2   %3").arg(i + 1).arg(name, folder));
        entry->setData(recent[i]);
    }
    mnuRecent->menuAction()->setEnabled(!recent.isEmpty());
}

void Form1::OpenRecentRom(const QString& path) {
    if (OpenRomPath(path) || QFileInfo::exists(path)) return;
    // A file that is gone leaves the list; one that is refused for another reason may be mended and stays.
    UserState::ForgetRom(path);
    UpdateRecentMenu();
}

void Form1::ShowAbout() {
    const QString text =
        QStringLiteral(
            "<h3>Vornhal %1</h3>"
            "<p>An editor of the species data in Game Boy Advance ROMs.</p>"
            "<p>It edits the US English releases of Ruby and Sapphire (1.0 and 1.1), FireRed and LeafGreen "
            "(1.0 and 1.1) and Emerald, as Data.ini lists them. Other ROMs are refused and never written.</p>"
            "<p>Built with Qt %2, running on Qt %3.</p>"
            "<p>MIT License. Copyright &copy; The Vornhal developers.</p>")
            .arg(QStringLiteral(VORNHAL_VERSION), QStringLiteral(QT_VERSION_STR), QLatin1String(qVersion()));
    Dialogs::ShowAbout(this, QStringLiteral("About Vornhal"), text);
}

void Form1::ShowRomInfo() {
    if (!session_) return;
    RomInfoDialog dialog(*session_, this);
    Dialogs::RunModal(&dialog);
}

void Form1::SetUpStatusBar() {
    // The outcome is a label rather than a status bar message, so a menu passing over it does not erase it.
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    // A long message is cut at the window's edge instead of widening the window; the tool tip holds it all.
    lblStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(lblStatus, 1);
    lblRom = new QLabel(QStringLiteral("No ROM open"), this);
    lblRom->setObjectName(QStringLiteral("lblRom"));
    statusBar()->addPermanentWidget(lblRom);
}

void Form1::ShowStatus(const QString& text) {
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    lblStatus->setText(line);
    lblStatus->setToolTip(text);
}

void Form1::ShowRomInStatus() {
    const QString path = QFile::decodeName(session_->RomPath.c_str());
    const QString name = fontMetrics().elidedText(QFileInfo(path).fileName(), Qt::ElideMiddle, 240);
    const std::optional<int64_t> size = HexFunctions::RomFileSize(session_->RomPath);
    QStringList parts = {name, TextCodec::ToDisplay(session_->Title)};
    if (size) parts << SizeText(*size);
    lblRom->setText(parts.join(QStringLiteral("  \u00b7  ")));
    lblRom->setToolTip(path);
}
