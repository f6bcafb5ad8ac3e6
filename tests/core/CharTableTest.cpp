#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "CharTable.h"

using namespace CharTable;

namespace {

std::string Hex(const std::vector<int>& codes) {
    std::string text;
    for (int code : codes) text += {"0123456789ABCDEF"[code >> 4], "0123456789ABCDEF"[code & 15]};
    return text;
}

// What each code reads as (Windows-1252); codes not listed are skipped and FF ends the name.
std::map<int, std::string> Decoded() {
    std::map<int, std::string> table = {
        {0x00, " "},    {0x1B, "\xE9"},  {0xAB, "!"},  {0xAC, "?"},  {0xAD, "."}, {0xAE, "-"},
        {0xAF, "\xB7"}, {0xB0, "[...]"}, {0xB1, "\""}, {0xB2, "\""}, {0xB4, "'"}, {0xB5, "\x0B"},
        {0xB6, "\x0C"}, {0xB7, "[x]"},   {0xB8, "/"},  {0xB9, "0"},  {0xBA, "0"}, {0xFE, "\r\n"},
    };
    // The Latin letters of the European releases, as Windows-1252.
    const std::string latin =
        "\xC0\xC1\xC2\xC7\xC8\xC9\xCA\xCB\xCC\xCE\xCF\xD2\xD3\xD4\x8C\xD9\xDA\xDB\xD1\xDF"
        "\xE0\xE1\xE7\xE8\xE9\xEA\xEB\xEC\xEE\xEF\xF2\xF3\xF4\x9C\xF9\xFA\xFB\xF1\xBA\xAA"
        "\xBF\xA1\xCD\xE2\xED\xC4\xD6\xDC\xE4\xF6\xFC";
    const int codes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0B, 0x0C, 0x0D, 0x0E,
                         0x0F, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x19, 0x1A, 0x1B, 0x1C,
                         0x1D, 0x1E, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A,
                         0x2B, 0x51, 0x52, 0x5A, 0x68, 0x6F, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6};
    for (size_t k = 0; k < latin.size(); ++k) table[codes[k]] = latin.substr(k, 1);
    for (int i = 0; i < 10; ++i) table[0xA1 + i] = std::string(1, static_cast<char>('0' + i));
    for (int i = 0; i < 26; ++i) {
        table[0xBB + i] = std::string(1, static_cast<char>('A' + i));
        table[0xD5 + i] = std::string(1, static_cast<char>('a' + i));
    }
    return table;
}

TEST(CharTable, EveryCodeDecodesAsTheTableSays) {
    const std::map<int, std::string> table = Decoded();
    for (int code = 0; code < 256; ++code) {
        const auto found = table.find(code);
        const std::string expected = found == table.end() ? "" : found->second;
        EXPECT_EQ(DecodeName(Hex({code})), expected) << code;
        EXPECT_EQ(DecodeName(Hex({code, 0xBB})), code == 0xFF ? "" : expected + "A") << code;
        // From the bytes themselves, also past the 16 codes a table decoder handles at once.
        std::vector<unsigned char> codes(40, static_cast<unsigned char>(code));
        codes.push_back(0xBB);
        std::string repeated;
        for (int k = 0; k < 40 && code != 0xFF; ++k) repeated += expected;
        EXPECT_EQ(DecodeCodes(codes.data(), codes.size()), code == 0xFF ? "" : repeated + "A") << code;
    }
}

// A character encodes as the lowest code that reads as it; quotation marks have none, "^" is the end marker.
TEST(CharTable, EveryCharacterEncodesAsTheTableSays) {
    std::map<char, int> table = {{'^', 0xFF}};
    for (const auto& [code, text] : Decoded()) {
        if (text.size() == 1 && text != "\"") table.emplace(text[0], code);
    }
    for (int c = 0; c < 256; ++c) {
        const auto found = table.find(static_cast<char>(c));
        EXPECT_EQ(EncodeChar(static_cast<char>(c)),
                  found == table.end() ? std::nullopt : std::optional<std::string>(Hex({found->second})))
            << c;
    }
    EXPECT_EQ(EncodeName("\"A\xE5"), Hex({0, 0xBB, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0}));
}

// Names longer than ten characters get no end mark; a character without a code becomes 00, so that the
// codes read as "[...]" and "[x]" change when saved again.
TEST(CharTable, EncodeNamePadsToElevenBytes) {
    const std::pair<std::string, std::vector<int>> cases[] = {
        {"Charmander", {0xBD, 0xDC, 0xD5, 0xE6, 0xE1, 0xD5, 0xE2, 0xD8, 0xD9, 0xE6, 0xFF}},
        {"ABCDEFGHIJK", {0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5}},
        {"", {0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"A^B", {0xBB, 0xFF, 0xBC, 0xFF, 0, 0, 0, 0, 0, 0, 0}},
        {DecodeName("B0B7FF"), {0, 0xAD, 0xAD, 0xAD, 0, 0, 0xEC, 0, 0xFF, 0, 0}},
    };
    for (const auto& [name, codes] : cases) EXPECT_EQ(EncodeName(name), Hex(codes)) << name;
}

}  // namespace
