#pragma once

#include <string>
#include <string_view>

#include "text/SpeciesTableExport.h"
#include "text/SpeciesTableText.h"

// The species table as JSON: an object with the game code and the list "species", one object per species,
// keys in the order export gives them. One field per line and one list row per line, so that a diff of two
// exports shows exactly the fields that changed.
[[nodiscard]] std::string FormatJsonTable(const TableText& table);

// The same JSON written as an export reads the species, without the table held in between.
class JsonTableWriter : public SpeciesTableSink {
public:
    JsonTableWriter(const std::string& game, const ChoiceNames& names);
    void Species(int32_t index) override;
    void Field(const SpeciesField& field, const FieldValue& value) override;
    // The whole text; the writer is done.
    [[nodiscard]] std::string Finish();

private:
    const ChoiceNames& names_;
    std::string out_;
    bool anySpecies_ = false;
};

struct TableParse {
    TableText table;
    std::string error;  // when not empty the file cannot be read as a species table
};

[[nodiscard]] TableParse ParseJsonTable(std::string_view text);
