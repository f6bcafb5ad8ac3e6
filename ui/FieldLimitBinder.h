#pragma once

#include <QObject>

class QLineEdit;

// Attaches the field checks to the number boxes: change checks correct a text as soon as it changes, leave
// checks when the user moves the focus away, and typed lengths are limited without cutting texts that the
// program puts into a box.
class FieldLimitBinder : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void AddChangeCheck(QLineEdit* box, int upper);
    void AddLeaveCheck(QLineEdit* box, int upper, bool wholePartCompared = false);
    void AddYieldCheck(QLineEdit* box);
    static void LimitTypedLength(QLineEdit* box, int maxLength);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
