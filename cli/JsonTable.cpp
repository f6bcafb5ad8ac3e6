#include "JsonTable.h"

#include <nlohmann/json.hpp>
#include <optional>

namespace {

using Json = nlohmann::json;

// Texts are valid UTF-8 here. Nearly all need no escape and go out as they are between quotation marks;
// the rest the library escapes.
void AppendQuoted(std::string& out, const std::string& text) {
    for (char c : text) {
        if (c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20) {
            out += Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
            return;
        }
    }
    out += '"';
    out += text;
    out += '"';
}

void AppendPart(std::string& out, const TextPart& part) {
    if (part.number)
        out += part.text;
    else
        AppendQuoted(out, part.text);
}

void AppendRow(std::string& out, const std::vector<TextPart>& row) {
    if (row.size() == 1) return AppendPart(out, row.front());
    out += '[';
    for (size_t k = 0; k < row.size(); ++k) {
        if (k) out += ", ";
        AppendPart(out, row[k]);
    }
    out += ']';
}

// Rows of several parts (attack rows, evolutions) one per line; lists of single values on one line.
void AppendValue(std::string& out, const TextValue& value) {
    if (!value.isList) return AppendPart(out, value.single);
    bool oneLine = true;
    for (const std::vector<TextPart>& row : value.rows) oneLine = oneLine && row.size() == 1;
    out += '[';
    for (size_t r = 0; r < value.rows.size(); ++r) {
        out += oneLine ? (r ? ", " : "") : (r ? ",\n        " : "\n        ");
        AppendRow(out, value.rows[r]);
    }
    out += oneLine || value.rows.empty() ? "]" : "\n      ]";
}

// Builds the table from the parser's events, so that no document of the whole file is held: an object at the
// top, its list "species" (other keys but "game" are skipped), one object of fields per species, each field
// a number or text, or a list whose rows are a number or text, or a list of them.
class TableReader : public nlohmann::json_sax<Json> {
public:
    TableParse Finish(bool parsed) {
        if (parsed && !sawSpecies_ && error_.empty())
            error_ =
                "The file is JSON but not a species table: it needs an object with the list \"species\".";
        if (!error_.empty()) {
            table_ = {};
            table_.error = error_;
        }
        return std::move(table_);
    }

    bool null() override { return Scalar(std::nullopt, "null"); }
    bool boolean(bool value) override { return Scalar(std::nullopt, value ? "true" : "false"); }
    bool number_integer(number_integer_t value) override {
        return Scalar(TextPart{std::to_string(value), true}, {});
    }
    bool number_unsigned(number_unsigned_t value) override {
        return Scalar(TextPart{std::to_string(value), true}, {});
    }
    bool number_float(number_float_t, const string_t& text) override {
        return Scalar(TextPart{text, true}, {});
    }
    bool string(string_t& value) override { return Scalar(TextPart{std::move(value), false}, {}); }
    bool binary(binary_t&) override { return Scalar(std::nullopt, "binary data"); }

    bool key(string_t& key) override {
        if (skip_ > 0) return true;
        if (depth_ == 1) topKey_ = std::move(key);
        if (depth_ == 3) fieldKey_ = std::move(key);
        return true;
    }

    bool start_object(std::size_t) override {
        if (skip_ > 0 || (depth_ == 1 && topKey_ != "species")) return Skip();
        if (depth_ == 1) return Fail("The list \"species\" of the file is an object, not a list.");
        if (depth_ >= 3) return Fail(Where() + ": an object is not a value a field takes.");
        if (depth_ == 2) {
            species_ = SpeciesText{};
            species_.where = "species entry " + std::to_string(table_.table.species.size() + 1);
        }
        ++depth_;
        return true;
    }

    bool start_array(std::size_t) override {
        if (skip_ > 0 || (depth_ == 1 && topKey_ != "species")) return Skip();
        if (depth_ == 0)
            return Fail("The file is JSON but not a species table: it is a list, not an object.");
        if (depth_ == 2) return Fail(Entry() + " is a list, not an object of fields.");
        if (depth_ == 3 && fieldKey_ == "index") return Fail(Entry() + ": the index is a list.");
        if (depth_ >= 5) return Fail(Where() + ": a list is nested too deeply.");
        if (depth_ == 1) sawSpecies_ = true;
        if (depth_ == 3) value_ = TextValue{true, {}, {}};
        if (depth_ == 4) value_.rows.emplace_back();
        ++depth_;
        return true;
    }

    bool end_object() override { return End(); }
    bool end_array() override { return End(); }

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error) override {
        return Fail(std::string("The file is not valid JSON: ") + error.what() + ".");
    }

private:
    bool Skip() {
        ++skip_;
        return true;
    }

