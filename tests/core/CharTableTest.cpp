#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "CharTable.h"

using namespace CharTable;

namespace {

std::string Hex(int code) {
    const char* digits = "0123456789ABCDEF";
    return std::string{digits[code >> 4], digits[code & 15]};
}

std::string Hex(const std::vector<int>& codes) {
    std::string text;
    for (int code : codes) text += Hex(code);
    return text;
}

// The decoding table of the spec, written out code by code. Texts are Windows-1252.
std::map<int, std::string> DecodingTable() {
    std::map<int, std::string> table = {
        {0x00, " "},    {0x1B, "\xE9"},  {0xAB, "!"},  {0xAC, "?"},  {0xAD, "."}, {0xAE, "-"},
        {0xAF, "\xB7"}, {0xB0, "[...]"}, {0xB1, "\""}, {0xB2, "\""}, {0xB4, "'"}, {0xB5, "\x0B"},
        {0xB6, "\x0C"}, {0xB7, "[x]"},   {0xB8, "/"},  {0xB9, "0"},  {0xBA, "0"}, {0xFE, "\r\n"},
    };
    for (int i = 0; i < 10; ++i) table[0xA1 + i] = std::string(1, static_cast<char>('0' + i));
    for (int i = 0; i < 26; ++i) {
        table[0xBB + i] = std::string(1, static_cast<char>('A' + i));
        table[0xD5 + i] = std::string(1, static_cast<char>('a' + i));
    }
    return table;
}

// The encoding table of the spec, character by character.
std::map<unsigned char, int> EncodingTable() {
    std::map<unsigned char, int> table = {
        {' ', 0x00},  {0xE9, 0x1B}, {'!', 0xAB},  {'?', 0xAC},  {'.', 0xAD}, {'-', 0xAE},
        {0xB7, 0xAF}, {'\'', 0xB4}, {0x0B, 0xB5}, {0x0C, 0xB6}, {'/', 0xB8}, {'^', 0xFF},
    };
    for (int i = 0; i < 10; ++i) table['0' + i] = 0xA1 + i;
    for (int i = 0; i < 26; ++i) {
        table['A' + i] = 0xBB + i;
        table['a' + i] = 0xD5 + i;
    }
    return table;
}

// The codes whose text does not encode back to themselves, listed once, with what saving writes instead.
const std::map<int, std::vector<int>> kKnownDifferences = {
    {0xB0, {0x00, 0xAD, 0xAD, 0xAD, 0x00}},  // "[...]": the brackets have no code
    {0xB7, {0x00, 0xEC, 0x00}},              // "[x]"
    {0xB1, {0x00}},                          // quotation marks have no code
    {0xB2, {0x00}},
    {0xB9, {0xA1}},  // the second and third zero become the first
    {0xBA, {0xA1}},
    {0xFE, {0x00, 0x00}},  // CR and LF have no code
};

TEST(CharTableDecode, EveryCodeAsTheTableSays) {
    const std::map<int, std::string> table = DecodingTable();
    for (int code = 0; code < 256; ++code) {
        const auto found = table.find(code);
        const std::string expected = found == table.end() ? "" : found->second;
        EXPECT_EQ(DecodeName(Hex(code)), expected) << Hex(code);
        // FF ends the name; every other code lets decoding go on to the next one.
        EXPECT_EQ(DecodeName(Hex(code) + "BB"), code == 0xFF ? "" : expected + "A") << Hex(code);
    }
}

TEST(CharTableEncode, EveryCharacterAsTheTableSays) {
    const std::map<unsigned char, int> table = EncodingTable();
    for (int c = 0; c < 256; ++c) {
        const auto found = table.find(static_cast<unsigned char>(c));
        const std::optional<std::string> expected =
            found == table.end() ? std::nullopt : std::optional<std::string>(Hex(found->second));
        EXPECT_EQ(EncodeChar(static_cast<char>(c)), expected) << c;
    }
}

// Saving what was read gives the same codes back, except for the known differences; codes outside the table
// vanish and FF is not text at all.
TEST(CharTableRoundTrip, EveryCodeReadAndSavedAgain) {
    for (int code = 0; code < 0xFF; ++code) {
        std::string saved;
        for (const char c : DecodeName(Hex(code))) saved += EncodeChar(c).value_or("00");
        const auto difference = kKnownDifferences.find(code);
        if (difference != kKnownDifferences.end()) {
            EXPECT_EQ(saved, Hex(difference->second)) << Hex(code);
        } else if (DecodingTable().count(code) != 0) {
            EXPECT_EQ(saved, Hex(code)) << Hex(code);
        } else {
            EXPECT_EQ(saved, "") << Hex(code);
        }
    }
}

TEST(CharTableRoundTrip, EveryCharacterSavedAndReadAgain) {
    for (int c = 0; c < 256; ++c) {
        const std::optional<std::string> code = EncodeChar(static_cast<char>(c));
        if (!code) continue;
        // "^" is the end marker: it is stored as FF and so reads back as the end of the name.
        const std::string expected = c == '^' ? "" : std::string(1, static_cast<char>(c));
        EXPECT_EQ(DecodeName(*code), expected) << c;
    }
}

// DecodeName on whole entries

struct DecodeCase {
    const char* name;
    std::string entry;
    std::string expected;
};

class DecodeNameCase : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeNameCase, Decodes) {
    EXPECT_EQ(DecodeName(GetParam().entry), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, DecodeNameCase,
    ::testing::Values(DecodeCase{"first_byte_ff_is_empty", "FFC2C3C400000000000000", ""},
                      DecodeCase{"stops_at_ff", "BCE9E0D6D5E7D5E9E6FF00", "Bulbasaur"},
                      DecodeCase{"no_ff_uses_all_eleven", "BBBCBDBEBFC0C1C2C3C4C5", "ABCDEFGHIJK"},
                      DecodeCase{"brackets", "B0B7FF", "[...][x]"},
                      DecodeCase{"farfetchd", "C0BBCCC0BFCEBDC2B4BEFF", "FARFETCH'D"},
                      DecodeCase{"symbols", "C8C3BEC9CCBBC8B5B6FF", "NIDORAN\x0B\x0C"},
                      DecodeCase{"zeros", "B9BAA1FF", "000"},
                      DecodeCase{"skipped_codes_shorten", "BB01B3BC", "AB"},
                      DecodeCase{"line_break", "BBFEBC", "A\r\nB"}, DecodeCase{"empty", "", ""},
                      DecodeCase{"odd_length_skips_the_last_digit", "BBB", "A"},
                      DecodeCase{"single_digit", "F", ""}, DecodeCase{"bad_pairs_skipped", "ZZBBG1BC", "AB"},
                      DecodeCase{"lower_case_pairs_match_no_code", "bbffBC", "B"},
                      DecodeCase{"high_bytes_skipped", std::string("\xFF\xFF") + "BB", "A"}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

// EncodeName

struct EncodeCase {
    const char* name;
    std::string text;
    std::vector<int> expected;
};

class EncodeNameCase : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeNameCase, Encodes) {
    EXPECT_EQ(EncodeName(GetParam().text), Hex(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Names, EncodeNameCase,
    ::testing::Values(
        EncodeCase{"empty_is_ten_bytes", "", {0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        EncodeCase{"one_character", "A", {0xBB, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        EncodeCase{"ten_characters_then_ff",
                   "Charmander",
                   {0xBD, 0xDC, 0xD5, 0xE6, 0xE1, 0xD5, 0xE2, 0xD8, 0xD9, 0xE6, 0xFF}},
        EncodeCase{"eleven_characters_no_ff",
                   "ABCDEFGHIJK",
                   {0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5}},
        EncodeCase{"longer_is_cut_to_eleven",
                   "ABCDEFGHIJKLMN",
                   {0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5}},
        EncodeCase{"caret_is_ff", "AB^CD", {0xBB, 0xBC, 0xFF, 0xBD, 0xBE, 0xFF, 0, 0, 0, 0, 0}},
        EncodeCase{
            "digits", "0123456789", {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xFF}},
        EncodeCase{"brackets_grow_past_the_end",
                   "AB[...][x]",
                   {0xBB, 0xBC, 0x00, 0xAD, 0xAD, 0xAD, 0x00, 0x00, 0xEC, 0x00, 0xFF}},
        EncodeCase{"unknown_characters_are_00", "\"[\xE8", {0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0}},
        EncodeCase{"symbols", "Nidoran\x0B", {0xC8, 0xDD, 0xD8, 0xE3, 0xE6, 0xD5, 0xE2, 0xB5, 0xFF, 0, 0}},
        EncodeCase{
            "apostrophe", "FARFETCH'D", {0xC0, 0xBB, 0xCC, 0xC0, 0xBF, 0xCE, 0xBD, 0xC2, 0xB4, 0xBE, 0xFF}},
        EncodeCase{"accent_and_dot", "\xE9\xB7", {0x1B, 0xAF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}}),
    [](const ::testing::TestParamInfo<EncodeCase>& info) { return std::string(info.param.name); });

TEST(CharTableEdges, ZeroCodesB9AndBaSaveAsA1) {
    EXPECT_EQ(DecodeName("B9BAFF"), "00");
    EXPECT_EQ(EncodeName(DecodeName("B9BAFF")), Hex({0xA1, 0xA1, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(CharTableEdges, CharactersOutsideTheTableReadBackAsSpaces) {
    EXPECT_EQ(DecodeName(EncodeName("A\"B")), "A B");
}

TEST(CharTableEdges, CaretInsideANameEndsItWhenReadBack) {
    EXPECT_EQ(DecodeName(EncodeName("AB^CD")), "AB");
}

TEST(CharTableEdges, EveryTypableNameOfUpToTenCharactersSurvives) {
    const std::string names[] = {"BULBASAUR",   "Mr. Mime", "Ho-Oh",      "Porygon2",   "FARFETCH'D",
                                 "Nidoran\x0C", "A B",      "9876543210", "\xE9\xB7!?/"};
    for (const std::string& name : names) {
        const std::string stored = EncodeName(name);
        ASSERT_EQ(stored.size(), 22u) << name;
        EXPECT_EQ(DecodeName(stored), name) << name;
    }
}

}  // namespace
