#include "Form2.h"

#include "ui_Form2.h"

namespace {
// Window heights of the design, in twips, title bar and border included.
constexpr int kFoldedHeightTwips = 1980;
constexpr int kUnfoldedHeightTwips = 5900;
constexpr int kDesignFrameTwips = kFoldedHeightTwips - 1650;
constexpr int kTwipsPerPixel = 15;

int ClientHeight(int windowHeightTwips) {
    return (windowHeightTwips - kDesignFrameTwips) / kTwipsPerPixel;
}
}  // namespace

Form2::Form2(QWidget* parent) : QDialog(parent), ui(new Ui::Form2) {
    ui->setupUi(this);
    setFixedSize(width(), ClientHeight(kFoldedHeightTwips));
    connect(ui->cmdShow, &QPushButton::clicked, this, &Form2::ToggleReport);
    connect(ui->chameleonButton1, &QPushButton::clicked, this, &QDialog::hide);
}

Form2::~Form2() {
    delete ui;
}

void Form2::SetConfirmation(const QString& speciesName) {
    ui->Label1->setText(QStringLiteral("Data for \"") + speciesName +
                        QStringLiteral("\" has been saved successfully!"));
}

void Form2::SetReport(const QString& report) {
    ui->Text1->setPlainText(report);
}
QString Form2::Confirmation() const {
    return ui->Label1->text();
}
QString Form2::Report() const {
    return ui->Text1->toPlainText();
}
bool Form2::IsUnfolded() const {
    return ui->cmdShow->text() == QStringLiteral("Show Less");
}

void Form2::ToggleReport() {
    if (ui->cmdShow->text() == QStringLiteral("Show More")) {
        setFixedHeight(ClientHeight(kUnfoldedHeightTwips));
        ui->cmdShow->setText(QStringLiteral("Show Less"));
    } else {
        setFixedHeight(ClientHeight(kFoldedHeightTwips));
        ui->cmdShow->setText(QStringLiteral("Show More"));
    }
}
