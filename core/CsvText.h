#pragma once

#include <string>
#include <string_view>
#include <vector>

// Comma-separated values as RFC 4180 has them: a cell holding a comma, a quotation mark, CR or LF is quoted,
// its quotation marks doubled; records end with CR LF.
namespace CsvText {

// One record followed by CR LF.
[[nodiscard]] std::string Record(const std::vector<std::string>& cells);

struct Parsed {
    std::vector<std::vector<std::string>> records;
    std::vector<size_t> lines;  // the line each record starts on, from 1
    std::string error;  // when not empty: what is wrong and on which line; records are then incomplete
};

// Records end with CR LF or a lone LF; the last line end may be missing and empty lines are skipped. A quoted
// cell may hold line ends. A quotation mark inside an unquoted cell, text after a closing quotation mark and
// a quoted cell that never closes are errors.
[[nodiscard]] Parsed Parse(std::string_view text);

}  // namespace CsvText
