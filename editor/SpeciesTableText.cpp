#include "SpeciesTableText.h"

#include <algorithm>

#include "CharTable.h"
#include "Windows1252.h"

namespace {

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Values in messages: a file of garbage must not fill the screen.
std::string Quoted(const std::string& text) {
    constexpr size_t kShown = 40;
    if (text.size() <= kShown) return "\"" + text + "\"";
    size_t cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // whole characters
    return "\"" + text.substr(0, cut) + "...\"";
}

TextPart PartText(const ValueSpec& spec, const FieldValue& value, const ChoiceNames& names) {
    if (spec.kind == ValueKind::Text) return {Windows1252::ToUtf8(std::get<std::string>(value)), false};
    const int64_t number = std::get<int64_t>(value);
    if (spec.kind == ValueKind::Offset) return {PointerTextOf(number), false};
    if (spec.kind == ValueKind::Choice) {
        if (std::optional<std::string> name = names.NameFor(spec.list, number))
            return {Windows1252::ToUtf8(*name), false};
    }
    return {std::to_string(number), true};
}

// A part read: its value, or a problem that refuses it whatever the ROM holds, or a value beyond the window's
// limits (`beyond`), which stands only where the ROM holds it already.
struct PartRead {
    std::optional<FieldValue> value;
    std::string problem;
    std::string beyond;
};

std::optional<int64_t> WholeNumber(const std::string& text) {
    // 18 digits always fit; a longer number is beyond every limit anyway.
    if (!IsDigits(text) || text.size() > 18) return std::nullopt;
    return std::stoll(text);
}

PartRead ReadPart(const ValueSpec& spec, const TextPart& part, const ValueCheck& check) {
    PartRead read;
    const std::string text = spec.kind == ValueKind::Text ? part.text : Trimmed(part.text);
    switch (spec.kind) {
        case ValueKind::Number: {
            const std::optional<int64_t> number = WholeNumber(text);
            if (!number) {
                read.problem =
                    Quoted(part.text) + " is not a whole number from 0 to " + std::to_string(spec.upper);
                break;
            }
            read.value = *number;
            if (*number > spec.upper)
                read.beyond = Quoted(part.text) + " is above " + std::to_string(spec.upper) +
                              ", the largest value the window takes";
            break;
        }
        case ValueKind::Offset: {
            const std::optional<int32_t> offset = part.number ? std::nullopt : ParseHexOffset(text, 6);
            if (!offset) {
                read.problem =
                    Quoted(part.text) +
                    " is not a file offset of one to six hexadecimal digits (written as text, \"1A2B3C\")";
                break;
            }
            read.value = int64_t{*offset};
            if (check.session && *offset >= check.session->FileSize)
                read.beyond = Quoted(part.text) + " lies beyond the end of the file, which has " +
                              std::to_string(check.session->FileSize) + " bytes";
            break;
        }
        case ValueKind::Choice: {
            const std::string word = ChoiceListWord(spec.list);
            std::optional<int64_t> number = WholeNumber(text);
            if (!number && !IsDigits(text)) {
                const std::optional<std::string> name = Windows1252::FromUtf8(text);
                const ChoiceNames::Lookup found =
                    name && check.names ? check.names->NumberFor(spec.list, *name) : ChoiceNames::Lookup{};
                if (!found.number) {
                    read.problem = Quoted(part.text) + ": " +
                                   (found.problem.empty() ? "no " + word + " has this name" : found.problem);
                    break;
                }
                number = found.number;
            }
            if (!number) {
                read.problem = Quoted(part.text) + " is too large for a " + word;
                break;
            }
            read.value = *number;
            const int64_t listed =
                check.names ? static_cast<int64_t>(check.names->Names(spec.list).size()) : 0;
            if (*number > spec.upper)
                read.beyond = Quoted(part.text) + " does not fit: a " + word +
                              " is stored as a number up to " + std::to_string(spec.upper);
            else if (*number >= listed)
                read.beyond = Quoted(part.text) + " is not in the " + word + " list, which has " +
                              std::to_string(listed) + " entries";
            break;
        }
        case ValueKind::Text: {
            const std::optional<std::string> name = Windows1252::FromUtf8(text);
            if (!name) {
                read.problem = Quoted(part.text) + " holds characters a name cannot have";
                break;
            }
            read.value = *name;
            if (name->size() > static_cast<size_t>(spec.upper)) {
                read.beyond =
                    Quoted(part.text) + " is longer than " + std::to_string(spec.upper) + " characters";
                break;
            }
            for (char c : *name) {
                if (CharTable::EncodeChar(c) && c != '^') continue;
                read.beyond = Quoted(part.text) + " holds " + Quoted(Windows1252::ToUtf8(std::string(1, c))) +
                              ", which the game's characters do not include";
                break;
            }
            break;
        }
    }
    return read;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        pieces.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return pieces;
        start = end + 1;
    }
}

