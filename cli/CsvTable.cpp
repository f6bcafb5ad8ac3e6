#include "CsvTable.h"

#include <algorithm>
#include <unordered_map>

#include "CsvText.h"

std::string FormatCsvTable(const std::vector<std::string>& keys, const TableText& table) {
    std::unordered_map<std::string, size_t> column;
    for (size_t k = 0; k < keys.size(); ++k) column.emplace(keys[k], k);
    std::string text = CsvText::Record(keys);
    for (const SpeciesText& species : table.species) {
        std::vector<std::string> cells(keys.size());
        if (species.index && column.count("index")) cells[column.at("index")] = species.index->text;
        for (const TextField& field : species.fields) {
            if (const auto found = column.find(field.key); found != column.end())
                cells[found->second] = ListNotation(field.value);
        }
        text += CsvText::Record(cells);
    }
    return text;
}

TableParse ParseCsvTable(std::string_view text) {
    TableParse parse;
    const CsvText::Parsed parsed = CsvText::Parse(text);
    if (!parsed.error.empty()) {
        parse.error = "The file is not valid CSV: " + parsed.error + ".";
        return parse;
    }
    if (parsed.records.empty()) {
        parse.error = "The file is empty.";
        return parse;
    }
    const std::vector<std::string>& keys = parsed.records.front();
    if (std::find(keys.begin(), keys.end(), "index") == keys.end()) {
        parse.error = "The first line of the file must name the columns, \"index\" among them.";
        return parse;
    }
    for (size_t r = 1; r < parsed.records.size(); ++r) {
        const std::vector<std::string>& cells = parsed.records[r];
        SpeciesText species;
        species.where = "line " + std::to_string(parsed.lines[r]);
        if (cells.size() != keys.size()) {
            parse.error = species.where + " has " + std::to_string(cells.size()) + " cells, and the header " +
                          std::to_string(keys.size()) + ".";
            return parse;
        }
        for (size_t k = 0; k < keys.size(); ++k) {
            if (keys[k] == "index") {
                species.index = TextPart{cells[k], false};
                continue;
            }
            TextValue value;
            value.single.text = cells[k];
            species.fields.push_back({keys[k], std::move(value)});
        }
        parse.table.species.push_back(std::move(species));
    }
    return parse;
}
