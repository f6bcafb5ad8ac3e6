#pragma once

#include <cstdint>
#include <optional>
#include <string>

// How Data.ini's sections are read: a key of a section, or of the section it names with SameAs=, and the
// numbers its offsets are written in. The opener, the keys of the optional tables and the names tables all
// read through here.

// A section may name another one whose keys it shares: a later revision that keeps every table where the one
// before has them holds only this key and its title.
inline constexpr const char* kSameAsKey = "SameAs";

// The value of key in section, or, when the section holds none and names another one with SameAs=, in that
// one (one step: its own SameAs is not followed, so two sections naming each other cannot send the lookup
// round in circles). Empty when neither holds it.
[[nodiscard]] std::string SectionValue(const std::string& iniPath, const std::string& section,
                                       const std::string& key);

// A whole number in decimal or "&H" hexadecimal, spaces around it ignored, that fits 32 bits signed.
[[nodiscard]] std::optional<int32_t> ParseIniOffset(const std::string& text);

// A ROM's own settings: a file beside it named after it with ".ini" added, one section [ROM] holding any key
// of a game section. A user fixes there what Data.ini gets wrong for this one ROM (a hack's moved table).
inline constexpr const char* kRomSettingsSection = "ROM";
[[nodiscard]] std::string RomSettingsPath(const std::string& romPath);

// The keys of the open ROM's game: its settings file first, then its Data.ini section (with SameAs).
class GameSection {
public:
    // Described: a section of the ROM's own release. Searched: the section of another release of the same
    // game, for a release Data.ini does not know; it lends only what every release of a game shares (counts,
    // sizes, the language, and the header of pointers at 0x100), so every table is looked for by search.
    enum class Source { Described, Searched };
    GameSection(std::string iniPath, std::string section, const std::string& romPath,
                Source source = Source::Described);

    [[nodiscard]] std::string Value(const std::string& key) const;
    // Data.ini's value alone, for telling a user where an offset came from.
    [[nodiscard]] std::string IniValue(const std::string& key) const;
    [[nodiscard]] bool InSettings(const std::string& key) const;

    [[nodiscard]] const std::string& Section() const { return section_; }
    [[nodiscard]] bool Searched() const { return source_ == Source::Searched; }
    // The settings file's name without its folder ("hack.gba.ini"), as messages show it.
    [[nodiscard]] std::string SettingsName() const;

private:
    std::string iniPath_;
    std::string section_;
    std::string settingsPath_;
    bool hasSettings_ = false;
    Source source_ = Source::Described;
};
