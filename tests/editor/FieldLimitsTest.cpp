#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "FieldLimits.h"

namespace {

using FieldLimits::DecimalText;
using FieldLimits::IsNumberText;
using FieldLimits::LimitCheck;
using FieldLimits::NumberValue;
using FieldLimits::YieldCheck;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct ValueCase {
    std::string text;
    double value;
};

class NumberValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(NumberValueTest, ReadsTheLeadingNumber) {
    EXPECT_EQ(NumberValue(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Decimal, NumberValueTest,
    testing::Values(ValueCase{"12abc", 12}, ValueCase{"007", 7}, ValueCase{"1e2", 100}, ValueCase{"1E2", 100},
                    ValueCase{"1e+2", 100}, ValueCase{"1e-2", 0.01}, ValueCase{"2.5", 2.5},
                    ValueCase{".5", 0.5}, ValueCase{"5.", 5}, ValueCase{"-.5", -0.5}, ValueCase{"-5", -5},
                    ValueCase{"+5", 5}, ValueCase{"1.2.3", 1.2}, ValueCase{"2x", 2}, ValueCase{"1,5", 1},
                    ValueCase{"1d2", 1},
                    // An exponent letter without digits after it is not part of the number.
                    ValueCase{"1e", 1}, ValueCase{"1e+", 1}, ValueCase{"1e-x", 1},
                    ValueCase{"1.5e2.5", 150}));

INSTANTIATE_TEST_SUITE_P(NoNumber, NumberValueTest,
                         testing::Values(ValueCase{"", 0}, ValueCase{"-", 0}, ValueCase{".", 0},
                                         ValueCase{"abc", 0}, ValueCase{"e5", 0}, ValueCase{"--5", 0},
                                         ValueCase{"+-5", 0}, ValueCase{"&", 0}, ValueCase{"&H", 0},
                                         ValueCase{"&HG", 0}, ValueCase{"&O8", 0}, ValueCase{"&X1", 0},
                                         ValueCase{"-.", 0}));

INSTANTIATE_TEST_SUITE_P(
    Blanks, NumberValueTest,
    testing::Values(ValueCase{" 1 2 ", 12}, ValueCase{"1\t2\n3", 123}, ValueCase{"- 5", -5},
                    ValueCase{"1 e 2", 100}, ValueCase{"& H F", 15}, ValueCase{"\n\t 7", 7},
                    // Only blanks, tabs and line feeds are passed over; a carriage return ends the number.
                    ValueCase{"12\r3", 12}, ValueCase{"\r12", 0}));

INSTANTIATE_TEST_SUITE_P(
    HexAndOctal, NumberValueTest,
    testing::Values(ValueCase{"&HF", 15}, ValueCase{"&hf", 15}, ValueCase{"&H1Fz", 31},
                    ValueCase{"&HFFFF", -1}, ValueCase{"&H8000", -32768}, ValueCase{"&H7FFF", 32767},
                    ValueCase{"&H0000FFFF", -1}, ValueCase{"&H10000", 65536}, ValueCase{"&HFFFFFFFF", -1},
                    ValueCase{"&H80000000", -2147483648.0}, ValueCase{"&H7FFFFFFF", 2147483647},
                    ValueCase{"&H1FFFFFFFF", -1}, ValueCase{"&O17", 15}, ValueCase{"&o17", 15},
                    ValueCase{"&O177777", -1}, ValueCase{"&O200000", 65536}, ValueCase{"&O178", 15},
                    ValueCase{"-&H1", -1}, ValueCase{"-&HFFFF", 1}, ValueCase{"+&O7", 7}));

INSTANTIATE_TEST_SUITE_P(
    OutOfRange, NumberValueTest,
    testing::Values(ValueCase{"1e400", kInfinity}, ValueCase{"-1e400", -kInfinity}, ValueCase{"1e-400", 0},
                    ValueCase{"1e99999999999999999999", kInfinity}, ValueCase{"1e-99999999999999999999", 0},
                    ValueCase{"1" + std::string(400, '0'), kInfinity},
                    ValueCase{"0." + std::string(400, '0') + "1", 0},
                    ValueCase{"0." + std::string(300, '0') + "1e300", 0.1}, ValueCase{"0.000e99999", 0}));

struct NumberTextCase {
    std::string text;
    bool isNumber;
};

class IsNumberTextTest : public testing::TestWithParam<NumberTextCase> {};

TEST_P(IsNumberTextTest, NeedsTheWholeTextToBeOneNumber) {
    EXPECT_EQ(IsNumberText(GetParam().text), GetParam().isNumber) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IsNumberTextTest,
    testing::Values(NumberTextCase{"1.5", true}, NumberTextCase{"&HF", true}, NumberTextCase{" 3 ", true},
                    NumberTextCase{"-3", true}, NumberTextCase{"+3", true}, NumberTextCase{"5.", true},
                    NumberTextCase{".5", true}, NumberTextCase{"1e5", true}, NumberTextCase{"1E-5", true},
                    NumberTextCase{"&o17", true}, NumberTextCase{"1 2", true}, NumberTextCase{"2x", false},
                    NumberTextCase{"", false}, NumberTextCase{"   ", false}, NumberTextCase{"-", false},
                    NumberTextCase{"abc", false}, NumberTextCase{".", false}, NumberTextCase{"1e", false},
                    NumberTextCase{"1e+", false}, NumberTextCase{"&H", false}, NumberTextCase{"1.2.3", false},
                    NumberTextCase{"3\r\n", false}, NumberTextCase{"&HFG", false},
                    NumberTextCase{"&O8", false}));

struct DecimalCase {
    double value;
    std::string text;
};

class DecimalTextTest : public testing::TestWithParam<DecimalCase> {};

TEST_P(DecimalTextTest, WritesPlainDecimalWith15SignificantDigits) {
    EXPECT_EQ(DecimalText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DecimalTextTest,
    testing::Values(DecimalCase{0, "0"}, DecimalCase{-0.0, "0"}, DecimalCase{1, "1"}, DecimalCase{-1, "-1"},
                    DecimalCase{0.5, "0.5"}, DecimalCase{1.5, "1.5"}, DecimalCase{-2.5, "-2.5"},
                    DecimalCase{255, "255"}, DecimalCase{1e20, "100000000000000000000"},
                    DecimalCase{1e15, "1000000000000000"}, DecimalCase{1e-5, "0.00001"},
                    DecimalCase{9.5e-7, "0.00000095"}, DecimalCase{1.0 / 3, "0.333333333333333"},
                    DecimalCase{2.0 / 3, "0.666666666666667"}, DecimalCase{100 / 254.0, "0.393700787401575"},
                    DecimalCase{123456789012345678.0, "123456789012346000"}, DecimalCase{0.1 + 0.2, "0.3"},
                    DecimalCase{99.99999999999999, "100"}, DecimalCase{-0.001, "-0.001"},
                    DecimalCase{65280, "65280"}));

TEST(DecimalText, ReadsBackAsTheSameNumberToFifteenDigits) {
    for (double value : {0.1, 2.5, 255.5, 1e-7, 123.456, 7e22, -3.25}) {
        const std::string text = DecimalText(value);
        EXPECT_EQ(text.find_first_of("eE"), std::string::npos) << text;
        EXPECT_NEAR(NumberValue(text), value, std::fabs(value) * 1e-14) << text;
    }
}

struct LimitCase {
    std::string text;
    int upper;
    bool wholePartCompared;
    std::string checked;
};

class LimitCheckTest : public testing::TestWithParam<LimitCase> {};

TEST_P(LimitCheckTest, HoldsTheTextWithinItsLimits) {
    const LimitCase& c = GetParam();
    EXPECT_EQ(LimitCheck(c.text, c.upper, c.wholePartCompared), c.checked) << '"' << c.text << '"';
}

TEST_P(LimitCheckTest, SettlesAfterOneCorrection) {
    const LimitCase& c = GetParam();
    const std::string once = LimitCheck(c.text, c.upper, c.wholePartCompared);
    EXPECT_EQ(LimitCheck(once, c.upper, c.wholePartCompared), once);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LimitCheckTest,
    testing::Values(LimitCase{"999", 255, true, "255"}, LimitCase{"999", 255, false, "255"},
                    LimitCase{"255.5", 255, true, "255.5"}, LimitCase{"255.5", 255, false, "255"},
                    LimitCase{"255.99", 255, true, "255.99"}, LimitCase{"256", 255, true, "255"},
                    LimitCase{"-5", 255, false, "0"}, LimitCase{"-0.5", 255, false, "0"},
                    LimitCase{"-0.5", 255, true, "0"}, LimitCase{"5.", 255, false, "5"},
                    LimitCase{"200", 175, false, "175"}, LimitCase{"175", 175, false, "175"},
                    LimitCase{"100", 99, false, "99"}, LimitCase{"99", 99, false, "99"},
                    LimitCase{"12abc", 255, false, "12"}, LimitCase{"007", 255, false, "7"},
                    LimitCase{"&HF", 255, false, "15"}, LimitCase{"1e2", 255, false, "100"},
                    LimitCase{"", 255, false, "0"}, LimitCase{"abc", 255, false, "0"},
                    LimitCase{"2.5", 255, false, "2.5"}, LimitCase{"2.50", 255, false, "2.5"},
                    LimitCase{"255", 255, false, "255"}, LimitCase{"0", 255, false, "0"},
                    LimitCase{" 1 2 ", 255, false, "12"}, LimitCase{"&HFFFF", 255, false, "0"},
                    LimitCase{"1e400", 255, false, "255"}, LimitCase{"1e400", 255, true, "255"},
                    LimitCase{"-1e400", 255, false, "0"}, LimitCase{"1e-400", 255, false, "0"},
                    LimitCase{"0.0000001", 3, false, "0.0000001"}, LimitCase{"3", 3, false, "3"},
                    // Rounded to fifteen digits this is 256, so the whole part compared is above the limit.
                    LimitCase{"255.99999999999997", 255, true, "255"}));

struct YieldCase {
    std::string text;
    std::string checked;
};

class YieldCheckTest : public testing::TestWithParam<YieldCase> {};

TEST_P(YieldCheckTest, HoldsTheYieldWithinZeroToThree) {
    EXPECT_EQ(YieldCheck(GetParam().text), GetParam().checked) << '"' << GetParam().text << '"';
}

TEST_P(YieldCheckTest, SettlesAfterOneCorrection) {
    const std::string once = YieldCheck(GetParam().text);
    EXPECT_EQ(YieldCheck(once), once);
}

INSTANTIATE_TEST_SUITE_P(Texts, YieldCheckTest,
                         testing::Values(YieldCase{"7", "3"}, YieldCase{"-1", "0"}, YieldCase{"", "0"},
                                         YieldCase{"abc", "0"}, YieldCase{"2x", "2x"},
                                         YieldCase{"1.5", "1.5"}, YieldCase{"3.0", "3"},
                                         YieldCase{"0.5", "0.5"}, YieldCase{"3", "3"}, YieldCase{"0", "0"},
                                         YieldCase{"2", "2"}, YieldCase{"&H3", "3"},
                                         YieldCase{"2.9999", "2.9999"}, YieldCase{" 2 ", " 2 "},
                                         YieldCase{"-0.5", "0"}, YieldCase{"1e400", "3"},
                                         YieldCase{"-1e400", "0"}, YieldCase{"&HFFFF", "0"}));

}  // namespace
