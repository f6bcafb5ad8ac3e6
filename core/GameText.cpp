#include "GameText.h"

#include <array>
#include <optional>
#include <utility>

#include "LatinLetters.h"

namespace GameText {
namespace {

// Each code with a character of its own, as Windows-1252. One character per code and one code per
// character, so the two directions are one table.
constexpr std::pair<uint8_t, char> kCharacters[] = {
    {0x00, ' '},    {0x2D, '&'},    {0x2E, '+'},    {0x35, '='},    {0x36, ';'},    {0x5B, '%'},
    {0x5C, '('},    {0x5D, ')'},    {0xAB, '!'},    {0xAC, '?'},    {0xAD, '.'},    {0xAE, '-'},
    {0xAF, '\xB7'}, {0xB0, '\x85'}, {0xB3, '\x91'}, {0xB4, '\x92'}, {0xB5, '\x0B'}, {0xB6, '\x0C'},
    {0xB8, ','},    {0xB9, '\xD7'}, {0xBA, '/'},    {0xF0, ':'},
};

constexpr uint8_t kOpeningDoubleQuote = 0xB1;
constexpr uint8_t kClosingDoubleQuote = 0xB2;
constexpr uint8_t kClosingSingleQuote = 0xB4;
constexpr size_t kEscapeLength = 4;  // "{5E}"

struct Tables {
    std::array<int, 256> character{};  // by code: the character's byte, or -1
    std::array<int, 256> code{};       // by character byte: the code, or -1
};

// The double quotes B1 and B2 are drawn as the language writes its quotes: “ ” in English, „ “ in German.
constexpr Tables MakeTables(char opening, char closing) {
    Tables t;
    for (int& c : t.character) c = -1;
    for (int& c : t.code) c = -1;
    const auto add = [&t](int code, char character) {
        t.character[code] = static_cast<unsigned char>(character);
        t.code[static_cast<unsigned char>(character)] = code;
    };
    for (int i = 0; i < 10; ++i) add(0xA1 + i, static_cast<char>('0' + i));
    for (int i = 0; i < 26; ++i) {
        add(0xBB + i, static_cast<char>('A' + i));
        add(0xD5 + i, static_cast<char>('a' + i));
    }
    for (const auto& [code, character] : kCharacters) add(code, character);
    for (const LatinLetters::Letter& letter : LatinLetters::kAll) add(letter.code, letter.character);
    add(kOpeningDoubleQuote, opening);
    add(kClosingDoubleQuote, closing);
    return t;
}
constexpr Tables kEnglish = MakeTables('\x93', '\x94');
constexpr Tables kGerman = MakeTables('\x84', '\x93');

const Tables& TablesOf(Language language) {
    return language == Language::German ? kGerman : kEnglish;
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The code of an escape "{XX}" at text[at], or -1 when there is none.
int EscapeAt(const std::string& text, size_t at) {
    if (at + kEscapeLength > text.size() || text[at] != '{' || text[at + 3] != '}') return -1;
    const int high = HexValue(text[at + 1]);
    const int low = HexValue(text[at + 2]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// A double quote opens at the start of a line or after a space or an opening bracket.
uint8_t DoubleQuoteAfter(const std::vector<uint8_t>& codes) {
    if (codes.empty()) return kOpeningDoubleQuote;
    const uint8_t before = codes.back();
    const bool opens = before == 0x00 || before == kLineBreak || before == 0x5C;
    return opens ? kOpeningDoubleQuote : kClosingDoubleQuote;
}

std::string Named(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return "The control character " + std::to_string(byte);
    return std::string("The character \"") + c + "\"";
}

}  // namespace

std::string Decode(const uint8_t* codes, size_t count, Language language) {
    const Tables& tables = TablesOf(language);
    std::string text;
    text.reserve(count);
    for (size_t k = 0; k < count && codes[k] != kEnd; ++k) {
        const uint8_t code = codes[k];
        if (code == kLineBreak) {
            text += '\n';
        } else if (tables.character[code] >= 0) {
            text += static_cast<char>(tables.character[code]);
        } else {
            text += {'{', kHexDigits[code >> 4], kHexDigits[code & 0x0F], '}'};
        }
    }
    return text;
}

std::string Decode(const std::vector<uint8_t>& codes, Language language) {
    return Decode(codes.data(), codes.size(), language);
}

Encoded Encode(const std::string& text, Language language) {
    const Tables& tables = TablesOf(language);
    Encoded encoded;
    encoded.codes.reserve(text.size());
    for (size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (const int escaped = EscapeAt(text, k); escaped >= 0) {
            if (escaped == kEnd) {
                encoded.error = "{FF} ends a text, so it cannot stand inside one.";
                return encoded;
            }
            encoded.codes.push_back(static_cast<uint8_t>(escaped));
            k += kEscapeLength - 1;
        } else if (c == '\n' || (c == '\r' && k + 1 < text.size() && text[k + 1] == '\n')) {
            if (c == '\r') ++k;
            encoded.codes.push_back(kLineBreak);
        } else if (c == '\'') {
            encoded.codes.push_back(kClosingSingleQuote);
        } else if (c == '"') {
            encoded.codes.push_back(DoubleQuoteAfter(encoded.codes));
        } else if (const int code = tables.code[static_cast<unsigned char>(c)]; code >= 0) {
            encoded.codes.push_back(static_cast<uint8_t>(code));
        } else {
            encoded.error = Named(c) +
                            " has no code in the game's text; a code can be written as {XX}, "
                            "for example {5E}.";
            return encoded;
        }
    }
    return encoded;
}

std::optional<Language> LanguageNamed(const std::string& name) {
    if (name.empty() || name == "en") return Language::English;
    if (name == "de") return Language::German;
    return std::nullopt;
}

std::vector<int> LineLengths(const std::vector<uint8_t>& codes) {
    std::vector<int> lengths = {0};
    for (const uint8_t code : codes) {
        if (code == kLineBreak)
            lengths.push_back(0);
        else
            ++lengths.back();
    }
    return lengths;
}

}  // namespace GameText
