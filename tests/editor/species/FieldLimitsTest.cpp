#include <limits>

#include "EditorTest.h"
#include "species/FieldLimits.h"

namespace {

using namespace FieldLimits;

// Only blanks, tabs and line feeds are passed over; "&H" and "&O" numbers wrap at 16 bits as signed.
TEST(NumberValue, ReadsTheLeadingNumberOrZero) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::pair<std::string, double>> cases = {
        {"12abc", 12},  {"007", 7},       {"1e2", 100},       {"1e-2", 0.01},    {".5", 0.5},
        {"-.5", -0.5},  {"1.2.3", 1.2},   {"1,5", 1},         {"1e", 1},         {"1e+", 1},
        {"", 0},        {"-", 0},         {".", 0},           {"abc", 0},        {"--5", 0},
        {"1e400", inf}, {"-1e400", -inf}, {"1e-400", 0},      {" 1 2 ", 12},     {"- 5", -5},
        {"1 e 2", 100}, {"& H F", 15},    {"12\r3", 12},      {"\r12", 0},       {"&HF", 15},
        {"&hf", 15},    {"&HFFFF", -1},   {"&H8000", -32768}, {"&H7FFF", 32767}, {"&H10000", 65536},
        {"&O17", 15},   {"&O177777", -1}, {"-&HFFFF", 1},     {"&H", 0},         {"&O8", 0}};
    for (const auto& [text, value] : cases) EXPECT_EQ(NumberValue(text), value) << '"' << text << '"';
}

TEST(IsNumberText, NeedsTheWholeTextToBeOneNumber) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"1.5", true}, {"&HF", true},  {" 3 ", true}, {"-3", true},     {"5.", true},     {"1E-5", true},
        {"1 2", true}, {"&o17", true}, {"2x", false}, {"", false},      {"   ", false},   {"-", false},
        {".", false},  {"1e", false},  {"&H", false}, {"1.2.3", false}, {"3\r\n", false}, {"&HFG", false}};
    for (const auto& [text, isNumber] : cases) EXPECT_EQ(IsNumberText(text), isNumber) << '"' << text << '"';
}

TEST(DecimalText, WritesPlainDecimalWith15SignificantDigits) {
    const std::vector<std::pair<double, std::string>> cases = {
        {0, "0"},     {-0.0, "0"},      {0.5, "0.5"},      {1.5, "1.5"},           {-2.5, "-2.5"},
        {255, "255"}, {65280, "65280"}, {1e-5, "0.00001"}, {9.5e-7, "0.00000095"}, {0.1 + 0.2, "0.3"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(DecimalText(value), text) << value;
    EXPECT_EQ(DecimalText(99.99999999999999), "100");
    EXPECT_EQ(DecimalText(1e20), "100000000000000000000");
    EXPECT_EQ(DecimalText(1.0 / 3), "0.333333333333333");
}

// Each check must leave its own output unchanged, or the box would change again on leaving it.
TEST(LimitCheck, HoldsTheTextWithinItsLimitsAndSettlesAfterOneCorrection) {
    const std::vector<std::tuple<std::string, int, bool, std::string>> cases = {
        {"999", 255, false, "255"},   {"999", 255, true, "255"},   {"255.5", 255, true, "255.5"},
        {"255.5", 255, false, "255"}, {"256", 255, true, "255"},   {"-5", 255, false, "0"},
        {"-0.5", 255, true, "0"},     {"5.", 255, false, "5"},     {"200", 175, false, "175"},
        {"175", 175, false, "175"},   {"100", 99, false, "99"},    {"12abc", 255, false, "12"},
        {"&HF", 255, false, "15"},    {"1e2", 255, false, "100"},  {"", 255, false, "0"},
        {"2.50", 255, false, "2.5"},  {"&HFFFF", 255, false, "0"}, {"1e400", 255, true, "255"}};
    for (const auto& [text, upper, wholePart, checked] : cases) {
        const std::string once = LimitCheck(text, upper, wholePart);
        EXPECT_EQ(once, checked) << '"' << text << '"';
        EXPECT_EQ(LimitCheck(once, upper, wholePart), once);
    }
    // Rounded to fifteen digits this is 256, so the whole part compared is above the limit.
    EXPECT_EQ(LimitCheck("255.99999999999997", 255, true), "255");
}

TEST(YieldCheck, HoldsTheYieldWithinZeroToThreeAndSettlesAfterOneCorrection) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"7", "3"},     {"-1", "0"},     {"", "0"},      {"abc", "0"},         {"2x", "2x"},
        {"1.5", "1.5"}, {"3.0", "3"},    {"0.5", "0.5"}, {"2.9999", "2.9999"}, {" 2 ", " 2 "},
        {"&H3", "3"},   {"&HFFFF", "0"}, {"1e400", "3"}};
    for (const auto& [text, checked] : cases) {
        const std::string once = YieldCheck(text);
        EXPECT_EQ(once, checked) << '"' << text << '"';
        EXPECT_EQ(YieldCheck(once), once);
    }
}

}  // namespace
