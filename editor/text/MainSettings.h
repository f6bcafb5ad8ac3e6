#pragma once

#include <string>
#include <utility>
#include <vector>

struct SettingsStored {
    bool ok = false;
    std::string error;  // names the keys and both files when a value reached neither
};

// The program's settings, section [Main] of Data.ini. An installed Data.ini is usually read-only, so a
// per-user copy of the section takes what Data.ini cannot, and is read first.
class MainSettings {
public:
    MainSettings(std::string dataIni, std::string userCopy);

    // The user's copy's value when it has one, otherwise Data.ini's; empty when neither has the key.
    [[nodiscard]] std::string Read(const std::string& key) const;

    // Each value goes to Data.ini, and to the user's copy where Data.ini cannot be written or the copy
    // already holds the key (it is read first, so it must not keep an older value). Not ok when a value
    // would not read back.
    [[nodiscard]] SettingsStored Store(const std::vector<std::pair<std::string, std::string>>& values) const;

    const std::string& DataIni() const { return dataIni_; }
    const std::string& UserCopy() const { return userCopy_; }

private:
    std::string dataIni_;
    std::string userCopy_;
};
