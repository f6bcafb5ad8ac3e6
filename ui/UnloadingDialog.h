#pragma once

#include <QDialog>

// A window that only its own button hides: closed any other way (close box, Escape) it is unloaded, so its
// owner forgets it and the next use creates it afresh with its start texts.
class UnloadingDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

signals:
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
};
