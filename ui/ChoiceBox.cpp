#include "ChoiceBox.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <optional>

#include "TextCodec.h"

namespace ChoiceBox {
namespace {
constexpr int kUnlistedRole = Qt::UserRole + 1;

// The entries of a list and, after them, at most one extra entry for a number without one. The texts are
// shared with the list they were made from. The box's own model makes an item object for every entry, which
// with name files of 100,000 lines took more than a second of the start-up under the sanitizers.
class ChoiceModel : public QAbstractListModel {
public:
    ChoiceModel(QStringList texts, QObject* parent) : QAbstractListModel(parent), texts_(std::move(texts)) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : Listed() + (unlisted_ ? 1 : 0);
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount()) return {};
        const bool extra = index.row() == Listed();
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return extra ? UnlistedText(*unlisted_) : texts_[index.row()];
        if (role == kUnlistedRole && extra) return *unlisted_;
        return {};
    }

    int Listed() const { return static_cast<int>(texts_.size()); }
    std::optional<int> Unlisted() const { return unlisted_; }

    void SetUnlisted(std::optional<int> number) {
        if (unlisted_ == number) return;
        const int row = Listed();
        if (unlisted_) {
            beginRemoveRows(QModelIndex(), row, row);
            unlisted_.reset();
            endRemoveRows();
        }
        if (number) {
            beginInsertRows(QModelIndex(), row, row);
            unlisted_ = number;
            endInsertRows();
        }
    }

private:
    QStringList texts_;
    std::optional<int> unlisted_;
};

const ChoiceModel* ModelOf(const QComboBox* box) {
    return dynamic_cast<const ChoiceModel*>(box->model());
}

// A box that was never filled gets a model of the entries it holds, so that it can take an extra entry too.
ChoiceModel* ModelOf(QComboBox* box) {
    if (auto* model = dynamic_cast<ChoiceModel*>(box->model())) return model;
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
    auto* model = new ChoiceModel(texts, box);
    const int current = box->currentIndex();
    box->setModel(model);
    box->setCurrentIndex(current);
    return model;
}

}  // namespace

QStringList Texts(const std::vector<std::string>& entries) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(entries.size()));
    for (const std::string& entry : entries) texts << TextCodec::ToDisplay(entry);
    return texts;
}

void Fill(QComboBox* box, const QStringList& texts) {
    // The box owns its models, so the one it had goes with it.
    box->setModel(new ChoiceModel(texts, box));
}

void Fill(QComboBox* box, const std::vector<std::string>& entries) {
    Fill(box, Texts(entries));
}

QString UnlistedText(int number) {
    return QStringLiteral("#%1 (not in list)").arg(number);
}

void SelectStored(QComboBox* box, int number) {
    ChoiceModel* model = ModelOf(box);
    if (number < 0) {
        model->SetUnlisted(std::nullopt);
        box->setCurrentIndex(-1);
    } else if (number < model->Listed()) {
        model->SetUnlisted(std::nullopt);
        box->setCurrentIndex(number);
    } else {
        model->SetUnlisted(number);
        box->setCurrentIndex(model->Listed());
    }
}

int StoredValue(const QComboBox* box) {
    const int index = box->currentIndex();
    if (index < 0) return -1;
    const ChoiceModel* model = ModelOf(box);
    return model && model->Unlisted() && index == model->Listed() ? *model->Unlisted() : index;
}

int ListedCount(const QComboBox* box) {
    const ChoiceModel* model = ModelOf(box);
    return model ? model->Listed() : box->count();
}

}  // namespace ChoiceBox
