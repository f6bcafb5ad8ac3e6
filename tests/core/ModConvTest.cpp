#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "modConv.h"

using namespace modConv;

namespace {

constexpr const char* kNotWhole = "Only Whole Numbers can be converted";
constexpr const char* kNotBinary = "NOT A BINARY NUMBER";
constexpr const char* kNothingGiven = "Nothing Given..";
constexpr const char* kNotHex = "Number given is not in Hex format";

// Catches every message for the length of a test and puts the previous sink back afterwards.
class ConversionMessages : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = SetMessageSink([this](const std::string& message) { messages.push_back(message); });
    }
    void TearDown() override { SetMessageSink(previous_); }

    std::vector<std::string> messages;

private:
    MessageSink previous_;
};

using Messages = std::vector<std::string>;

// DecToBin

struct DecCase {
    double number;
    std::string expected;
};

class DecToBinCase : public ConversionMessages, public ::testing::WithParamInterface<DecCase> {};

TEST_P(DecToBinCase, GivesBinaryDigitsWithoutLeadingZeros) {
    EXPECT_EQ(DecToBin(GetParam().number), GetParam().expected);
    EXPECT_EQ(messages, Messages{});
}

INSTANTIATE_TEST_SUITE_P(
    WholeNumbers, DecToBinCase,
    ::testing::Values(DecCase{0, "0"}, DecCase{-0.0, "0"}, DecCase{1, "1"}, DecCase{2, "10"},
                      DecCase{3, "11"}, DecCase{6, "110"}, DecCase{255, "11111111"},
                      DecCase{256, "100000000"},
                      DecCase{9007199254740993.0, "1" + std::string(53, '0')},      // rounds to 2^53
                      DecCase{18446744073709551615.0, "1" + std::string(64, '0')},  // 2^64, past uint64
                      DecCase{std::ldexp(1.0, 70) + std::ldexp(1.0, 20),
                              "1" + std::string(49, '0') + "1" + std::string(20, '0')},
                      DecCase{std::ldexp(1.0, 1023), "1" + std::string(1023, '0')}));

class DecToBinRefused : public ConversionMessages, public ::testing::WithParamInterface<double> {};

TEST_P(DecToBinRefused, ShowsOneMessageAndGivesNothing) {
    EXPECT_EQ(DecToBin(GetParam()), "");
    EXPECT_EQ(messages, Messages{kNotWhole});
}

INSTANTIATE_TEST_SUITE_P(NotWholeFromZeroUp, DecToBinRefused,
                         ::testing::Values(1.5, 0.1, 2.000001, std::numeric_limits<double>::denorm_min(),
                                           -1.0, -0.5, -1e300, std::numeric_limits<double>::quiet_NaN(),
                                           std::numeric_limits<double>::infinity(),
                                           -std::numeric_limits<double>::infinity()));

// BinToHex

struct BinCase {
    std::string digits;
    std::string expected;
};

class BinToHexCase : public ConversionMessages, public ::testing::WithParamInterface<BinCase> {};

TEST_P(BinToHexCase, GivesOneDigitPerFourAfterLeftPadding) {
    EXPECT_EQ(BinToHex(GetParam().digits), GetParam().expected);
    EXPECT_EQ(messages, Messages{});
}

INSTANTIATE_TEST_SUITE_P(Digits, BinToHexCase,
                         ::testing::Values(BinCase{"111", "7"}, BinCase{"0000", "0"},
                                           BinCase{"100000000", "100"}, BinCase{"1000000000000011", "8003"},
                                           BinCase{"00000001", "01"}, BinCase{"1", "1"}, BinCase{"0", "0"},
                                           BinCase{"10110", "16"}, BinCase{"1010", "A"}, BinCase{"1111", "F"},
                                           BinCase{"11", "3"}, BinCase{"11111", "1F"},
                                           BinCase{"111111", "3F"}, BinCase{"1111111", "7F"},
                                           BinCase{"0000000000000000", "0000"},
                                           BinCase{"1111111111111111", "FFFF"}));

