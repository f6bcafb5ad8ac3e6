#pragma once

#include "UnloadingDialog.h"

namespace Ui {
class Form4;
}

// Asks where a new attack table goes and how many rows it has. The main window does the insert and finds free
// space for it; this window only keeps the texts, which survive "Insert Now!" and are forgotten when it is
// closed.
class Form4 : public UnloadingDialog {
    Q_OBJECT
public:
    explicit Form4(QWidget* parent = nullptr);
    ~Form4() override;

    QString StartOffsetText() const;
    QString CountText() const;
    void SetStartOffsetText(const QString& text);

signals:
    void insertRequested();
    void findSpaceRequested();

private:
    Ui::Form4* ui;
};
