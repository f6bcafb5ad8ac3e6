// The games' text characters: every code survives decoding and encoding byte for byte, the characters that
// differ from the species name table read as the games print them, and typed text encodes or is refused.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GameText.h"

namespace {

using Codes = std::vector<uint8_t>;

TEST(GameText, EveryCodeButTheEndSurvivesDecodingAndEncodingInEitherLanguage) {
    Codes all;
    for (int code = 0; code < 0xFF; ++code) all.push_back(static_cast<uint8_t>(code));
    for (const GameText::Language language : {GameText::Language::English, GameText::Language::German}) {
        const GameText::Encoded again = GameText::Encode(GameText::Decode(all, language), language);
        ASSERT_TRUE(again.ok()) << again.error;
        EXPECT_EQ(again.codes, all);
    }
    EXPECT_EQ(GameText::Decode({0xBB, 0xFF, 0xBC}), "A");
}

// The double quotes are the language's: a German text's closing quote is the English opening one.
TEST(GameText, DoubleQuotesAreTheLanguages) {
    using enum GameText::Language;
    const struct {
        GameText::Language language;
        std::string text;
        Codes codes;
    } cases[] = {
        {English, "\x93x\x94", {0xB1, 0xEC, 0xB2}},
        {German, "\x84x\x93", {0xB1, 0xEC, 0xB2}},
        {German, "\"x\"", {0xB1, 0xEC, 0xB2}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GameText::Encode(c.text, c.language).codes, c.codes) << c.text;
        if (c.text[0] != '"') {
            EXPECT_EQ(GameText::Decode(c.codes, c.language), c.text);
        }
    }
    EXPECT_FALSE(GameText::Encode("\x84", English).ok());
    EXPECT_FALSE(GameText::Encode("\x94", German).ok());
    EXPECT_EQ(GameText::LanguageNamed("de"), German);
    EXPECT_EQ(GameText::LanguageNamed(""), English);
    EXPECT_EQ(GameText::LanguageNamed("en"), English);
    EXPECT_EQ(GameText::LanguageNamed("fr"), std::nullopt);
}

// Where game text is not the name table, and how a code without a character shows.
TEST(GameText, TheCharactersOfRunningTextDecodeAsPrinted) {
    const std::pair<Codes, std::string> cases[] = {
        {{0xB8, 0xB9, 0xBA}, ",\xD7/"},
        {{0xB0, 0xB1, 0xB2, 0xB3, 0xB4}, "\x85\x93\x94\x91\x92"},
        {{0x5C, 0x1B, 0x5D, 0xB5, 0xB6}, "(\xE9)\x0B\x0C"},
        {{0xA1, 0xAA, 0xBB, 0xD4, 0xD5, 0xEE, 0x00, 0xAB, 0xAC, 0xAD, 0xAE}, "09AZaz !?.-"},
        {{0xC3, 0xFE, 0xC3}, "I\nI"},
        {{0x5E, 0xB7, 0xFC, 0x01}, "{5E}{B7}{FC}\xC0"},
        {{0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0x15, 0x10, 0x25}, "\xC4\xD6\xDC\xE4\xF6\xFC\xDF\x8C\x9C"},
    };
    for (const auto& [codes, text] : cases) {
        EXPECT_EQ(GameText::Decode(codes), text);
        EXPECT_EQ(GameText::Encode(text).codes, codes) << text;
    }
}

TEST(GameText, TypedTextEncodesOrIsRefusedWithItsCharacter) {
    const struct {
        std::string typed;
        Codes codes;
        const char* refusal;
    } cases[] = {
        {"It's \"hot\"", {0xC3, 0xE8, 0xB4, 0xE7, 0x00, 0xB1, 0xDC, 0xE3, 0xE8, 0xB2}, nullptr},
        {"\"(\"x\")\"", {0xB1, 0x5C, 0xB1, 0xEC, 0xB2, 0x5D, 0xB2}, nullptr},
        {"a\r\nb\n{fe}{0A}{00}", {0xD5, 0xFE, 0xD6, 0xFE, 0xFE, 0x0A, 0x00}, nullptr},
        {"{5G}", {}, "The character \"{\""},
        {"a~", {}, "The character \"~\""},
        {"\t", {}, "The control character 9"},
        {"x{FF}", {}, "{FF} ends a text"},
    };
    for (const auto& c : cases) {
        const GameText::Encoded encoded = GameText::Encode(c.typed);
        EXPECT_EQ(encoded.ok(), c.refusal == nullptr) << c.typed;
        if (c.refusal) {
            EXPECT_EQ(encoded.error.rfind(c.refusal, 0), 0u) << encoded.error;
        } else {
            EXPECT_EQ(encoded.codes, c.codes) << c.typed;
        }
    }
}

TEST(GameText, LinesAreCountedInCodes) {
    EXPECT_EQ(GameText::LineLengths({}), std::vector<int>({0}));
    EXPECT_EQ(GameText::LineLengths({0xBB, 0x5E, 0xFE, 0xFE, 0xBB}), std::vector<int>({2, 0, 1}));
}

}  // namespace