// The rows of a list, as given or from its notation.
std::vector<std::vector<TextPart>> RowsOf(const TextValue& text) {
    if (text.isList) return text.rows;
    std::vector<std::vector<TextPart>> rows;
    if (Trimmed(text.single.text).empty()) return rows;
    for (const std::string& row : Split(text.single.text, ';')) {
        std::vector<TextPart> parts;
        for (const std::string& piece : Split(row, ':')) parts.push_back({piece, false});
        rows.push_back(std::move(parts));
    }
    return rows;
}

std::string RowNotation(const std::vector<TextPart>& row) {
    std::string text;
    for (size_t k = 0; k < row.size(); ++k) text += (k ? ":" : "") + row[k].text;
    return text;
}

}  // namespace

TextValue ValueText(const SpeciesField& field, const FieldValue& value, const ChoiceNames& names) {
    TextValue text;
    if (!field.isList) {
        text.single = PartText(field.parts.front(), value, names);
        return text;
    }
    text.isList = true;
    for (const std::vector<int64_t>& row : std::get<ValueRows>(value)) {
        std::vector<TextPart> parts;
        for (size_t k = 0; k < row.size() && k < field.parts.size(); ++k)
            parts.push_back(PartText(field.parts[k], FieldValue{row[k]}, names));
        text.rows.push_back(std::move(parts));
    }
    return text;
}

std::string ListNotation(const TextValue& value) {
    if (!value.isList) return value.single.text;
    std::string text;
    for (size_t k = 0; k < value.rows.size(); ++k) text += (k ? ";" : "") + RowNotation(value.rows[k]);
    return text;
}

ParsedValue ParseValue(const SpeciesField& field, const TextValue& text, const ValueCheck& check) {
    ParsedValue parsed;
    if (!field.isList) {
        if (text.isList) {
            parsed.problem = "a list where one value belongs";
            return parsed;
        }
        PartRead read = ReadPart(field.parts.front(), text.single, check);
        if (!read.value) {
            parsed.problem = std::move(read.problem);
        } else if (!read.beyond.empty() && !(check.current && *check.current == *read.value)) {
            parsed.problem = std::move(read.beyond);
        } else {
            parsed.value = std::move(read.value);
        }
        return parsed;
    }

    const ValueRows* currentRows = check.current ? std::get_if<ValueRows>(check.current) : nullptr;
    ValueRows rows;
    const std::vector<std::vector<TextPart>> given = RowsOf(text);
    if (field.maxRows > 0 && given.size() > field.maxRows) {
        parsed.problem = std::to_string(given.size()) + " rows, and this list holds at most " +
                         std::to_string(field.maxRows);
        return parsed;
    }
    for (size_t r = 0; r < given.size(); ++r) {
        const std::string where = "row " + std::to_string(r + 1) + " " + Quoted(RowNotation(given[r])) + ": ";
        if (given[r].size() != field.parts.size()) {
            parsed.problem =
                where + "a row of this list has " + std::to_string(field.parts.size()) + " parts";
            return parsed;
        }
        std::vector<int64_t> row;
        std::string beyond;
        for (size_t k = 0; k < field.parts.size(); ++k) {
            PartRead read = ReadPart(field.parts[k], given[r][k], check);
            if (!read.value) {
                parsed.problem = where + read.problem;
                return parsed;
            }
            if (beyond.empty()) beyond = read.beyond;
            row.push_back(std::get<int64_t>(*read.value));
        }
        const bool held =
            currentRows && std::find(currentRows->begin(), currentRows->end(), row) != currentRows->end();
        if (!beyond.empty() && !held) {
            parsed.problem = where + beyond;
            return parsed;
        }
        rows.push_back(std::move(row));
    }
    parsed.value = std::move(rows);
    return parsed;
}

std::optional<int32_t> ParseIndex(const TextPart& part) {
    const std::string text = Trimmed(part.text);
    if (!IsDigits(text) || text.size() > 3) return std::nullopt;
    const int value = std::stoi(text);
    if (value >= Species::kCount) return std::nullopt;
    return value;
}
