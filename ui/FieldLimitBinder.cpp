#include "FieldLimitBinder.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QValidator>

#include "species/FieldLimits.h"

namespace {

// QLineEdit's own maximum length also cuts texts set by the program; a validator only limits typing and
// pasting.
class TypedLengthValidator : public QValidator {
public:
    TypedLengthValidator(int maxLength, QObject* parent) : QValidator(parent), maxLength_(maxLength) {}
    State validate(QString& input, int&) const override {
        return input.size() <= maxLength_ ? Acceptable : Invalid;
    }

private:
    int maxLength_;
};

// Setting the text a box already holds is no change, so a corrected text settles after one run.
void Correct(QLineEdit* box, const std::string& text, const std::string& corrected) {
    if (corrected != text) box->setText(QString::fromUtf8(corrected));
}

constexpr const char* kUpperProperty = "vornhalUpperLimit";
constexpr const char* kWholePartProperty = "vornhalWholePart";

}  // namespace

void FieldLimitBinder::LimitTypedLength(QLineEdit* box, int maxLength) {
    box->setValidator(new TypedLengthValidator(maxLength, box));
}

void FieldLimitBinder::AddChangeCheck(QLineEdit* box, int upper) {
    connect(box, &QLineEdit::textChanged, box, [box, upper](const QString& text) {
        const std::string typed = text.toStdString();
        Correct(box, typed, FieldLimits::LimitCheck(typed, upper));
    });
}

void FieldLimitBinder::AddYieldCheck(QLineEdit* box) {
    connect(box, &QLineEdit::textChanged, box, [box](const QString& text) {
        const std::string typed = text.toStdString();
        Correct(box, typed, FieldLimits::YieldCheck(typed));
    });
}

void FieldLimitBinder::AddLeaveCheck(QLineEdit* box, int upper, bool wholePartCompared) {
    box->setProperty(kUpperProperty, upper);
    box->setProperty(kWholePartProperty, wholePartCompared);
    box->installEventFilter(this);
}

bool FieldLimitBinder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Switching to another application or opening a menu does not leave the box.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            auto* box = static_cast<QLineEdit*>(watched);
            const std::string typed = box->text().toStdString();
            Correct(box, typed,
                    FieldLimits::LimitCheck(typed, box->property(kUpperProperty).toInt(),
                                            box->property(kWholePartProperty).toBool()));
        }
    }
    return QObject::eventFilter(watched, event);
}
