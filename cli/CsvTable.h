#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "JsonTable.h"
#include "text/SpeciesTableText.h"

// The species table as CSV (RFC 4180): a header row of field keys, then one row per species; lists in one
// cell in the list notation ("5:TACKLE;9:GROWL").
[[nodiscard]] std::string FormatCsvTable(const std::vector<std::string>& keys, const TableText& table);

// A column missing from the header leaves that field of every species as it is; an empty cell is an empty
// value (an empty list, or a number that is missing and is refused).
[[nodiscard]] TableParse ParseCsvTable(std::string_view text);
