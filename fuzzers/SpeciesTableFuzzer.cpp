// Species table files as `vornhal-cli import` reads them (JSON or CSV): any bytes are either refused with a
// reason or read; a table read writes back as JSON that reads as the same table; and every value a field
// accepts writes back, in either notation, to a text that reads as the same value.

#include <string>

#include "FuzzSupport.h"
#include "JsonTable.h"
#include "TableFile.h"
#include "text/ChoiceNames.h"
#include "text/SpeciesFields.h"
#include "text/SpeciesTableText.h"

namespace {

using fuzz::Require;

// Small lists with the cases that matter: a name used twice, a name that is a number, names that differ only
// in case, a name holding the list notation's separators.
const ChoiceNames& Names() {
    static const ChoiceNames names = [] {
        ChoiceNames made;
        const std::vector<std::string> list = {"-", "FIRE", "fire", "????", "????", "12", "A:B", "GRASS", ""};
        for (int k = 0; k < kChoiceListCount; ++k) made.SetList(static_cast<ChoiceList>(k), list);
        return made;
    }();
    return names;
}

const SpeciesField* FieldNamed(const std::string& key) {
    for (const FieldGroup& group : SpeciesFieldGroups()) {
        for (const SpeciesField& field : group.fields) {
            if (field.key == key) return &field;
        }
    }
    return nullptr;
}

bool KeysOnce(const SpeciesText& species) {
    for (size_t a = 0; a < species.fields.size(); ++a) {
        for (size_t b = a + 1; b < species.fields.size(); ++b) {
            if (species.fields[a].key == species.fields[b].key) return false;
        }
    }
    return true;
}

void CheckValue(const SpeciesField& field, const TextValue& text) {
    const ValueCheck check{nullptr, &Names(), nullptr};
    const ParsedValue parsed = ParseValue(field, text, check);
    Require(parsed.value.has_value() == parsed.problem.empty(),
            "a value is either read or refused with a reason");
    if (!parsed.value) return;
    const TextValue written = ValueText(field, *parsed.value, Names());
    const ParsedValue again = ParseValue(field, written, check);
    Require(again.value == parsed.value, "an accepted value writes back to a text that reads the same");
    TextValue notation;
    notation.single.text = ListNotation(written);
    Require(ParseValue(field, notation, check).value == parsed.value,
            "an accepted value reads the same from its list notation");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const TableParse parse = ParseTable(bytes, std::nullopt);
    if (!parse.error.empty()) return 0;
    bool keysOnce = true;
    for (const SpeciesText& species : parse.table.species) {
        keysOnce = keysOnce && KeysOnce(species);
        if (species.index) (void)ParseIndex(*species.index);
        for (const TextField& field : species.fields) {
            if (const SpeciesField* known = FieldNamed(field.key)) CheckValue(*known, field.value);
        }
    }
    // JSON objects keep one value per key, so a CSV header naming a column twice cannot come back whole.
    if (!keysOnce) return 0;
    const std::string json = FormatJsonTable(parse.table);
    const TableParse again = ParseTable(json, TableFormat::Json);
    Require(again.error.empty(), "a table written as JSON reads back");
    Require(FormatJsonTable(again.table) == json, "a table written as JSON reads back as the same table");
    return 0;
}
