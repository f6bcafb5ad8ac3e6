#include "GameText.h"

#include <array>
#include <utility>

namespace GameText {
namespace {

// Each code with a character of its own, as Windows-1252. One character per code and one code per
// character, so the two directions are one table.
constexpr std::pair<uint8_t, char> kCharacters[] = {
    {0x00, ' '},    {0x01, '\xC0'}, {0x02, '\xC1'}, {0x03, '\xC2'}, {0x04, '\xC7'}, {0x05, '\xC8'},
    {0x06, '\xC9'}, {0x07, '\xCA'}, {0x08, '\xCB'}, {0x09, '\xCC'}, {0x0B, '\xCE'}, {0x0C, '\xCF'},
    {0x0D, '\xD2'}, {0x0E, '\xD3'}, {0x0F, '\xD4'}, {0x10, '\x8C'}, {0x11, '\xD9'}, {0x12, '\xDA'},
    {0x13, '\xDB'}, {0x14, '\xD1'}, {0x15, '\xDF'}, {0x16, '\xE0'}, {0x17, '\xE1'}, {0x19, '\xE7'},
    {0x1A, '\xE8'}, {0x1B, '\xE9'}, {0x1C, '\xEA'}, {0x1D, '\xEB'}, {0x1E, '\xEC'}, {0x20, '\xEE'},
    {0x21, '\xEF'}, {0x22, '\xF2'}, {0x23, '\xF3'}, {0x24, '\xF4'}, {0x25, '\x9C'}, {0x26, '\xF9'},
    {0x27, '\xFA'}, {0x28, '\xFB'}, {0x29, '\xF1'}, {0x2A, '\xBA'}, {0x2B, '\xAA'}, {0x2D, '&'},
    {0x2E, '+'},    {0x35, '='},    {0x36, ';'},    {0x51, '\xBF'}, {0x52, '\xA1'}, {0x5A, '\xCD'},
    {0x5B, '%'},    {0x5C, '('},    {0x5D, ')'},    {0x68, '\xE2'}, {0x6F, '\xED'}, {0xAB, '!'},
    {0xAC, '?'},    {0xAD, '.'},    {0xAE, '-'},    {0xAF, '\xB7'}, {0xB0, '\x85'}, {0xB1, '\x93'},
    {0xB2, '\x94'}, {0xB3, '\x91'}, {0xB4, '\x92'}, {0xB5, '\x0B'}, {0xB6, '\x0C'}, {0xB8, ','},
    {0xB9, '\xD7'}, {0xBA, '/'},    {0xF0, ':'},    {0xF1, '\xC4'}, {0xF2, '\xD6'}, {0xF3, '\xDC'},
    {0xF4, '\xE4'}, {0xF5, '\xF6'}, {0xF6, '\xFC'},
};

constexpr uint8_t kOpeningDoubleQuote = 0xB1;
constexpr uint8_t kClosingDoubleQuote = 0xB2;
constexpr uint8_t kClosingSingleQuote = 0xB4;
constexpr size_t kEscapeLength = 4;  // "{5E}"

struct Tables {
    std::array<int, 256> character{};  // by code: the character's byte, or -1
    std::array<int, 256> code{};       // by character byte: the code, or -1
};

constexpr Tables MakeTables() {
    Tables t;
    for (int& c : t.character) c = -1;
    for (int& c : t.code) c = -1;
    for (int i = 0; i < 10; ++i) {
        t.character[0xA1 + i] = '0' + i;
        t.code['0' + i] = 0xA1 + i;
    }
    for (int i = 0; i < 26; ++i) {
        t.character[0xBB + i] = 'A' + i;
        t.code['A' + i] = 0xBB + i;
        t.character[0xD5 + i] = 'a' + i;
        t.code['a' + i] = 0xD5 + i;
    }
    for (const auto& [code, character] : kCharacters) {
        t.character[code] = static_cast<unsigned char>(character);
        t.code[static_cast<unsigned char>(character)] = code;
    }
    return t;
}
constexpr Tables kTables = MakeTables();

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

std::string Decode(const uint8_t* codes, size_t count) {
    std::string text;
    text.reserve(count);
    for (size_t k = 0; k < count && codes[k] != kEnd; ++k) {
        const uint8_t code = codes[k];
        if (code == kLineBreak) {
            text += '\n';
        } else if (kTables.character[code] >= 0) {
            text += static_cast<char>(kTables.character[code]);
        } else {
            text += {'{', kHexDigits[code >> 4], kHexDigits[code & 0x0F], '}'};
        }
    }
    return text;
}

std::string Decode(const std::vector<uint8_t>& codes) {
    return Decode(codes.data(), codes.size());
}

Encoded Encode(const std::string& text) {
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
        } else if (const int code = kTables.code[static_cast<unsigned char>(c)]; code >= 0) {
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
