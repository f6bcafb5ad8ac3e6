#include "rom/SectionKeys.h"

#include "rom/SectionValues.h"

namespace {

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

}  // namespace

SectionKeys::SectionKeys(const std::string& iniPath, const std::string& section, std::string* problem)
    : iniPath_(iniPath), section_(section), shownSection_(Upper(section)), problem_(problem) {}

std::optional<int32_t> SectionKeys::Offset(const char* key) {
    if (!problem_->empty()) return std::nullopt;
    const std::string value = SectionValue(iniPath_, section_, key);
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
    if (problem_->empty() && SectionValue(iniPath_, section_, key).empty()) return byDefault;
    return Count(key, most);
}