    bool End() {
        if (skip_ > 0) {
            --skip_;
            return true;
        }
        --depth_;
        if (depth_ == 2) table_.table.species.push_back(std::move(species_));
        if (depth_ == 3) species_.fields.push_back({fieldKey_, std::move(value_)});
        return true;
    }

    // A value: part is empty for true, false, null and binary data, which no field takes.
    bool Scalar(std::optional<TextPart> part, const char* what) {
        if (skip_ > 0) return true;
        if (depth_ == 0)
            return Fail("The file is JSON but not a species table: it needs an object at the top.");
        if (depth_ == 1) {
            if (topKey_ == "species") return Fail("The file's \"species\" is not a list.");
            if (topKey_ == "game" && part && !part->number) table_.table.game = part->text;
            return true;
        }
        if (depth_ == 2) return Fail(Entry() + " is not an object of fields.");
        if (!part)
            return Fail(Where() + ": " + what +
                        " is not a value a field takes (a number, a text, or a list of them).");
        if (depth_ == 3 && fieldKey_ == "index") {
            species_.index = std::move(*part);
        } else if (depth_ == 3) {
            TextValue value;
            value.single = std::move(*part);
            species_.fields.push_back({fieldKey_, std::move(value)});
        } else if (depth_ == 4) {
            value_.rows.push_back({std::move(*part)});
        } else {
            value_.rows.back().push_back(std::move(*part));
        }
        return true;
    }

    std::string Entry() const { return "Species entry " + std::to_string(table_.table.species.size() + 1); }
    std::string Where() const { return Entry() + ", field \"" + fieldKey_ + "\""; }

    bool Fail(std::string error) {
        error_ = std::move(error);
        return false;
    }

    TableParse table_;
    std::string error_;
    int depth_ = 0;  // 1 in the top object, 2 in the species list, 3 in a species, 4 in a list, 5 in a row
    int skip_ = 0;   // containers deep inside a value that is not read
    bool sawSpecies_ = false;
    std::string topKey_, fieldKey_;
    SpeciesText species_;
    TextValue value_;
};

}  // namespace

JsonTableWriter::JsonTableWriter(const std::string& game, const ChoiceNames& names) : names_(names) {
    out_.reserve(2048 * Species::kCount);
    out_ += "{\n  \"game\": ";
    AppendQuoted(out_, game);
    out_ += ",\n  \"species\": [";
}

void JsonTableWriter::Species(int32_t index) {
    out_ += anySpecies_ ? "\n    },\n    {\n      \"index\": " : "\n    {\n      \"index\": ";
    out_ += std::to_string(index);
    anySpecies_ = true;
}

void JsonTableWriter::Field(const SpeciesField& field, const FieldValue& value) {
    out_ += ",\n      ";
    AppendQuoted(out_, field.key);
    out_ += ": ";
    if (!field.isList) return AppendPart(out_, PartText(field.parts.front(), value, names_));
    const ValueRows& cells = std::get<ValueRows>(value);
    const size_t width = field.parts.size();
    out_ += '[';
    for (size_t first = 0; first + width <= cells.size(); first += width) {
        out_ += width == 1 ? (first ? ", " : "") : (first ? ",\n        [" : "\n        [");
        for (size_t k = 0; k < width; ++k) {
            if (k) out_ += ", ";
            AppendPart(out_, PartText(field.parts[k], FieldValue{cells[first + k]}, names_));
        }
        if (width > 1) out_ += ']';
    }
    out_ += width == 1 || cells.empty() ? "]" : "\n      ]";
}

std::string JsonTableWriter::Finish() {
    out_ += anySpecies_ ? "\n    }\n  ]\n}\n" : "]\n}\n";
    return std::move(out_);
}

std::string FormatJsonTable(const TableText& table) {
    std::string out;
    out.reserve(64 + 2048 * table.species.size());
    out += "{\n  \"game\": ";
    AppendQuoted(out, table.game);
    out += ",\n  \"species\": [";
    for (size_t s = 0; s < table.species.size(); ++s) {
        const SpeciesText& species = table.species[s];
        out += s ? ",\n    {" : "\n    {";
        bool first = true;
        if (species.index) {
            out += "\n      \"index\": ";
            AppendPart(out, *species.index);
            first = false;
        }
        for (const TextField& field : species.fields) {
            out += first ? "\n      " : ",\n      ";
            first = false;
            AppendQuoted(out, field.key);
            out += ": ";
            AppendValue(out, field.value);
        }
        out += "\n    }";
    }
    out += table.species.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

TableParse ParseJsonTable(std::string_view text) {
    TableReader reader;
    const bool parsed = Json::sax_parse(text.begin(), text.end(), &reader);
    return reader.Finish(parsed);
}
