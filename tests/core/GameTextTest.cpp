// The games' text characters: every code survives decoding and encoding byte for byte, the characters that
// differ from the species name table read as the games print them, and typed text encodes or is refused.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GameText.h"

namespace {

using Codes = std::vector<uint8_t>;

TEST(GameText, EveryCodeButTheEndSurvivesDecodingAndEncoding) {
    Codes all;
    for (int code = 0; code < 0xFF; ++code) all.push_back(static_cast<uint8_t>(code));
    const GameText::Encoded again = GameText::Encode(GameText::Decode(all));
    ASSERT_TRUE(again.ok()) << again.error;
    EXPECT_EQ(again.codes, all);
    EXPECT_EQ(GameText::Decode({0xBB, 0xFF, 0xBC}), "A");
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
