#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class QComboBox;

// A choice list shows the stored number n as its entry n. A stored number without an entry (a short name
// file, a value the game never uses) is shown as an extra entry naming the number, so the user sees it and a
// save without touching the list writes the same number back.
namespace ChoiceBox {

// The entries of a name file as the window shows them; a list filled into two boxes is made once and shared.
[[nodiscard]] QStringList Texts(const std::vector<std::string>& entries);
void Fill(QComboBox* box, const QStringList& texts);
void Fill(QComboBox* box, const std::vector<std::string>& entries);

// The text that stands for a number without an entry.
[[nodiscard]] QString UnlistedText(int number);

// Selects entry `number`, or the extra entry for it; -1 selects nothing.
void SelectStored(QComboBox* box, int number);

// The stored number of the selection: its position, the number of the extra entry, or -1 for none.
[[nodiscard]] int StoredValue(const QComboBox* box);

// Entries that stand for stored numbers (the extra entry left out).
[[nodiscard]] int ListedCount(const QComboBox* box);

}  // namespace ChoiceBox
