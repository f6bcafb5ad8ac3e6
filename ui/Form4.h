#pragma once

#include "UnloadingDialog.h"

namespace Ui {
class Form4;
}

// Asks where a new attack table goes and how many rows it has. The main window does the insert; this window
// only keeps the texts, which survive "Insert Now!" and are forgotten when it is closed.
class Form4 : public UnloadingDialog {
    Q_OBJECT
public:
    explicit Form4(QWidget* parent = nullptr);
    ~Form4() override;

    QString StartOffsetText() const;
    QString CountText() const;

signals:
    void insertRequested();

private:
    Ui::Form4* ui;
};
