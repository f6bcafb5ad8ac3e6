#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "modConv.h"

using namespace modConv;

namespace {

using Messages = std::vector<std::string>;

// Catches every message for the length of a test and puts the previous sink back afterwards.
class Conversions : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = SetMessageSink([this](const std::string& message) { messages_.push_back(message); });
    }
    void TearDown() override { SetMessageSink(previous_); }
    Messages Shown() { return std::exchange(messages_, {}); }

private:
    Messages messages_;
    MessageSink previous_;
};

TEST_F(Conversions, DecToBinGivesDigitsWithoutLeadingZerosOrRefusesFractions) {
    const std::pair<double, std::string> wholes[] = {
        {0, "0"}, {6, "110"}, {256, "100000000"}, {std::ldexp(1.0, 64), "1" + std::string(64, '0')}};
    for (const auto& [number, digits] : wholes) EXPECT_EQ(DecToBin(number), digits) << number;
    EXPECT_EQ(Shown(), Messages{});
    for (double number : {1.5, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(DecToBin(number), "") << number;
        EXPECT_EQ(Shown(), Messages{"Only Whole Numbers can be converted"}) << number;
    }
}

TEST_F(Conversions, BinToHexPadsOnTheLeftOrRefuses) {
    const std::pair<const char*, const char*> cases[] = {
        {"111", "7"}, {"100000000", "100"}, {"00000001", "01"}, {"1000000000000011", "8003"}};
    for (const auto& [digits, hex] : cases) EXPECT_EQ(BinToHex(digits), hex) << digits;
    EXPECT_EQ(Shown(), Messages{});
    EXPECT_EQ(BinToHex(""), "");
    EXPECT_EQ(Shown(), Messages{"Nothing Given.."});
    EXPECT_EQ(BinToHex("102"), "");
    EXPECT_EQ(Shown(), Messages{"NOT A BINARY NUMBER"});
}

TEST_F(Conversions, HexToBinGivesFourDigitsEachOrRefuses) {
    const std::pair<const char*, const char*> cases[] = {{"", ""}, {"a", "1010"}, {"1F", "00011111"}};
    for (const auto& [hex, digits] : cases) EXPECT_EQ(HexToBin(hex), digits) << hex;
    EXPECT_EQ(Shown(), Messages{});
    EXPECT_EQ(HexToBin("0x1F"), "");
    EXPECT_EQ(Shown(), Messages{"Number given is not in Hex format"});
}

TEST_F(Conversions, BinToHexUndoesHexToBin) {
    const std::string digits = "0123456789abcdefABCDEF";
    for (char a : digits) {
        for (char b : digits) {
            for (const std::string& text : {std::string{a, b}, std::string{b, a, b}}) {
                std::string upper = text;
                for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                ASSERT_EQ(BinToHex(HexToBin(text)), upper) << text;
            }
        }
    }
    EXPECT_EQ(Shown(), Messages{});
}

}  // namespace
