#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SpeciesDataFile.h"

namespace {

// The sizes of the lists shipped with the program, near enough.
constexpr SpeciesListSizes kSizes{18, 377, 78, 16, 256, 256};

SpeciesFileValues ExampleValues() {
    SpeciesFileValues v;
    v.name = "ABC";
    v.hp = "10";
    v.attack = "20";
    v.defense = "30";
    v.speed = "40";
    v.spAttack = "50";
    v.spDefense = "60";
    v.baseXp = "70";
    v.catchRate = "80";
    v.type1 = 1;
    v.type2 = 2;
    v.item1 = 0;
    v.item2 = 5;
    v.ability1 = 3;
    v.ability2 = 4;
    v.safari = "0";
    v.eggType1 = 6;
    v.eggType2 = 7;
    v.steps = 8;
    v.gender = 9;
    return v;
}

constexpr char kExampleLine[] = "ABC|10|20|30|40|50|60|70|80|1|2|0|5|3|4|0|6|7|8|9";

void ExpectSameValues(const SpeciesFileValues& a, const SpeciesFileValues& b) {
    // The line holds every member, so two equal lines mean equal values.
    EXPECT_EQ(FormatSpeciesLine(a), FormatSpeciesLine(b));
}

TEST(FormatSpeciesLine, WritesTheFieldsInFileOrder) {
    EXPECT_EQ(FormatSpeciesLine(ExampleValues()), kExampleLine);
}

TEST(FormatSpeciesLine, WritesNoSelectionAsMinusOneAndTextsUnchanged) {
    SpeciesFileValues v;
    v.name = "Nido\x0B";
    v.hp = " 300 ";
    v.safari = "2.5";
    EXPECT_EQ(FormatSpeciesLine(v), "Nido\x0B| 300 ||||||||-1|-1|-1|-1|-1|-1|2.5|-1|-1|-1|-1");
}

TEST(ParseSpeciesFile, ReadsTheExampleWithOrWithoutItsLineEnd) {
    for (const std::string& text :
         {std::string(kExampleLine) + "\r\n", std::string(kExampleLine), std::string(kExampleLine) + "\n",
          std::string(kExampleLine) + " \t\r\n"}) {
        const SpeciesFileParse parse = ParseSpeciesFile(text, kSizes);
        ASSERT_TRUE(parse.values.has_value()) << parse.error;
        EXPECT_TRUE(parse.error.empty());
        ExpectSameValues(*parse.values, ExampleValues());
        EXPECT_EQ(parse.values->gender, 9);
    }
}

TEST(ParseSpeciesFile, RoundTripsNoSelectionAndListEnds) {
    SpeciesFileValues v = ExampleValues();
    v.type1 = -1;
    v.item2 = -1;
    v.gender = -1;
    v.type2 = kSizes.types - 1;
    v.item1 = kSizes.items - 1;
    v.steps = 255;
    const SpeciesFileParse parse = ParseSpeciesFile(FormatSpeciesLine(v) + "\r\n", kSizes);
    ASSERT_TRUE(parse.values.has_value()) << parse.error;
    ExpectSameValues(*parse.values, v);
}

TEST(ParseSpeciesFile, KeepsTextFieldsExactlyAsWritten) {
    const SpeciesFileParse parse =
        ParseSpeciesFile("\x0B Name \t| 300 |abc||2x|&HF|1e2|-5|\r\n|1|2|0|5|3|4| 9 |6|7|8|9\r\n", kSizes);
    ASSERT_TRUE(parse.values.has_value()) << parse.error;
    EXPECT_EQ(parse.values->name, "\x0B Name \t");
    EXPECT_EQ(parse.values->hp, " 300 ");
    EXPECT_EQ(parse.values->attack, "abc");
    EXPECT_EQ(parse.values->defense, "");
    EXPECT_EQ(parse.values->speed, "2x");
    EXPECT_EQ(parse.values->spAttack, "&HF");
    EXPECT_EQ(parse.values->spDefense, "1e2");
    EXPECT_EQ(parse.values->baseXp, "-5");
    EXPECT_EQ(parse.values->catchRate, "\r\n");
    EXPECT_EQ(parse.values->safari, " 9 ");
}

TEST(ParseSpeciesFile, ReadsListNumbersWithBlanksAroundThem) {
    const SpeciesFileParse parse =
        ParseSpeciesFile("A|1|2|3|4|5|6|7|8| 1 |\t2|007|+5|3 |4|0|\r\n6|-1|8|9\r\n", kSizes);
    ASSERT_TRUE(parse.values.has_value()) << parse.error;
    EXPECT_EQ(parse.values->type1, 1);
    EXPECT_EQ(parse.values->type2, 2);
    EXPECT_EQ(parse.values->item1, 7);
    EXPECT_EQ(parse.values->item2, 5);
    EXPECT_EQ(parse.values->ability1, 3);
    EXPECT_EQ(parse.values->eggType1, 6);
    EXPECT_EQ(parse.values->eggType2, -1);
    EXPECT_EQ(parse.values->gender, 9);
}

TEST(ParseSpeciesFile, ANameHoldingABarShiftsEveryLaterField) {
    SpeciesFileValues v = ExampleValues();
    v.name = "A|B";
    const std::string line = FormatSpeciesLine(v);
    EXPECT_EQ(std::count(line.begin(), line.end(), '|'), 20);

    const SpeciesFileParse parse = ParseSpeciesFile(line + "\r\n", {300, 300, 300, 300, 256, 256});
    ASSERT_TRUE(parse.values.has_value()) << parse.error;
    EXPECT_EQ(FormatSpeciesLine(*parse.values), "A|B|10|20|30|40|50|60|70|80|1|2|0|5|3|4|0|6|7|8");

    // With the lists of the program the shifted catch rate no longer names a type.
    EXPECT_EQ(ParseSpeciesFile(line + "\r\n", kSizes).error,
              "Field 10 (type 1) is 80, outside its list of 18 entries.");
}

TEST(ParseSpeciesFile, IgnoresFieldsAfterTheTwentieth) {
    for (const char* extra : {"|extra|more\r\n", "|\r\n", "|x|y|z", "||||"}) {
        const SpeciesFileParse parse = ParseSpeciesFile(std::string(kExampleLine) + extra, kSizes);
        ASSERT_TRUE(parse.values.has_value()) << parse.error;
        ExpectSameValues(*parse.values, ExampleValues());
    }
}

// The example line with one field replaced; number is counted from 1.
std::string WithField(int number, const std::string& text) {
    std::vector<std::string> fields;
    std::string line = kExampleLine;
    size_t begin = 0;
    for (size_t bar; (bar = line.find('|', begin)) != std::string::npos; begin = bar + 1) {
        fields.push_back(line.substr(begin, bar - begin));
    }
    fields.push_back(line.substr(begin));
    fields[number - 1] = text;
    std::string joined;
    for (size_t i = 0; i < fields.size(); ++i) joined += (i > 0 ? "|" : "") + fields[i];
    return joined + "\r\n";
}

struct RefusedCase {
    std::string text;
    std::string error;
};

class RefusedFileTest : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedFileTest, NamesTheFirstFieldThatDoesNotFit) {
    const SpeciesFileParse parse = ParseSpeciesFile(GetParam().text, kSizes);
    EXPECT_FALSE(parse.values.has_value());
    EXPECT_EQ(parse.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    TooFewFields, RefusedFileTest,
    testing::Values(
        RefusedCase{"", "The file is empty; a species data file holds 20 fields separated by \"|\"."},
        RefusedCase{"ABC\r\n",
                    "The file holds only 1 field; a species data file holds 20 fields separated by \"|\"."},
        RefusedCase{"ABC|1|2",
                    "The file holds only 3 fields; a species data file holds 20 fields separated by \"|\"."},
        RefusedCase{
            "A|1|2|3|4|5|6|7|8|1|2|0|5|3|4|0|6|7|8\r\n",
            "The file holds only 19 fields; a species data file holds 20 fields separated by \"|\"."}));

INSTANTIATE_TEST_SUITE_P(
    NotWholeNumbers, RefusedFileTest,
    testing::Values(RefusedCase{WithField(12, "x"), "Field 12 (held item 1) is not a whole number."},
                    RefusedCase{WithField(11, ""), "Field 11 (type 2) is not a whole number."},
                    RefusedCase{WithField(13, "1.5"), "Field 13 (held item 2) is not a whole number."},
                    RefusedCase{WithField(14, "1 2"), "Field 14 (ability 1) is not a whole number."},
                    RefusedCase{WithField(15, "&H1"), "Field 15 (ability 2) is not a whole number."},
                    RefusedCase{WithField(17, "-"), "Field 17 (egg type 1) is not a whole number."},
                    RefusedCase{WithField(18, " \r\n"), "Field 18 (egg type 2) is not a whole number."},
                    RefusedCase{WithField(19, "1e2"), "Field 19 (steps to hatch) is not a whole number."},
                    RefusedCase{"A|1|2|3|4|5|6|7|8|1|2|0|5|3|4|0|6|7|8|\r\n",
                                "Field 20 (gender ratio) is not a whole number."},
                    // A second line makes the last field more than a number.
                    RefusedCase{std::string(kExampleLine) + "\r\nmore",
                                "Field 20 (gender ratio) is not a whole number."}));

INSTANTIATE_TEST_SUITE_P(
    OutsideTheirLists, RefusedFileTest,
    testing::Values(
        RefusedCase{WithField(10, "40"), "Field 10 (type 1) is 40, outside its list of 18 entries."},
        RefusedCase{WithField(10, "18"), "Field 10 (type 1) is 18, outside its list of 18 entries."},
        RefusedCase{WithField(12, "377"), "Field 12 (held item 1) is 377, outside its list of 377 entries."},
        RefusedCase{WithField(14, "-2"), "Field 14 (ability 1) is -2, outside its list of 78 entries."},
        RefusedCase{WithField(17, "16"), "Field 17 (egg type 1) is 16, outside its list of 16 entries."},
        RefusedCase{WithField(19, "256"),
                    "Field 19 (steps to hatch) is 256, outside its list of 256 entries."},
        RefusedCase{WithField(20, " 256\r\n"),
                    "Field 20 (gender ratio) is 256, outside its list of 256 entries."},
        RefusedCase{WithField(18, "99999999999999999999999"),
                    "Field 18 (egg type 2) is 99999999999999999999999, outside its list of 16 entries."}));

TEST(ParseSpeciesFile, NamesOnlyTheFirstBadFieldInFileOrder) {
    std::string text = WithField(12, "x");
    text.replace(text.find("|1|2|x|"), 7, "|99|2|x|");
    EXPECT_EQ(ParseSpeciesFile(text, kSizes).error,
              "Field 10 (type 1) is 99, outside its list of 18 entries.");
}

TEST(ParseSpeciesFile, AnEmptyListTakesOnlyMinusOne) {
    SpeciesListSizes sizes = kSizes;
    sizes.abilities = 0;
    EXPECT_EQ(ParseSpeciesFile(kExampleLine, sizes).error,
              "Field 14 (ability 1) is 3, outside its list of 0 entries.");
    SpeciesFileValues v = ExampleValues();
    v.ability1 = -1;
    v.ability2 = -1;
    EXPECT_TRUE(ParseSpeciesFile(FormatSpeciesLine(v), sizes).values.has_value());

    sizes.abilities = 1;
    v.ability1 = 0;
    v.ability2 = 1;
    EXPECT_EQ(ParseSpeciesFile(FormatSpeciesLine(v), sizes).error,
              "Field 15 (ability 2) is 1, outside its list of 1 entry.");
}

}  // namespace
