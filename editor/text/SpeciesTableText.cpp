#include "text/SpeciesTableText.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "CharTable.h"
#include "GameText.h"
#include "Windows1252.h"
#include "rom/RomPointer.h"

namespace {

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Values in messages: a file of garbage must not fill the screen.
std::string Quoted(const std::string& text) {
    constexpr size_t kShown = 40;
    if (text.size() <= kShown) return "\"" + text + "\"";
    size_t cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // whole characters
    return "\"" + text.substr(0, cut) + "...\"";
}

TextPart PartTextOf(const ValueSpec& rule, const FieldValue& value, const ChoiceNames& names) {
    if (rule.kind == ValueKind::Text || rule.kind == ValueKind::GameText)
        return {Windows1252::ToUtf8(std::get<std::string>(value)), false};
    const int64_t number = std::get<int64_t>(value);
    if (rule.kind == ValueKind::Offset) return {PointerTextOf(number), false};
    if (rule.kind == ValueKind::Choice) {
        if (const std::string* name = names.WrittenName(rule.list, number)) return {*name, false};
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

std::optional<int64_t> WholeNumber(std::string_view text) {
    // 18 digits always fit; a longer number is beyond every limit anyway.
    if (!AllDigits(text) || text.size() > 18) return std::nullopt;
    int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

PartRead ReadPart(const ValueSpec& rule, const TextPart& part, const ValueCheck& check) {
    PartRead read;
    const std::string_view text = rule.kind == ValueKind::Text || rule.kind == ValueKind::GameText
                                      ? std::string_view(part.text)
                                      : Trimmed(part.text);
    switch (rule.kind) {
        case ValueKind::Number: {
            const std::optional<int64_t> number = WholeNumber(text);
            if (!number) {
                read.problem =
                    Quoted(part.text) + " is not a whole number from 0 to " + std::to_string(rule.upper);
                break;
            }
            read.value = *number;
            if (*number > rule.upper)
                read.beyond = Quoted(part.text) + " is above " + std::to_string(rule.upper) +
                              ", the largest value the window takes";
            break;
        }
        case ValueKind::Offset: {
            const std::optional<int32_t> offset =
                part.number ? std::nullopt : RomPointer::ParseTarget(std::string(text));
            if (!offset) {
                read.problem = Quoted(part.text) +
                               " is not a file offset of one to seven hexadecimal digits below 2000000 "
                               "(written as text, \"1A2B3C\")";
                break;
            }
            read.value = int64_t{*offset};
            if (check.session && *offset >= check.session->FileSize)
                read.beyond = Quoted(part.text) + " lies beyond the end of the file, which has " +
                              std::to_string(check.session->FileSize) + " bytes";
            break;
        }
        case ValueKind::Choice: {
            const std::string word = ChoiceListWord(rule.list);
            std::optional<int64_t> number = WholeNumber(text);
            if (!number && !AllDigits(text)) {
                const std::optional<std::string> name = Windows1252::FromUtf8(text);
                const ChoiceNames::Lookup found =
                    name && check.names ? check.names->NumberFor(rule.list, *name) : ChoiceNames::Lookup{};
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
                check.names ? static_cast<int64_t>(check.names->Names(rule.list).size()) : 0;
            if (*number > rule.upper)
                read.beyond = Quoted(part.text) + " does not fit: a " + word +
                              " is stored as a number up to " + std::to_string(rule.upper);
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
            if (name->size() > static_cast<size_t>(rule.upper)) {
                read.beyond =
                    Quoted(part.text) + " is longer than " + std::to_string(rule.upper) + " characters";
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
        case ValueKind::GameText: {
            const std::optional<std::string> characters = Windows1252::FromUtf8(text);
            if (!characters) {
                read.problem = Quoted(part.text) + " holds characters the game's text cannot have";
                break;
            }
            const GameText::Language language =
                check.session ? check.session->TextLanguage : GameText::Language::English;
            const GameText::Encoded encoded = GameText::Encode(*characters, language);
            if (!encoded.ok()) {
                std::string reason = Windows1252::ToUtf8(encoded.error);
                if (reason.ends_with('.')) reason.pop_back();
                read.problem = Quoted(part.text) + ": " + reason;
                break;
            }
            // As the game's codes give it back: typed quotes and line ends compare equal to the stored ones.
            read.value = GameText::Decode(encoded.codes, language);
            if (encoded.codes.size() > static_cast<size_t>(rule.upper))
                read.beyond =
                    Quoted(part.text) + " is longer than " + std::to_string(rule.upper) + " characters";
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

TextPart PartText(const ValueSpec& rule, const FieldValue& value, const ChoiceNames& names) {
    return PartTextOf(rule, value, names);
}

TextValue ValueText(const SpeciesField& field, const FieldValue& value, const ChoiceNames& names) {
    TextValue text;
    if (!field.isList) {
        text.single = PartTextOf(field.parts.front(), value, names);
        return text;
    }
    text.isList = true;
    const ValueRows& cells = std::get<ValueRows>(value);
    const size_t width = field.parts.size();
    text.rows.reserve(cells.size() / width);
    for (size_t first = 0; first + width <= cells.size(); first += width) {
        std::vector<TextPart>& parts = text.rows.emplace_back();
        parts.reserve(width);
        for (size_t k = 0; k < width; ++k)
            parts.push_back(PartTextOf(field.parts[k], FieldValue{cells[first + k]}, names));
    }
    return text;
}

std::string ListNotation(const TextValue& value) {
    if (!value.isList) return value.single.text;
    std::string text;
    for (size_t k = 0; k < value.rows.size(); ++k) text += (k ? ";" : "") + RowNotation(value.rows[k]);
    return text;
}

namespace {

// Whether a part is written as export writes value, compared without copying names.
bool WrittenAs(const ValueSpec& rule, int64_t value, const TextPart& part, const ChoiceNames& names) {
    if (rule.kind == ValueKind::Offset) return !part.number && part.text == PointerTextOf(value);
    if (rule.kind == ValueKind::Choice) {
        if (const std::string* name = names.WrittenName(rule.list, value)) return part.text == *name;
    }
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    return error == std::errc{} && part.text == std::string_view(digits, static_cast<size_t>(end - digits));
}

}  // namespace

bool GivesCurrentValue(const SpeciesField& field, const TextValue& text, const ValueCheck& check) {
    if (!check.current || !check.names) return false;
    const FieldValue& current = *check.current;
    if (!field.isList) {
        if (text.isList) return false;
        if (const std::string* value = std::get_if<std::string>(&current))
            return Windows1252::ToUtf8(*value) == text.single.text;
        const int64_t* number = std::get_if<int64_t>(&current);
        return number && WrittenAs(field.parts.front(), *number, text.single, *check.names);
    }
    const ValueRows* rows = std::get_if<ValueRows>(&current);
    if (!rows || !text.isList) return false;
    const size_t width = field.parts.size();
    if (text.rows.size() * width != rows->size()) return false;
    for (size_t r = 0; r < text.rows.size(); ++r) {
        if (text.rows[r].size() != width) return false;
        for (size_t k = 0; k < width; ++k) {
            if (!WrittenAs(field.parts[k], (*rows)[r * width + k], text.rows[r][k], *check.names))
                return false;
        }
    }
    return true;
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
        } else if (field.readOnly && check.current && *check.current != *read.value) {
            parsed.problem =
                Quoted(text.single.text) + ": this value is shown for reference and cannot be changed";
        } else {
            parsed.value = std::move(read.value);
        }
        return parsed;
    }

    const ValueRows* currentRows = check.current ? std::get_if<ValueRows>(check.current) : nullptr;
    const size_t width = field.parts.size();
    // A row the ROM holds already stands as it is.
    const auto held = [currentRows, width](const int64_t* row) {
        if (!currentRows) return false;
        for (size_t first = 0; first + width <= currentRows->size(); first += width) {
            if (std::equal(row, row + width, currentRows->begin() + static_cast<std::ptrdiff_t>(first)))
                return true;
        }
        return false;
    };
    ValueRows rows;
    std::vector<std::vector<TextPart>> split;
    if (!text.isList) split = RowsOf(text);
    const std::vector<std::vector<TextPart>>& given = text.isList ? text.rows : split;
    if (field.maxRows > 0 && given.size() > field.maxRows) {
        parsed.problem = std::to_string(given.size()) + " rows, and this list holds at most " +
                         std::to_string(field.maxRows);
        return parsed;
    }
    rows.reserve(given.size() * width);
    for (size_t r = 0; r < given.size(); ++r) {
        const auto where = [&] {
            return "row " + std::to_string(r + 1) + " " + Quoted(RowNotation(given[r])) + ": ";
        };
        if (given[r].size() != width) {
            parsed.problem = where() + "a row of this list has " + std::to_string(width) + " parts";
            return parsed;
        }
        std::string beyond;
        for (size_t k = 0; k < width; ++k) {
            PartRead read = ReadPart(field.parts[k], given[r][k], check);
            if (!read.value) {
                parsed.problem = where() + read.problem;
                return parsed;
            }
            if (beyond.empty()) beyond = std::move(read.beyond);
            rows.push_back(std::get<int64_t>(*read.value));
        }
        if (!beyond.empty() && !held(rows.data() + rows.size() - width)) {
            parsed.problem = where() + beyond;
            return parsed;
        }
    }
    parsed.value = std::move(rows);
    return parsed;
}

std::optional<int32_t> ParseIndex(const TextPart& part) {
    const std::optional<int64_t> value = WholeNumber(Trimmed(part.text));
    if (!value || *value >= Species::kCount) return std::nullopt;
    return static_cast<int32_t>(*value);
}
