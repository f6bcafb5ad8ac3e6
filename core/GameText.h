#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The games' character set for running text (Pokédex descriptions and categories). It differs from the
// species name table in places (B8 is a comma there, B9 a multiplication sign), so names keep CharTable.
// Texts are single-byte Windows-1252 strings, the male and female symbols the characters 11 and 12, as
// everywhere else. A code with no character of its own shows as an escape "{5E}" that encodes back to the
// same code, so that showing a text and saving it unchanged never loses a byte.
namespace GameText {

inline constexpr uint8_t kLineBreak = 0xFE;  // shown as '\n'
inline constexpr uint8_t kEnd = 0xFF;        // ends every text; never inside one

// The releases differ in how they draw the double quotes B1 and B2: “ ” in English, „ “ in German.
enum class Language { English, German };
// The value of a game section's Language key: "en" (or none) and "de"; nothing for any other.
[[nodiscard]] std::optional<Language> LanguageNamed(const std::string& name);

// The codes up to the first FF (or all of them) as text.
[[nodiscard]] std::string Decode(const uint8_t* codes, size_t count, Language language = Language::English);
[[nodiscard]] std::string Decode(const std::vector<uint8_t>& codes, Language language = Language::English);

struct Encoded {
    std::vector<uint8_t> codes;  // without the FF that ends the text
    std::string error;           // the first character that has no code, as a sentence; empty when encoded
    [[nodiscard]] bool ok() const { return error.empty(); }
};

// A plain apostrophe encodes as the closing single quote (B4), and a plain double quote as the opening (B1)
// or closing one (B2) by what stands before it, so that typed quotes come out as the games print them. CR LF
// counts as one line break.
[[nodiscard]] Encoded Encode(const std::string& text, Language language = Language::English);

// The characters of each line of codes (as the game shows them: one per code), lines split at FE.
[[nodiscard]] std::vector<int> LineLengths(const std::vector<uint8_t>& codes);

}  // namespace GameText
