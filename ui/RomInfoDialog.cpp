#include "RomInfoDialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "HexOffset.h"
#include "TextCodec.h"
#include "rom/RomOpener.h"
#include "rom/SectionValues.h"

namespace {

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

RomInfoDialog::RomInfoDialog(const EditorSession& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName(QStringLiteral("RomInfoDialog"));
    setWindowTitle(QStringLiteral("ROM Information"));

    const QString moved = QString::fromStdString(session.Located.MovedText());
    auto* lblSummary =
        new QLabel(TextCodec::ToDisplay(WindowCaption(session)) + QStringLiteral("\n") +
                       QFileInfo(QString::fromStdString(session.RomPath)).fileName() +
                       (moved.isEmpty() ? QStringLiteral(": every table is where Data.ini says") : moved),
                   this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));

    tblTables = new QTableWidget(static_cast<int>(session.Located.tables.size()), 3, this);
    tblTables->setObjectName(QStringLiteral("tblTables"));
    tblTables->setHorizontalHeaderLabels(
        {QStringLiteral("Table"), QStringLiteral("Offset"), QStringLiteral("Found by")});
    tblTables->verticalHeader()->hide();
    tblTables->setSelectionBehavior(QAbstractItemView::SelectRows);
    int row = 0;
    for (const LocatedTable& table : session.Located.tables) {
        tblTables->setItem(row, 0, Cell(TextCodec::ToDisplay(table.name)));
        const QString offset =
            table.offset ? QString::fromStdString(HexOffset(*table.offset)) : QStringLiteral("-");
        tblTables->setItem(row, 1, Cell(offset, Qt::AlignRight | Qt::AlignVCenter));
        QString how = QString::fromStdString(table.HowShown());
        if (table.Moved())
            how += QStringLiteral(" (Data.ini: %1)").arg(QString::fromStdString(HexOffset(*table.iniOffset)));
        tblTables->setItem(row, 2, Cell(how));
        ++row;
    }
    tblTables->resizeColumnsToContents();
    // Rows a little taller than the text: easy to read across, and all of them in view at once.
    tblTables->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    tblTables->horizontalHeader()->setStretchLastSection(true);

    lblSaved = new QLabel(this);
    lblSaved->setObjectName(QStringLiteral("lblSaved"));
    lblSaved->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    const QString settings = QFileInfo(QString::fromStdString(RomSettingsPath(session.RomPath))).fileName();
    QPushButton* save =
        buttons->addButton(QStringLiteral("Save Offsets to %1").arg(settings), QDialogButtonBox::ActionRole);
    save->setObjectName(QStringLiteral("cmdSaveOffsets"));
    connect(save, &QPushButton::clicked, this, &RomInfoDialog::SaveOffsets);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSummary);
    layout->addWidget(tblTables, 1);
    layout->addWidget(lblSaved);
    layout->addWidget(buttons);
    const int rowsHeight = tblTables->verticalHeader()->length() + tblTables->horizontalHeader()->height();
    resize(std::max(560, tblTables->horizontalHeader()->length() + 40), std::min(rowsHeight + 160, 640));
}

void RomInfoDialog::SaveOffsets() {
    const QString path = QString::fromStdString(RomSettingsPath(session_.RomPath));
    if (SaveLocatedOffsets(session_.RomPath, session_.Located)) {
        lblSaved->setText(
            QStringLiteral("Saved every offset to %1; the next opening takes them as they stand.").arg(path));
    } else {
        lblSaved->setText(QStringLiteral("Could not write %1.").arg(path));
    }
}
