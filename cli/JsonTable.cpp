#include "JsonTable.h"

#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

std::string Quoted(const std::string& text) {
    return Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string PartJson(const TextPart& part) {
    return part.number ? part.text : Quoted(part.text);
}

std::string RowJson(const std::vector<TextPart>& row) {
    if (row.size() == 1) return PartJson(row.front());
    std::string text = "[";
    for (size_t k = 0; k < row.size(); ++k) text += (k ? ", " : "") + PartJson(row[k]);
    return text + "]";
}

std::string ValueJson(const TextValue& value) {
    if (!value.isList) return PartJson(value.single);
    if (value.rows.empty()) return "[]";
    std::string text = "[\n";
    for (size_t r = 0; r < value.rows.size(); ++r)
        text += "        " + RowJson(value.rows[r]) + (r + 1 < value.rows.size() ? ",\n" : "\n");
    return text + "      ]";
}

// A JSON scalar as a part; nothing for true, false, null, objects and arrays.
std::optional<TextPart> PartOf(const Json& value) {
    if (value.is_string()) return TextPart{value.get<std::string>(), false};
    if (value.is_number()) return TextPart{value.dump(), true};
    return std::nullopt;
}

std::optional<TextValue> ValueOf(const Json& value) {
    TextValue text;
    if (!value.is_array()) {
        std::optional<TextPart> part = PartOf(value);
        if (!part) return std::nullopt;
        text.single = std::move(*part);
        return text;
    }
    text.isList = true;
    for (const Json& row : value) {
        std::vector<TextPart> parts;
        if (row.is_array()) {
            for (const Json& element : row) {
                std::optional<TextPart> part = PartOf(element);
                if (!part) return std::nullopt;
                parts.push_back(std::move(*part));
            }
        } else {
            std::optional<TextPart> part = PartOf(row);
            if (!part) return std::nullopt;
            parts.push_back(std::move(*part));
        }
        text.rows.push_back(std::move(parts));
    }
    return text;
}

TableParse Failed(std::string error) {
    TableParse parse;
    parse.error = std::move(error);
    return parse;
}

}  // namespace

std::string FormatJsonTable(const TableText& table) {
    std::string text = "{\n  \"game\": " + Quoted(table.game) + ",\n  \"species\": [";
    for (size_t s = 0; s < table.species.size(); ++s) {
        const SpeciesText& species = table.species[s];
        text += s ? ",\n    {\n" : "\n    {\n";
        std::vector<std::string> lines;
        if (species.index) lines.push_back("      \"index\": " + PartJson(*species.index));
        for (const TextField& field : species.fields)
            lines.push_back("      " + Quoted(field.key) + ": " + ValueJson(field.value));
        for (size_t k = 0; k < lines.size(); ++k) text += lines[k] + (k + 1 < lines.size() ? ",\n" : "\n");
        text += "    }";
    }
    text += table.species.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return text;
}

TableParse ParseJsonTable(std::string_view text) {
    Json document;
    // The library reports a malformed text (or a number beyond double) by an exception; it stops here and
    // becomes the refusal's reason.
    try {
        document = Json::parse(text.begin(), text.end());
    } catch (const Json::exception& error) {
        return Failed(std::string("The file is not valid JSON: ") + error.what());
    }
    if (!document.is_object() || !document.contains("species") || !document["species"].is_array())
        return Failed(
            "The file is JSON but not a species table: it needs an object with the list \"species\".");
    TableParse parse;
    if (document.contains("game") && document["game"].is_string())
        parse.table.game = document["game"].get<std::string>();
    size_t number = 0;
    for (const Json& entry : document["species"]) {
        SpeciesText species;
        species.where = "species entry " + std::to_string(++number);
        if (!entry.is_object()) return Failed(species.where + " is not an object of fields.");
        for (const auto& [key, value] : entry.items()) {
            std::optional<TextValue> field = ValueOf(value);
            if (!field)
                return Failed(species.where + ", field \"" + key + "\": " +
                              value.dump(-1, ' ', false, Json::error_handler_t::replace).substr(0, 40) +
                              " is not a value a field takes (a number, a text, or a list of them).");
            if (key == "index") {
                if (field->isList) return Failed(species.where + ": the index is a list.");
                species.index = field->single;
                continue;
            }
            species.fields.push_back({key, std::move(*field)});
        }
        parse.table.species.push_back(std::move(species));
    }
    return parse;
}
