#include "rom/SectionValues.h"

#include <filesystem>
#include <limits>

#include "HexFunctions.h"
#include "ReadINI.h"

std::optional<int32_t> ParseIniOffset(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    if (begin == end) return std::nullopt;

    int base = 10;
    if (end - begin >= 2 && text[begin] == '&' && (text[begin + 1] == 'H' || text[begin + 1] == 'h')) {
        base = 16;
        begin += 2;
        if (begin == end) return std::nullopt;
    }
    int64_t value = 0;
    for (size_t i = begin; i < end; ++i) {
        const int digit = HexFunctions::HexDigitValue(text[i]);
        if (digit < 0 || digit >= base) return std::nullopt;
        value = value * base + digit;
        if (value > std::numeric_limits<int32_t>::max()) return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

std::string SectionValue(const std::string& iniPath, const std::string& section, const std::string& key) {
    const std::string own = ReadINI::ReadIniValue(iniPath, section, key);
    if (!own.empty()) return own;
    const std::string sameAs = ReadINI::ReadIniValue(iniPath, section, kSameAsKey);
    return sameAs.empty() ? own : ReadINI::ReadIniValue(iniPath, sameAs, key);
}

std::string RomSettingsPath(const std::string& romPath) {
    return romPath + ".ini";
}

namespace {

// What the releases of one game share, whatever their language or revision: how many entries the tables
// hold, how large a Pokédex entry is, and the header at 0x100 (the values below &H200 of the reference
// keys). Offsets and the references in code differ from release to release.
bool SharedByEveryRelease(const std::string& key, const std::string& value) {
    static const char* const kFormats[] = {"TutorCount", "ItemCount",    "MoveCount",   "AbilityCount",
                                           "TypeCount",  "DexEntrySize", "EggMoveRefs", "Language"};
    for (const char* format : kFormats) {
        if (key == format) return true;
    }
    if (key.ends_with("Ref")) {
        const std::optional<int32_t> at = ParseIniOffset(value);
        return at && *at < 0x200;
    }
    return false;
}

}  // namespace

GameSection::GameSection(std::string iniPath, std::string section, const std::string& romPath, Source source)
    : iniPath_(std::move(iniPath)),
      section_(std::move(section)),
      settingsPath_(RomSettingsPath(romPath)),
      source_(source) {
    std::error_code ignored;
    hasSettings_ = std::filesystem::is_regular_file(settingsPath_, ignored);
}

std::string GameSection::Value(const std::string& key) const {
    if (hasSettings_) {
        std::string own = ReadINI::ReadIniValue(settingsPath_, kRomSettingsSection, key);
        if (!own.empty()) return own;
    }
    return IniValue(key);
}

std::string GameSection::IniValue(const std::string& key) const {
    std::string value = SectionValue(iniPath_, section_, key);
    if (Searched() && !SharedByEveryRelease(key, value)) return {};
    return value;
}

bool GameSection::InSettings(const std::string& key) const {
    return hasSettings_ && !ReadINI::ReadIniValue(settingsPath_, kRomSettingsSection, key).empty();
}

std::string GameSection::SettingsName() const {
    return std::filesystem::path(settingsPath_).filename().string();
}
