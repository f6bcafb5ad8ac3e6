#include "Form4.h"

#include "ui_Form4.h"

Form4::Form4(QWidget* parent) : UnloadingDialog(parent), ui(new Ui::Form4) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui->chameleonButton1, &QPushButton::clicked, this, &Form4::insertRequested);
    connect(ui->cmdFindSpace, &QPushButton::clicked, this, &Form4::findSpaceRequested);
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
void Form4::SetStartOffsetText(const QString& text) {
    ui->Text1->setText(text);
}
