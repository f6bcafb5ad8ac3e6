#include "ChoiceBox.h"

#include <QComboBox>

#include "TextCodec.h"

namespace ChoiceBox {
namespace {
constexpr int kUnlistedRole = Qt::UserRole + 1;

bool HasUnlistedEntry(const QComboBox* box) {
    const int last = box->count() - 1;
    return last >= 0 && box->itemData(last, kUnlistedRole).isValid();
}
}  // namespace

void Fill(QComboBox* box, const std::vector<std::string>& entries) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(entries.size()));
    for (const std::string& entry : entries) texts << TextCodec::ToDisplay(entry);
    box->clear();
    box->addItems(texts);
}

QString UnlistedText(int number) { return QStringLiteral("#%1 (not in list)").arg(number); }

void SelectStored(QComboBox* box, int number) {
    if (HasUnlistedEntry(box)) {
        if (box->itemData(box->count() - 1, kUnlistedRole).toInt() == number) {
            box->setCurrentIndex(box->count() - 1);
            return;
        }
        box->removeItem(box->count() - 1);
    }
    if (number < 0) {
        box->setCurrentIndex(-1);
    } else if (number < box->count()) {
        box->setCurrentIndex(number);
    } else {
        box->addItem(UnlistedText(number));
        box->setItemData(box->count() - 1, number, kUnlistedRole);
        box->setCurrentIndex(box->count() - 1);
    }
}

int StoredValue(const QComboBox* box) {
    const int index = box->currentIndex();
    if (index < 0) return -1;
    const QVariant unlisted = box->itemData(index, kUnlistedRole);
    return unlisted.isValid() ? unlisted.toInt() : index;
}

int ListedCount(const QComboBox* box) { return box->count() - (HasUnlistedEntry(box) ? 1 : 0); }

}  // namespace ChoiceBox
