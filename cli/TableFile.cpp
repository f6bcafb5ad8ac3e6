#include "TableFile.h"

#include "CsvTable.h"
#include "Windows1252.h"

std::optional<TableFormat> FormatNamed(const std::string& name) {
    if (name == "json") return TableFormat::Json;
    if (name == "csv") return TableFormat::Csv;
    return std::nullopt;
}

TableParse ParseTable(const std::string& bytes, std::optional<TableFormat> format) {
    TableParse refused;
    if (bytes.size() > kLargestTableFile) {
        refused.error = "The file has " + std::to_string(bytes.size()) +
                        " bytes, more than any species table (" + std::to_string(kLargestTableFile >> 20) +
                        " MiB at most).";
        return refused;
    }
    std::string_view text(bytes);
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    if (const std::optional<size_t> bad = Windows1252::FirstInvalidUtf8(text)) {
        refused.error = "The file is not UTF-8 text: the byte at position " +
                        std::to_string(*bad + (bytes.size() - text.size())) +
                        " is not part of a UTF-8 character.";
        return refused;
    }
    if (!format) {
        const size_t first = text.find_first_not_of(" \t\r\n");
        format = first != std::string_view::npos && text[first] == '{' ? TableFormat::Json : TableFormat::Csv;
    }
    return *format == TableFormat::Json ? ParseJsonTable(text) : ParseCsvTable(text);
}
