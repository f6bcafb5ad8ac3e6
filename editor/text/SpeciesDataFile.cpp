#include "text/SpeciesDataFile.h"

#include <array>
#include <string_view>
#include <vector>

#include "ReadINI.h"

namespace {

constexpr size_t kFieldCount = 20;

// What each field holds, for the messages; the position is the field number less one.
constexpr std::array<std::string_view, kFieldCount> kFieldMeanings = {"name",
                                                                      "base HP",
                                                                      "base Attack",
                                                                      "base Defense",
                                                                      "base Speed",
                                                                      "base Special Attack",
                                                                      "base Special Defense",
                                                                      "base experience yield",
                                                                      "catch rate",
                                                                      "type 1",
                                                                      "type 2",
                                                                      "held item 1",
                                                                      "held item 2",
                                                                      "ability 1",
                                                                      "ability 2",
                                                                      "Safari Zone run chance",
                                                                      "egg type 1",
                                                                      "egg type 2",
                                                                      "steps to hatch",
                                                                      "gender ratio"};

std::string FieldName(size_t index) {
    return "Field " + std::to_string(index + 1) + " (" + std::string(kFieldMeanings[index]) + ")";
}

std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view kAround = " \t\r\n";
    const size_t first = text.find_first_not_of(kAround);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kAround) - first + 1);
}

// A whole number with an optional sign. Values beyond what any list can hold are held at a bound that is
// still outside every list, so that the range check names them instead of an overflow.
std::optional<long long> ParseWholeNumber(std::string_view text) {
    constexpr long long kBound = 1'000'000'000'000LL;
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        if (value < kBound) value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

std::string EntriesText(int size) {
    return std::to_string(size) + (size == 1 ? " entry" : " entries");
}

// A number as a message quotes it. A field can be of any length, a megabyte on one line, and the message goes
// into a message box: a long number is shown by its start and its length.
std::string Shown(std::string_view number) {
    constexpr size_t kShownCharacters = 32;
    if (number.size() <= kShownCharacters) return std::string(number);
    return std::string(number.substr(0, kShownCharacters)) + "... (" + std::to_string(number.size()) +
           " characters)";
}

// Reads list field index into position; an empty result means it fits its list.
std::string ReadListField(const std::vector<std::string>& fields, size_t index, int listSize, int& position) {
    const std::string_view number = Trimmed(fields[index]);
    const std::optional<long long> value = ParseWholeNumber(number);
    if (!value) return FieldName(index) + " is not a whole number.";
    if (*value < -1 || *value >= listSize) {
        return FieldName(index) + " is " + Shown(number) + ", outside its list of " + EntriesText(listSize) +
               ".";
    }
    position = static_cast<int>(*value);
    return {};
}

}  // namespace

std::string FormatSpeciesLine(const SpeciesFileValues& v) {
    const auto position = [](int p) { return std::to_string(p); };
    const std::array<std::string, kFieldCount> fields = {v.name,
                                                         v.hp,
                                                         v.attack,
                                                         v.defense,
                                                         v.speed,
                                                         v.spAttack,
                                                         v.spDefense,
                                                         v.baseXp,
                                                         v.catchRate,
                                                         position(v.type1),
                                                         position(v.type2),
                                                         position(v.item1),
                                                         position(v.item2),
                                                         position(v.ability1),
                                                         position(v.ability2),
                                                         v.safari,
                                                         position(v.eggType1),
                                                         position(v.eggType2),
                                                         position(v.steps),
                                                         position(v.gender)};
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += '|';
        line += fields[i];
    }
    return line;
}

SpeciesFileParse ParseSpeciesFile(const std::string& text, const SpeciesListSizes& sizes) {
    SpeciesFileParse parse;
    const std::vector<std::string> fields = ReadINI::SplitText(text, "|");
    if (fields.empty()) {
        parse.error = "The file is empty; a species data file holds 20 fields separated by \"|\".";
        return parse;
    }
    if (fields.size() < kFieldCount) {
        parse.error = "The file holds only " + std::to_string(fields.size()) +
                      (fields.size() == 1 ? " field" : " fields") +
                      "; a species data file holds 20 fields separated by \"|\".";
        return parse;
    }

    SpeciesFileValues values;
    values.name = fields[0];
    values.hp = fields[1];
    values.attack = fields[2];
    values.defense = fields[3];
    values.speed = fields[4];
    values.spAttack = fields[5];
    values.spDefense = fields[6];
    values.baseXp = fields[7];
    values.catchRate = fields[8];
    values.safari = fields[15];

    const struct {
        size_t index;
        int size;
        int* position;
    } listFields[] = {
        {9, sizes.types, &values.type1},         {10, sizes.types, &values.type2},
        {11, sizes.items, &values.item1},        {12, sizes.items, &values.item2},
        {13, sizes.abilities, &values.ability1}, {14, sizes.abilities, &values.ability2},
        {16, sizes.eggTypes, &values.eggType1},  {17, sizes.eggTypes, &values.eggType2},
        {18, sizes.steps, &values.steps},        {19, sizes.gender, &values.gender},
    };
    for (const auto& field : listFields) {
        std::string error = ReadListField(fields, field.index, field.size, *field.position);
        if (!error.empty()) {
            parse.error = std::move(error);
            return parse;
        }
    }
    parse.values = std::move(values);
    return parse;
}
