#include "text/MainSettings.h"

#include <filesystem>
#include <system_error>

#include "ReadINI.h"

namespace {
constexpr char kSection[] = "Main";
}  // namespace

MainSettings::MainSettings(std::string dataIni, std::string userCopy)
    : dataIni_(std::move(dataIni)), userCopy_(std::move(userCopy)) {}

std::string MainSettings::Read(const std::string& key) const {
    std::string value = ReadINI::ReadIniValue(userCopy_, kSection, key);
    return value.empty() ? ReadINI::ReadIniValue(dataIni_, kSection, key) : value;
}

SettingsStored MainSettings::Store(const std::vector<std::pair<std::string, std::string>>& values) const {
    std::vector<std::string> lost;
    bool dataRefused = false;
    for (const auto& [key, value] : values) {
        const bool inCopy = !ReadINI::ReadIniValue(userCopy_, kSection, key).empty();
        const bool inData = ReadINI::WriteIniValue(dataIni_, kSection, key, value);
        if (inData && !inCopy) continue;
        std::error_code ignored;  // a folder that cannot be made shows as the write failing
        std::filesystem::create_directories(std::filesystem::path(userCopy_).parent_path(), ignored);
        if (ReadINI::WriteIniValue(userCopy_, kSection, key, value)) continue;
        lost.push_back(key);
        dataRefused = dataRefused || !inData;
    }
    if (lost.empty()) return {true, {}};
    std::string names = lost[0];
    for (size_t k = 1; k < lost.size(); ++k) names += (k + 1 == lost.size() ? " and " : ", ") + lost[k];
    const std::string where =
        dataRefused ? "neither \"" + dataIni_ + "\" nor \"" + userCopy_ + "\" can be written"
                    : "\"" + userCopy_ + "\", which is read before \"" + dataIni_ + "\", cannot be written";
    return {false, (lost.size() == 1 ? "The setting " : "The settings ") + names +
                       " could not be stored: " + where + ". It stays in effect until the program ends."};
}
