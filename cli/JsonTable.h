#pragma once

#include <string>
#include <string_view>

#include "SpeciesTableText.h"

// The species table as JSON: an object with the game code and the list "species", one object per species,
// keys in the order export gives them. One field per line and one list row per line, so that a diff of two
// exports shows exactly the fields that changed.
[[nodiscard]] std::string FormatJsonTable(const TableText& table);

struct TableParse {
    TableText table;
    std::string error;  // when not empty the file cannot be read as a species table
};

[[nodiscard]] TableParse ParseJsonTable(std::string_view text);