TEST_F(ConversionMessages, BinToHexOfNothingSaysSo) {
    EXPECT_EQ(BinToHex(""), "");
    EXPECT_EQ(messages, Messages{kNothingGiven});
}

TEST_F(ConversionMessages, BinToHexOfOtherCharactersShowsOneMessage) {
    for (const char* text : {"102", "2", "1 0", "0b1", "10x1111z", "\xB9"}) {
        messages.clear();
        EXPECT_EQ(BinToHex(text), "") << text;
        EXPECT_EQ(messages, Messages{kNotBinary}) << text;
    }
}

// HexToBin

struct HexCase {
    std::string digits;
    std::string expected;
};

class HexToBinCase : public ConversionMessages, public ::testing::WithParamInterface<HexCase> {};

TEST_P(HexToBinCase, GivesFourDigitsPerHexDigit) {
    EXPECT_EQ(HexToBin(GetParam().digits), GetParam().expected);
    EXPECT_EQ(messages, Messages{});
}

INSTANTIATE_TEST_SUITE_P(Digits, HexToBinCase,
                         ::testing::Values(HexCase{"", ""}, HexCase{"0", "0000"}, HexCase{"1", "0001"},
                                           HexCase{"A", "1010"}, HexCase{"a", "1010"}, HexCase{"F", "1111"},
                                           HexCase{"1F", "00011111"}, HexCase{"00ff", "0000000011111111"},
                                           HexCase{"8003", "1000000000000011"}, HexCase{"9", "1001"}));

TEST_F(ConversionMessages, HexToBinOfOtherCharactersShowsOneMessage) {
    for (const char* text : {"0g", "G", " 1", "1-", "0x1F", "gg"}) {
        messages.clear();
        EXPECT_EQ(HexToBin(text), "") << text;
        EXPECT_EQ(messages, Messages{kNotHex}) << text;
    }
}

TEST_F(ConversionMessages, BinToHexUndoesHexToBin) {
    const std::string digits = "0123456789abcdefABCDEF";
    std::vector<std::string> texts;
    for (char a : digits) {
        texts.push_back(std::string(1, a));
        for (char b : digits) {
            texts.push_back(std::string{a, b});
            for (char c : digits) texts.push_back(std::string{a, b, c});
        }
    }
    texts.push_back("0123456789ABCDEFfedcba9876543210");
    for (const std::string& text : texts) {
        std::string upper = text;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        ASSERT_EQ(BinToHex(HexToBin(text)), upper) << text;
    }
    EXPECT_EQ(messages, Messages{});
}

// The EV yield path of the save: each yield to two digits, sixteen digits to four hexadecimal digits.
TEST_F(ConversionMessages, EvYieldWordRoundTrip) {
    const int yields[] = {3, 0, 1, 2, 0, 3};
    std::string word;
    for (int i = 5; i >= 0; --i) {
        const std::string padded = "00" + DecToBin(yields[i]);
        word += padded.substr(padded.size() - 2);
    }
    word = "0000" + word;
    EXPECT_EQ(BinToHex(word), "0C93");
    EXPECT_EQ(HexToBin("0C93"), word);
    EXPECT_EQ(messages, Messages{});
}

TEST(ConversionSink, WithoutASinkMessagesGoToStandardError) {
    const MessageSink previous = SetMessageSink(nullptr);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(DecToBin(1.5), "");
    EXPECT_EQ(BinToHex("2"), "");
    const std::string printed = ::testing::internal::GetCapturedStderr();
    SetMessageSink(previous);
    EXPECT_EQ(printed, std::string(kNotWhole) + "\n" + kNotBinary + "\n");
}

TEST(ConversionSink, SetReturnsThePreviousSink) {
    int calls = 0;
    const MessageSink previous = SetMessageSink([&](const std::string&) { ++calls; });
    const MessageSink mine = SetMessageSink(previous);
    ASSERT_TRUE(mine);
    mine("x");
    EXPECT_EQ(calls, 1);
}

}  // namespace
