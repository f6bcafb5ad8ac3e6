#include "rom/SectionKeys.h"

namespace {

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

}  // namespace

SectionKeys::SectionKeys(const GameSection& keys, const LocatedTables& located, std::string* problem)
    : keys_(keys), located_(located), shownSection_(Upper(keys.Section())), problem_(problem) {}

std::optional<int32_t> SectionKeys::Offset(const char* key) {
    if (!problem_->empty()) return std::nullopt;
    if (const LocatedTable* table = located_.Find(key)) {
        if (table->offset) return table->offset;
        if (!table->problem.empty()) {
            *problem_ = table->NotFound();
            return std::nullopt;
        }
    }
    const std::string value = keys_.Value(key);
    if (value.empty()) {
        *problem_ = "Data.ini's section [" + shownSection_ + "] has no " + key + " key.";
        return std::nullopt;
    }
    const std::optional<int32_t> offset = ParseIniOffset(value);
    if (!offset) {
        *problem_ = "The key " + std::string(key) + " in section [" + shownSection_ + "] of Data.ini is \"" +
                    value + "\", which is not a file offset.";
    }
    return offset;
}

std::optional<int32_t> SectionKeys::Count(const char* key, int32_t most) {
    const std::optional<int32_t> count = Offset(key);
    if (count && *count > most) {
        *problem_ = "The key " + std::string(key) + " in section [" + shownSection_ + "] of Data.ini is " +
                    std::to_string(*count) + "; it must be a whole number from 0 to " + std::to_string(most) +
                    ".";
        return std::nullopt;
    }
    return count;
}

std::optional<int32_t> SectionKeys::Count(const char* key, int32_t most, int32_t byDefault) {
    if (problem_->empty() && keys_.Value(key).empty()) return byDefault;
    return Count(key, most);
}
