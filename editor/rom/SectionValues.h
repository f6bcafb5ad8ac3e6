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
