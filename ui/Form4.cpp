#include "Form4.h"

#include <QCloseEvent>

#include "ui_Form4.h"

Form4::Form4(QWidget* parent) : QDialog(parent), ui(new Ui::Form4) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui->chameleonButton1, &QPushButton::clicked, this, &Form4::insertRequested);
}

Form4::~Form4() {
    delete ui;
}

QString Form4::StartOffsetText() const {
    return ui->Text1->text();
}
QString Form4::CountText() const {
    return ui->Text2->text();
}

void Form4::closeEvent(QCloseEvent* event) {
    event->accept();
    emit unloaded();
}

void Form4::reject() {
    QDialog::reject();
    emit unloaded();
}
