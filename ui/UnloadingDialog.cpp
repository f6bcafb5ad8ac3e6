#include "UnloadingDialog.h"

#include <QCloseEvent>

void UnloadingDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    emit unloaded();
}

void UnloadingDialog::reject() {
    QDialog::reject();
    emit unloaded();
}
