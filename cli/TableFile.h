#pragma once

#include <string>
#include <vector>

#include "JsonTable.h"

enum class TableFormat { Json, Csv };

// "json" or "csv"; nothing for anything else.
[[nodiscard]] std::optional<TableFormat> FormatNamed(const std::string& name);

// A species table from a file's bytes: UTF-8 (a byte order mark is skipped), no larger than any species
// table can be; JSON when it starts with "{" (blanks aside) or when the format says so, else CSV.
[[nodiscard]] TableParse ParseTable(const std::string& bytes, std::optional<TableFormat> format);

// Species tables are well below a megabyte; a larger file is refused before it is parsed.
inline constexpr size_t kLargestTableFile = 64u << 20;
